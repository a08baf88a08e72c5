#include "os/sim/SimText.h"

#include <array>
#include <unordered_map>
#include <vector>

#include "os/Types.h"
#include "os/sim/SimOs.h"

namespace os::sim {
namespace {

// The upper half (0x80-0xFF) of each single-byte code page. Bytes that the code page leaves
// undefined widen to the C1 control of the same value, as Windows' own tables do.
constexpr std::array<char16_t, 128> kUpperHalf1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039,
    0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, 0x00A0, 0x00A1, 0x00A2, 0x00A3,
    0x00A4, 0x00A5, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x00B9, 0x00BA, 0x00BB,
    0x00BC, 0x00BD, 0x00BE, 0x00BF, 0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7,
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF, 0x00D0, 0x00D1, 0x00D2, 0x00D3,
    0x00D4, 0x00D5, 0x00D6, 0x00D7, 0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF,
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7, 0x00E8, 0x00E9, 0x00EA, 0x00EB,
    0x00EC, 0x00ED, 0x00EE, 0x00EF, 0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7,
    0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF};

constexpr std::array<char16_t, 128> kUpperHalf1251 = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
    0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F};

const std::array<char16_t, 128>* UpperHalf(std::uint32_t codePage) {
  if (codePage == 1252) return &kUpperHalf1252;
  if (codePage == 1251) return &kUpperHalf1251;
  return nullptr;
}

const std::unordered_map<char16_t, std::uint8_t>& ReverseTable(std::uint32_t codePage) {
  static const auto build = [](const std::array<char16_t, 128>& half) {
    std::unordered_map<char16_t, std::uint8_t> table;
    for (std::size_t i = 0; i < half.size(); ++i) {
      table.emplace(half[i], static_cast<std::uint8_t>(0x80 + i));
    }
    return table;
  };
  static const auto table1252 = build(kUpperHalf1252);
  static const auto table1251 = build(kUpperHalf1251);
  return codePage == 1251 ? table1251 : table1252;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void AppendUtf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
  } else {
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (c >> 10));
    out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
  }
}

// ---- Case --------------------------------------------------------------------------------

// Latin Extended-A pairs upper/lower as even/odd, except in the two runs where the order is
// odd/even.
bool LatinExtendedOddIsUpper(char16_t c) {
  return (c >= 0x0139 && c <= 0x0148) || (c >= 0x0179 && c <= 0x017E);
}

bool CyrillicEvenOddPair(char16_t c) {
  return (c >= 0x0460 && c <= 0x0481) || (c >= 0x048A && c <= 0x04BF) ||
         (c >= 0x04D0 && c <= 0x04FF);
}

// ---- Collation ---------------------------------------------------------------------------

struct Weight {
  std::uint32_t primary = 0;
  std::uint8_t secondary = 0;
  std::uint8_t tertiary = 0;
};

// Base letters and accents of U+00C0-U+00DF (the lower-case row U+00E0-U+00FF is the same
// but for U+00FF); '*' marks the multiplication sign, which is no letter.
constexpr char kLatin1Base[] = "AAAAAAACEEEEIIIIDNOOOOO*OUUUUYTS";
constexpr std::uint8_t kLatin1Accent[] = {1, 2, 3, 4, 5, 6, 7, 8, 1,  2, 3, 5, 1, 2, 3,  5,
                                          9, 4, 1, 2, 3, 4, 5, 0, 10, 1, 2, 3, 5, 2, 11, 12};
constexpr char kLatinExtendedBase[] =
    "AAAAAACCCCCCCCDDDDEEEEEEEEEEGGGGGGGGHHHHIIIIIIIIIIIIJJKKKLLLLLLLLLLNNNNNNNNNOOOOOOOORRRRRR"
    "SSSSSSSSTTTTTTUUUUUUUUUUUUWWYYYZZZZZZS";

// Cyrillic capitals in alphabetical order; letters that are accented forms of another get
// that letter's place with an accent.
constexpr char16_t kCyrillicOrder[] = u"АБВГҐДЂЕЄЖЗЅИІЇЙЈКЛЉМНЊОПРСТЋУФХЦЧЏШЩЪЫЬЭЮЯ";

