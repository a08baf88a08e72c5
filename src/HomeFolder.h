// Cleaning up the home folder that the user typed or picked, before the wizard looks for the
// host's executable in it.
#pragma once

#include <string>

// The folder name under which the host installs itself by default.
inline constexpr char kDefaultHomeFolderName[] = "Veloquin";

// Cleans up a home-folder text:
//  1. spaces (code 32 only; tabs stay) are trimmed at both ends;
//  2. a text without a drive part (no colon as its second character, no leading "\\") is
//     dropped and replaced by the selector's drive: `selectorDrive` and a colon;
//  3. one final backslash is removed;
//  4. when the last component (after the last backslash or colon) is empty, or the text names
//     the Program Files folder (SamePath with `programFiles`), "Veloquin" is joined to it.
// So "D:\Apps\Editor\" gives "D:\Apps\Editor", "D:" and "D:\" give "D:\Veloquin", "" and
// "Apps\Editor" give "c:\Veloquin" with selector 'c', and "\\srv\share\x\" gives
// "\\srv\share\x". Uses the machine's case mapping for the comparison.
std::string NormalizeHomeFolderText(std::string text, char selectorDrive,
                                    const std::string& programFiles);
