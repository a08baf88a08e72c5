#include "payload/Listing.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

#include "AttachFiles.h"
#include "DayCount.h"

namespace payload {

namespace fs = std::filesystem;

namespace {

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

// The fields of a line split at runs of tabs, each trimmed of spaces.
std::vector<std::string_view> SplitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(Trim(line.substr(start, tab - start)));
    if (tab == std::string_view::npos) break;
    start = line.find_first_not_of('\t', tab);
    if (start == std::string_view::npos) break;
  }
  return fields;
}

// Reads exactly `count` decimal digits at `at`.
std::optional<int> Digits(std::string_view text, std::size_t at, std::size_t count) {
  int value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

// A stamp as "YYYY-MM-DD HH:MM:SS"; gives the reason it is refused, or empty text.
std::string ParseStamp(std::string_view text, double& stamp) {
  const std::string unparsable =
      "stamp \"" + std::string(text) + "\" is not a date and time as YYYY-MM-DD HH:MM:SS";
  if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' || text[13] != ':' ||
      text[16] != ':') {
    return unparsable;
  }
  const auto year = Digits(text, 0, 4), month = Digits(text, 5, 2), day = Digits(text, 8, 2),
             hour = Digits(text, 11, 2), minute = Digits(text, 14, 2), second = Digits(text, 17, 2);
  if (!year || !month || !day || !hour || !minute || !second) return unparsable;
  const std::optional<double> encoded =
      TryEncodeDayCount(*year, *month, *day, *hour, *minute, *second);
  if (!encoded) return "stamp \"" + std::string(text) + "\" is no valid date and time";
  if (*year < 1980 || *year > 2099) {
    return "stamp \"" + std::string(text) +
           "\" is outside the years 1980 to 2099 that an installed file's DOS date holds";
  }
  if (*second % 2 != 0) {
    return "stamp \"" + std::string(text) +
           "\" is not on an even second; an installed file's DOS date holds only even seconds";
  }
  stamp = *encoded;
  // The route through the DOS date must give back these very bits (see CheckStamp).
  return CheckStamp(stamp);
}

// The source with every ${NAME} replaced; gives the reason it is refused, or empty text.
std::string ExpandSource(std::string_view source, const Defines& defines, std::string& expanded) {
  expanded.clear();
  std::size_t at = 0;
  for (;;) {
    const std::size_t open = source.find("${", at);
    expanded.append(source.substr(at, open - at));
    if (open == std::string_view::npos) return {};
    const std::size_t close = source.find('}', open + 2);
    if (close == std::string_view::npos) {
      return "source \"" + std::string(source) + "\" has a ${ without its }";
    }
    const std::string_view name = source.substr(open + 2, close - open - 2);
    const auto found = defines.find(name);
    if (found == defines.end()) {
      return "source \"" + std::string(source) + "\" uses ${" + std::string(name) +
             "}, which no -D " + std::string(name) + "=PATH defines";
    }
    expanded += found->second;
    at = close + 1;
  }
}

std::string Where(const fs::path& listingPath, int line) {
  return listingPath.string() + ":" + std::to_string(line) + ": ";
}

}  // namespace

std::vector<ListingEntry> ParseListing(std::string_view text, const fs::path& listingPath,
                                       const Defines& defines) {
  std::vector<ListingEntry> entries;
  int lineNumber = 0;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    at = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    const std::string_view content = Trim(line);
    if (content.empty() || content.front() == '#') continue;

    const auto refuse = [&](const std::string& why) {
      return BuildError(Where(listingPath, lineNumber) + why);
    };
    const std::vector<std::string_view> fields = SplitFields(line);
    if (fields.size() != 3 || fields[0].empty() || fields[1].empty() || fields[2].empty()) {
      throw refuse("expected name, stamp and source separated by tabs, found \"" +
                   std::string(line) + "\"");
    }

    ListingEntry entry;
    entry.line = lineNumber;
    entry.name = std::string(fields[0]);
    if (const std::string why = CheckName(entry.name); !why.empty()) {
      throw refuse("entry \"" + entry.name.substr(0, 40) + "\": " + why);
    }
    for (const ListingEntry& earlier : entries) {
      if (SameName(earlier.name, entry.name)) {
        throw refuse("entry \"" + entry.name + "\" repeats the name of line " +
                     std::to_string(earlier.line));
      }
    }
    if (const std::string why = ParseStamp(fields[1], entry.stamp); !why.empty()) {
      throw refuse("entry \"" + entry.name + "\": " + why);
    }
    std::string source;
    if (const std::string why = ExpandSource(fields[2], defines, source); !why.empty()) {
      throw refuse("entry \"" + entry.name + "\": " + why);
    }
    entry.source = fs::path(source);
    if (entry.source.is_relative()) entry.source = listingPath.parent_path() / entry.source;
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::vector<Entry> LoadListing(const fs::path& listingPath, const Defines& defines) {
  std::ifstream listingFile(listingPath, std::ios::binary);
  if (!listingFile) throw BuildError(listingPath.string() + ": cannot read the listing");
  const std::string text{std::istreambuf_iterator<char>(listingFile),
                         std::istreambuf_iterator<char>()};
  const std::vector<ListingEntry> listed = ParseListing(text, listingPath, defines);

  // Every source is checked before any is read, so that a bad one far down the list is
  // reported without reading hundreds of megabytes first.
  std::uint64_t catalogueSize = 0;
  std::vector<std::uintmax_t> sizes;
  for (const ListingEntry& item : listed) {
    const auto refuse = [&](const std::string& why) {
      return BuildError(Where(listingPath, item.line) + "entry \"" + item.name + "\": source " +
                        item.source.string() + " " + why);
    };
    std::error_code error;
    const fs::file_status status = fs::status(item.source, error);
    if (!fs::exists(status)) throw refuse("does not exist");
    if (!fs::is_regular_file(status)) throw refuse("is not a regular file");
    const std::uintmax_t size = fs::file_size(item.source, error);
    if (error) throw refuse("cannot be read: " + error.message());
    if (const std::string why = CheckSize(size); !why.empty()) throw refuse("is too large: " + why);
    sizes.push_back(size);
    catalogueSize += 1 + 8 + 4 + item.name.size() + size;
    if (catalogueSize > static_cast<std::uint64_t>(kMaxCatalogueSize)) {
      throw refuse("makes the catalogue larger than the " + std::to_string(kMaxCatalogueSize) +
                   " bytes the setup inflates");
    }
  }

  std::vector<Entry> entries;
  for (std::size_t i = 0; i < listed.size(); ++i) {
    const ListingEntry& item = listed[i];
    Bytes data(sizes[i]);
    std::ifstream source(item.source, std::ios::binary);
    source.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size()));
    // A source that changes size while the build runs is caught here or by the final peek.
    if (!source || source.peek() != std::ifstream::traits_type::eof()) {
      throw BuildError(Where(listingPath, item.line) + "entry \"" + item.name + "\": source " +
                       item.source.string() + " cannot be read in full");
    }
    entries.push_back(Entry{item.name, item.stamp, std::move(data), std::nullopt});
  }
  return entries;
}

Bytes BuildCatalogue(const fs::path& listingPath, const Defines& defines) {
  CatalogueBuilder builder;
  for (Entry& entry : LoadListing(listingPath, defines))
    builder.Add(std::move(entry));
  return builder.Catalogue();
}

Bytes BuildPayload(const fs::path& listingPath, const Defines& defines) {
  return Compress(BuildCatalogue(listingPath, defines));
}

}  // namespace payload