struct Variant {
  char16_t letter;
  char16_t base;
};
constexpr Variant kCyrillicVariants[] = {
    {u'Ѓ', u'Г'}, {u'Ё', u'Е'}, {u'Ѝ', u'И'}, {u'Ќ', u'К'}, {u'Ў', u'У'}};

constexpr std::uint32_t kDigitBase = 0x10000;
constexpr std::uint32_t kLatinBase = 0x10100;
constexpr std::uint32_t kGreekBase = 0x10400;
constexpr std::uint32_t kCyrillicBase = 0x10800;
constexpr std::uint32_t kOtherLetterBase = 0x20000;

std::uint32_t CyrillicPlace(char16_t upper) {
  for (std::size_t i = 0; kCyrillicOrder[i] != 0; ++i) {
    if (kCyrillicOrder[i] == upper) return static_cast<std::uint32_t>(i);
  }
  return 0xFFFF;
}

Weight Weigh(char16_t c) {
  const char16_t upper = UpperChar(c);
  Weight w;
  w.tertiary = (upper == c && LowerChar(c) != c) ? 1 : 0;
  if (c >= u'0' && c <= u'9') {
    w.primary = kDigitBase + (c - u'0');
  } else if (upper >= u'A' && upper <= u'Z') {
    w.primary = kLatinBase + (upper - u'A') * 4;
  } else if (c >= 0xC0 && c <= 0xFF && c != 0xD7 && c != 0xF7) {
    const std::size_t i = c == 0xFF ? 0x1D : (c & 0x1F);
    const char base = c == 0xFF ? 'Y' : kLatin1Base[i];
    w.primary = kLatinBase + (base - 'A') * 4;
    w.secondary = c == 0xFF ? 5 : kLatin1Accent[i];
  } else if (c >= 0x0100 && c <= 0x017F) {
    w.primary = kLatinBase + (kLatinExtendedBase[c - 0x0100] - 'A') * 4;
    w.secondary = static_cast<std::uint8_t>(20 + (c - 0x0100) / 2);
  } else if (c >= 0x0370 && c <= 0x03FF) {
    w.primary = kGreekBase + upper;
  } else if (c >= 0x0400 && c <= 0x04FF) {
    char16_t base = upper;
    for (const Variant& v : kCyrillicVariants) {
      if (v.letter == upper) {
        base = v.base;
        w.secondary = static_cast<std::uint8_t>(1 + (&v - kCyrillicVariants));
      }
    }
    const std::uint32_t place = CyrillicPlace(base);
    w.primary = place != 0xFFFF ? kCyrillicBase + place : kCyrillicBase + 0x100 + base;
  } else if (c < 0xC0 || (c >= 0x2000 && c < 0x2C00) || c == 0xD7 || c == 0xF7) {
    w.primary = c;  // signs, spaces and controls, before digits and letters
  } else {
    w.primary = kOtherLetterBase + upper;
  }
  return w;
}

bool IsWordSortIgnorable(char16_t c) {
  return c == u'-' || c == u'\'' || c == 0x00AD;
}

std::vector<Weight> Weights(std::u16string_view text, bool skipIgnorable) {
  std::vector<Weight> weights;
  weights.reserve(text.size());
  for (char16_t c : text) {
    if (skipIgnorable && IsWordSortIgnorable(c)) continue;
    weights.push_back(Weigh(c));
  }
  return weights;
}

template <typename Field>
int CompareLevel(const std::vector<Weight>& a, const std::vector<Weight>& b, Field field) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const auto x = field(a[i]);
    const auto y = field(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return 0;
}

int CompareWeights(const std::vector<Weight>& a, const std::vector<Weight>& b, bool ignoreCase) {
  if (int r = CompareLevel(a, b, [](const Weight& w) { return w.primary; })) return r;
  if (int r = CompareLevel(a, b, [](const Weight& w) { return w.secondary; })) return r;
  if (ignoreCase) return 0;
  return CompareLevel(a, b, [](const Weight& w) { return w.tertiary; });
}

}  // namespace

bool IsKnownCodePage(std::uint32_t codePage) {
  return codePage == 1252 || codePage == 1251 || codePage == kCodePageUtf8;
}

char16_t ByteToWide(std::uint32_t codePage, std::uint8_t byte) {
  if (byte < 0x80) return byte;
  const auto* half = UpperHalf(codePage);
  return half != nullptr ? (*half)[byte - 0x80] : char16_t{0xFFFD};
}

