// Text rules shared by the drive selector and the folder list. Paths are 8-bit text in the
// ANSI code page; on a double-byte code page the second byte of a character may have the
// value of a backslash, so separators are found by walking the text character by character
// rather than by searching for the byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace filectrl {

// Whether a byte is the first of a double-byte character.
using LeadByteTest = std::function<bool(std::uint8_t)>;

// The machine's lead bytes; on a single-byte code page no byte is one.
LeadByteTest MachineLeadBytes();

// Upper case of one character where only the letters a to z change.
char UpperLetter(char c);

// The position of the last backslash (or, with `colonToo`, backslash or colon) that is a
// character of its own; npos when there is none.
std::size_t LastSeparator(std::string_view path, bool colonToo, const LeadByteTest& isLead);

// The backslashes of the text that are characters of their own.
int CountBackslashes(std::string_view path, const LeadByteTest& isLead);

// The letters A to Z lowered, every double-byte character left as it is.
void LowerAsciiLetters(std::string& text, const LeadByteTest& isLead);

// Lower case for volume and connection names: on a double-byte code page only A to Z,
// elsewhere the locale's lower case of the whole text.
void LowerVolumeText(std::string& text);

// A path that starts with a drive letter and a colon ("C:\Apps", "e:").
bool HasDriveLetter(std::string_view path);

}  // namespace filectrl
