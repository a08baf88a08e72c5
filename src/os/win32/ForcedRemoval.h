// Removals the port has no call for, for the tests that run against the real machine: a
// folder with everything in it, read-only files included, and a whole registry key. The
// setup itself never uses them; they live here so that the Win32 calls stay in one place.
#pragma once

#include <string_view>

namespace os::win32 {

// Deletes the folder (an 8-bit path in the ANSI code page, final backslash optional) and
// everything inside it, clearing read-only attributes on the way. Best effort, silent.
void RemoveTreeForcibly(std::string_view folder);

// Deletes a key under HKEY_CURRENT_USER with all its values and subkeys. Best effort, silent.
void DeleteCurrentUserKeyTree(std::string_view path);

// Deletes a key under HKEY_CURRENT_USER only when it has no subkeys left.
void DeleteEmptyCurrentUserKey(std::string_view path);

}  // namespace os::win32