std::optional<std::u16string> WidenText(std::uint32_t codePage, std::string_view text) {
  if (codePage == kCodePageUtf8) return Utf8ToWide(text);
  if (UpperHalf(codePage) == nullptr) return std::nullopt;
  std::u16string wide;
  wide.reserve(text.size());
  for (char c : text)
    wide += ByteToWide(codePage, static_cast<std::uint8_t>(c));
  return wide;
}

std::string NarrowText(std::uint32_t codePage, std::u16string_view text, char fallback,
                       bool* lossy) {
  if (lossy != nullptr) *lossy = false;
  if (codePage == kCodePageUtf8) return WideToUtf8(text);
  const auto& reverse = ReverseTable(codePage);
  std::string narrow;
  narrow.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c < 0x80) {
      narrow += static_cast<char>(c);
      continue;
    }
    const auto found = reverse.find(c);
    if (found != reverse.end()) {
      narrow += static_cast<char>(found->second);
      continue;
    }
    // A surrogate pair is one character and becomes one fallback byte.
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      ++i;
    }
    narrow += fallback;
    if (lossy != nullptr) *lossy = true;
  }
  return narrow;
}

std::u16string Utf8ToWide(std::string_view text) {
  std::u16string wide;
  wide.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<std::uint8_t>(text[i]);
    int extra = 0;
    char32_t c = 0;
    if (b < 0x80) {
      c = b;
    } else if ((b & 0xE0) == 0xC0) {
      c = b & 0x1F;
      extra = 1;
    } else if ((b & 0xF0) == 0xE0) {
      c = b & 0x0F;
      extra = 2;
    } else if ((b & 0xF8) == 0xF0) {
      c = b & 0x07;
      extra = 3;
    } else {
      wide += char16_t{0xFFFD};
      ++i;
      continue;
    }
    if (i + static_cast<std::size_t>(extra) >= text.size()) {
      wide += char16_t{0xFFFD};
      break;
    }
    bool valid = true;
    for (int k = 1; k <= extra; ++k) {
      const auto next = static_cast<std::uint8_t>(text[i + k]);
      if ((next & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      c = (c << 6) | (next & 0x3F);
    }
    if (!valid) {
      wide += char16_t{0xFFFD};
      ++i;
      continue;
    }
    AppendUtf16(wide, c);
    i += 1 + extra;
  }
  return wide;
}

std::string WideToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

char16_t UpperChar(char16_t c) {
  if (c < 0x80) return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 0x20) : c;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 0x20);
  if (c == 0xFF) return 0x0178;
  if (c >= 0x0100 && c <= 0x017E && c != 0x0131 && c != 0x0138 && c != 0x0149) {
    const bool oddUpper = LatinExtendedOddIsUpper(c);
    const bool isLower = oddUpper ? (c % 2 == 0) : (c % 2 == 1);
    return isLower ? static_cast<char16_t>(c - 1) : c;
  }
  if (c >= 0x03B1 && c <= 0x03CB && c != 0x03C2) return static_cast<char16_t>(c - 0x20);
  if (c == 0x03C2) return 0x03A3;
  if (c == 0x03AC) return 0x0386;
  if (c >= 0x03AD && c <= 0x03AF) return static_cast<char16_t>(c - 0x25);
  if (c == 0x03CC) return 0x038C;
  if (c == 0x03CD || c == 0x03CE) return static_cast<char16_t>(c - 0x3F);
  if (c >= 0x0430 && c <= 0x044F) return static_cast<char16_t>(c - 0x20);
  if (c >= 0x0450 && c <= 0x045F) return static_cast<char16_t>(c - 0x50);
  if (CyrillicEvenOddPair(c)) return c % 2 == 1 ? static_cast<char16_t>(c - 1) : c;
  if (c >= 0x04C1 && c <= 0x04CE) return c % 2 == 0 ? static_cast<char16_t>(c - 1) : c;
  if (c == 0x04CF) return 0x04C0;
  if (c >= 0xFF41 && c <= 0xFF5A) return static_cast<char16_t>(c - 0x20);
  return c;
}

