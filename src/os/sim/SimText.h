// Text services of the simulated machine: the two single-byte code pages it knows (1252 for
// Western European and 1251 for Cyrillic systems), UTF-8 for the test hooks, the simple case
// mapping that file names and CharUpperBuffA use, and a multi-level comparison in the manner
// of CompareString.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace os::sim {

inline constexpr std::uint32_t kCodePageUtf8 = 65001;

// Whether the code page is one that MultiByteToWide and NarrowText accept.
bool IsKnownCodePage(std::uint32_t codePage);

// The wide character of one byte in a single-byte code page (1252 or 1251).
char16_t ByteToWide(std::uint32_t codePage, std::uint8_t byte);

// Every byte widened by the code page (1252, 1251 or 65001). Nothing for another code page.
std::optional<std::u16string> WidenText(std::uint32_t codePage, std::string_view text);

// Narrows to the code page; a character the code page cannot hold becomes `fallback`.
// `lossy` (when given) tells whether that happened.
std::string NarrowText(std::uint32_t codePage, std::u16string_view text, char fallback = '?',
                       bool* lossy = nullptr);

std::u16string Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::u16string_view text);

// Simple one-to-one case mapping: ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic.
// Characters without a partner map to themselves.
char16_t UpperChar(char16_t c);
char16_t LowerChar(char16_t c);
std::u16string UpperText(std::u16string_view text);

// CompareString over wide text: primary letters and digits, then accents, then case (lower
// before upper), ignoring case under kNormIgnoreCase. Without kSortStringSort hyphens and
// apostrophes are passed over at first and decide only between otherwise equal texts.
// Gives kCstrLessThan, kCstrEqual or kCstrGreaterThan.
int CompareText(std::uint32_t flags, std::u16string_view a, std::u16string_view b);

}  // namespace os::sim
