#include "payload/Catalogue.h"

#include <zlib.h>

#include <bit>
#include <cstring>

#include "AttachFiles.h"
#include "DayCount.h"

namespace payload {

namespace {

constexpr std::uint64_t kEntryHeaderSize = 1 + 8 + 4;
constexpr std::uint64_t kMaxEntrySize = INT32_MAX;

char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

void AppendLE(Bytes& out, std::uint64_t value, int byteCount) {
  for (int i = 0; i < byteCount; ++i)
    out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

std::string CheckName(std::string_view name) {
  if (name.empty()) return "the name is empty";
  if (name.size() > 255) {
    return "the name has " + std::to_string(name.size()) + " bytes, more than 255";
  }
  return {};
}

std::string CheckStamp(double stamp) {
  const std::optional<os::SystemTime> time = DecodeDayCount(stamp);
  if (!time) return "the stamp is no date";
  if (time->year < 1980 || time->year > 2099) {
    return "the stamp's year " + std::to_string(time->year) + " is outside 1980 to 2099";
  }
  // The installed file keeps its time as a DOS date; the setup compares that date, read
  // back as a day count, with the stamp. Unless the two are the same double, every later
  // comparison by time would find the file changed and write it again.
  const std::uint32_t dos = DosDateTimeFromDayCount(stamp);
  const std::optional<double> back = DayCountFromDosDateTime(static_cast<std::uint16_t>(dos >> 16),
                                                             static_cast<std::uint16_t>(dos));
  if (!back || std::bit_cast<std::uint64_t>(*back) != std::bit_cast<std::uint64_t>(stamp)) {
    return "the stamp is not a whole even second, which a file's DOS date cannot hold";
  }
  return {};
}

std::string CheckSize(std::uint64_t size) {
  if (size > kMaxEntrySize) {
    return "the data has " + std::to_string(size) + " bytes, more than the 2 GiB an entry holds";
  }
  return {};
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

Bytes WriteCatalogue(std::span<const Entry> entries) {
  Bytes out;
  for (const Entry& entry : entries) {
    if (entry.name.size() > 255)
      throw BuildError("entry " + entry.name + ": " + CheckName(entry.name));
    if (entry.data.size() > kMaxEntrySize) {
      throw BuildError("entry " + entry.name + ": " + CheckSize(entry.data.size()));
    }
    out.push_back(static_cast<std::uint8_t>(entry.name.size()));
    out.insert(out.end(), entry.name.begin(), entry.name.end());
    AppendLE(out, std::bit_cast<std::uint64_t>(entry.stamp), 8);
    const std::int32_t size =
        entry.sizeField.value_or(static_cast<std::int32_t>(entry.data.size()));
    AppendLE(out, static_cast<std::uint32_t>(size), 4);
    out.insert(out.end(), entry.data.begin(), entry.data.end());
  }
  return out;
}

Bytes Compress(std::span<const std::uint8_t> bytes) {
  z_stream stream{};
  // Level 9 with a 32 KiB window gives the header 78 DA; memLevel 9 is the best zlib offers.
  if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15, 9, Z_DEFAULT_STRATEGY) != Z_OK) {
    throw BuildError("zlib cannot start compressing");
  }
  Bytes out(deflateBound(&stream, static_cast<uLong>(bytes.size())));
  stream.next_in = const_cast<Bytef*>(bytes.data());
  stream.avail_in = static_cast<uInt>(bytes.size());
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(out.size());
  const int result = deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  if (result != Z_STREAM_END) throw BuildError("zlib cannot compress the catalogue");
  return out;
}

CatalogueBuilder& CatalogueBuilder::Add(std::string name, double stamp, Bytes data) {
  return Add(Entry{std::move(name), stamp, std::move(data), std::nullopt});
}

CatalogueBuilder& CatalogueBuilder::Add(Entry entry) {
  const std::uint64_t size = kEntryHeaderSize + entry.name.size() + entry.data.size();
  if (checks_ == Checks::kOn) {
    const auto refuse = [&](const std::string& why) {
      return BuildError("entry \"" + entry.name + "\": " + why);
    };
    for (const std::string& why :
         {CheckName(entry.name), CheckStamp(entry.stamp), CheckSize(entry.data.size())}) {
      if (!why.empty()) throw refuse(why);
    }
    if (entry.sizeField) throw refuse("a size field of its own needs the checks off");
    for (const Entry& earlier : entries_) {
      if (SameName(earlier.name, entry.name)) {
        throw refuse("the name is already that of entry \"" + earlier.name + "\"");
      }
    }
    if (catalogueSize_ + size > static_cast<std::uint64_t>(kMaxCatalogueSize)) {
      throw refuse("the catalogue would grow past the " + std::to_string(kMaxCatalogueSize) +
                   " bytes the setup inflates");
    }
  }
  catalogueSize_ += size;
  entries_.push_back(std::move(entry));
  return *this;
}

Bytes CatalogueBuilder::Catalogue() const {
  return WriteCatalogue(entries_);
}

}  // namespace payload