char16_t LowerChar(char16_t c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 0x20) : c;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 0x20);
  if (c == 0x0178) return 0xFF;
  if (c >= 0x0100 && c <= 0x017E && c != 0x0130 && c != 0x0138 && c != 0x0149) {
    const bool oddUpper = LatinExtendedOddIsUpper(c);
    const bool isUpper = oddUpper ? (c % 2 == 1) : (c % 2 == 0);
    return isUpper ? static_cast<char16_t>(c + 1) : c;
  }
  if (c >= 0x0391 && c <= 0x03AB && c != 0x03A2) return static_cast<char16_t>(c + 0x20);
  if (c == 0x0386) return 0x03AC;
  if (c >= 0x0388 && c <= 0x038A) return static_cast<char16_t>(c + 0x25);
  if (c == 0x038C) return 0x03CC;
  if (c == 0x038E || c == 0x038F) return static_cast<char16_t>(c + 0x3F);
  if (c >= 0x0410 && c <= 0x042F) return static_cast<char16_t>(c + 0x20);
  if (c >= 0x0400 && c <= 0x040F) return static_cast<char16_t>(c + 0x50);
  if (CyrillicEvenOddPair(c)) return c % 2 == 0 ? static_cast<char16_t>(c + 1) : c;
  if (c >= 0x04C1 && c <= 0x04CE) return c % 2 == 1 ? static_cast<char16_t>(c + 1) : c;
  if (c == 0x04C0) return 0x04CF;
  if (c >= 0xFF21 && c <= 0xFF3A) return static_cast<char16_t>(c + 0x20);
  return c;
}

std::u16string UpperText(std::u16string_view text) {
  std::u16string upper(text);
  for (char16_t& c : upper)
    c = UpperChar(c);
  return upper;
}

int CompareText(std::uint32_t flags, std::u16string_view a, std::u16string_view b) {
  const bool ignoreCase = (flags & kNormIgnoreCase) != 0;
  const bool wordSort = (flags & kSortStringSort) == 0;
  int r = CompareWeights(Weights(a, wordSort), Weights(b, wordSort), ignoreCase);
  if (r == 0 && wordSort && a.size() != b.size()) r = a.size() < b.size() ? -1 : 1;
  if (r == 0 && wordSort) r = CompareWeights(Weights(a, false), Weights(b, false), ignoreCase);
  return r < 0 ? kCstrLessThan : r > 0 ? kCstrGreaterThan : kCstrEqual;
}

}  // namespace os::sim

// ---- The machine's text calls ------------------------------------------------------------

namespace os {
namespace {

// CharUpperBuffA and CharLowerBuffA: each byte is widened by the code page, mapped, and
// narrowed again; a byte whose partner the code page cannot hold stays as it is.
void MapBytes(std::uint32_t codePage, std::string& text, char16_t (*map)(char16_t)) {
  for (char& c : text) {
    const char16_t mapped = map(sim::ByteToWide(codePage, static_cast<std::uint8_t>(c)));
    bool lossy = false;
    const std::string back =
        sim::NarrowText(codePage, std::u16string_view(&mapped, 1), '?', &lossy);
    if (!lossy && back.size() == 1) c = back[0];
  }
}

}  // namespace

void SimOs::SetCodePage(std::uint32_t codePage) {
  if (codePage != 1252 && codePage != 1251) {
    throw std::invalid_argument("SimOs knows the code pages 1252 and 1251 only");
  }
  codePage_ = codePage;
}

std::u16string SimOs::Ansi(std::string_view text) const {
  return *sim::WidenText(codePage_, text);
}

std::string SimOs::ToAnsi(std::u16string_view text) const {
  return sim::NarrowText(codePage_, text);
}

std::u16string SimOs::MultiByteToWide(std::uint32_t codePage, std::string_view text) {
  const auto wide = sim::WidenText(codePage == 0 ? codePage_ : codePage, text);
  if (!wide) {
    lastError_ = kErrorInvalidParameter;
    return {};
  }
  return *wide;
}

std::string SimOs::WideToAnsi(std::u16string_view text) {
  return ToAnsi(text);
}

void SimOs::CharUpperBuffA(std::string& text) {
  MapBytes(codePage_, text, sim::UpperChar);
}

void SimOs::CharLowerBuffA(std::string& text) {
  MapBytes(codePage_, text, sim::LowerChar);
}

int SimOs::CompareStringA(std::uint32_t flags, std::string_view a, std::string_view b) {
  return sim::CompareText(flags, Ansi(a), Ansi(b));
}

}  // namespace os
