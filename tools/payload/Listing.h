// The catalogue listing: the text file that says what goes into the payload, one entry per
// line, in catalogue order:
//
//   name<TAB>YYYY-MM-DD HH:MM:SS<TAB>source
//
// Fields are separated by one or more tabs; blank lines and lines whose first non-blank
// character is '#' are skipped. The date and time are the file's local last-write time. The
// source is the file whose bytes become the entry: a path relative to the listing's folder,
// or an absolute one, in which ${NAME} is replaced by the path given for NAME.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "payload/Catalogue.h"

namespace payload {

using Defines = std::map<std::string, std::string, std::less<>>;

struct ListingEntry {
  std::string name;
  double stamp = 0.0;
  std::filesystem::path source;
  int line = 0;
};

// Parses a listing and checks each line: three fields, a name of 1 to 255 bytes that no
// earlier line has (in any letter case), a valid date and time in the years 1980 to 2099 on
// an even second, and only ${NAME}s that `defines` gives. `listingPath` names the listing in
// messages ("files.list:7: ...") and anchors relative sources. Sources are not looked at.
std::vector<ListingEntry> ParseListing(std::string_view text,
                                       const std::filesystem::path& listingPath,
                                       const Defines& defines);

// Reads the listing file and the source of each entry: every source must be a readable
// regular file of at most 2 GiB, and the catalogue must stay within what the setup inflates.
// Gives the entries in listing order; any failure raises BuildError naming file and line.
std::vector<Entry> LoadListing(const std::filesystem::path& listingPath, const Defines& defines);

// LoadListing, then the catalogue of its entries, checked as CatalogueBuilder checks them.
Bytes BuildCatalogue(const std::filesystem::path& listingPath, const Defines& defines);

// BuildCatalogue, compressed with zlib at level 9 (Compress); the builder's command makes
// the smaller stream of PayloadStream.h from the same catalogue.
Bytes BuildPayload(const std::filesystem::path& listingPath, const Defines& defines);

}  // namespace payload
