// The setup's command line. Only the first argument means anything: "-d" followed by the
// host's home folder, for instance  setup.exe "-dC:\Program Files\Veloquin"  or
// setup.exe -d"C:\My Folder\".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Splits a raw command line into its arguments, program first. Spaces and tabs separate
// arguments; double quotes group text that holds spaces and are dropped wherever they stand,
// around the whole argument or only part of it. A backslash is an ordinary character, so
// -d"C:\My Folder\" gives -dC:\My Folder\ (not an escaped quote as the C runtime reads it).
// An unclosed quote runs to the end of the line; "" alone is an empty argument.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// The arguments after the program's own name, from the machine's command line.
std::vector<std::string> CommandLineArguments();

// The folder given by the "-d" switch: the rest of the first argument when it begins with
// exactly "-d" (letter case counts), possibly empty. Nothing when there is no argument or
// the first one is something else; a "-d" in any later place is ignored.
std::optional<std::string> HomeFolderSwitch(const std::vector<std::string>& arguments);
