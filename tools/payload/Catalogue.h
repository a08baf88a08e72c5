// Writing the setup's payload: the catalogue format that the setup's store reads (see
// src/AttachFiles.h) and its compression into one zlib stream.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace payload {

using Bytes = std::vector<std::uint8_t>;

// The builder refused its input; the message says what and, for a listing, where.
class BuildError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Entry {
  std::string name;
  double stamp = 0.0;
  Bytes data;
  // Written as the size field in place of data.size(): only for making damaged catalogues
  // in tests, and refused while the checks are on.
  std::optional<std::int32_t> sizeField;
};

// Why a name, a stamp or a data size cannot go into a shipped catalogue; empty when it can.
// A name must have 1 to 255 bytes. A stamp must be a whole even second of the years 1980 to
// 2099, so that the installed file's DOS date holds it exactly and reads back as the same
// double. A size must fit the signed 32-bit size field.
std::string CheckName(std::string_view name);
std::string CheckStamp(double stamp);
std::string CheckSize(std::uint64_t size);

// Whether two names are the same to the setup, which compares them without letter case.
bool SameName(std::string_view a, std::string_view b);

// The catalogue bytes of the entries, in order. Only the layout is enforced: a name over 255
// bytes or data over 2 GiB raises BuildError whatever the checks.
Bytes WriteCatalogue(std::span<const Entry> entries);

// One zlib stream (RFC 1950) of the bytes at maximum compression: header 78 DA, 32 KiB
// window. The same bytes always give the same stream.
Bytes Compress(std::span<const std::uint8_t> bytes);

// Collects entries and makes the catalogue and the payload. With the checks on (the
// default) every entry must pass CheckName, CheckStamp and CheckSize, no two names may be
// the same, the size field is the data's and the catalogue must not exceed what the setup
// inflates. With them off anything the layout allows goes in: odd stamps, repeated names,
// false size fields.
class CatalogueBuilder {
 public:
  enum class Checks { kOn, kOff };

  explicit CatalogueBuilder(Checks checks = Checks::kOn) : checks_(checks) {}

  CatalogueBuilder& Add(std::string name, double stamp, Bytes data);
  CatalogueBuilder& Add(Entry entry);

  const std::vector<Entry>& entries() const { return entries_; }
  // The inflated form, as the setup's store sees it.
  Bytes Catalogue() const;
  // The compressed form, the bytes of the payload resource.
  Bytes Payload() const { return Compress(Catalogue()); }

 private:
  Checks checks_;
  std::vector<Entry> entries_;
  std::uint64_t catalogueSize_ = 0;
};

}  // namespace payload
