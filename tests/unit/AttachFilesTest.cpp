#include "AttachFiles.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>
#include <vector>

#include "DayCount.h"
#include "Errors.h"
#include "os/Machine.h"
#include "os/sim/SimOs.h"
#include "payload/Catalogue.h"

namespace {

using payload::Bytes;
using payload::CatalogueBuilder;
using testing::HasSubstr;

const double kLicenseStamp = EncodeDayCount(2021, 2, 10, 11, 58, 46);

// Bytes that compress, but not to nothing.
Bytes Pattern(std::size_t size, unsigned seed) {
  Bytes bytes(size);
  std::uint32_t state = seed;
  for (std::size_t i = 0; i < size; ++i) {
    state = state * 1103515245u + 12345u;
    bytes[i] = static_cast<std::uint8_t>(i % 64 < 48 ? 'a' + i % 7 : state >> 24);
  }
  return bytes;
}

// A small catalogue in the shape of the shipped one, with lengths whose low byte has its
// high bit set (a name of 200 bytes, data of 300 and 0x80 bytes) and an empty entry.
CatalogueBuilder SampleCatalogue() {
  CatalogueBuilder builder;
  builder.Add("License.txt", kLicenseStamp, Pattern(1939, 1));
  builder.Add(std::string(200, 'N'), EncodeDayCount(2013, 4, 6, 21, 31, 14), Pattern(300, 2));
  builder.Add("userdicbg.tlx", EncodeDayCount(2003, 8, 10, 12, 10, 4), {});
  builder.Add("bg_BG.aff", EncodeDayCount(2013, 4, 6, 20, 53, 42), Pattern(0x80, 3));
  return builder;
}

std::uint64_t Bits(double value) {
  return std::bit_cast<std::uint64_t>(value);
}

// Checks that the entries read from a catalogue are exactly those the builder was given.
void ExpectEntries(const std::vector<TAttachedFile>& entries, const std::uint8_t* data,
                   const CatalogueBuilder& built) {
  ASSERT_EQ(entries.size(), built.entries().size());
  std::int32_t offset = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    SCOPED_TRACE(i);
    const payload::Entry& want = built.entries()[i];
    const TAttachedFile& got = entries[i];
    EXPECT_EQ(got.Name, want.name);
    EXPECT_EQ(Bits(got.Stamp), Bits(want.stamp));
    EXPECT_EQ(got.Size, static_cast<std::int32_t>(want.data.size()));
    offset += 13 + static_cast<std::int32_t>(want.name.size());
    EXPECT_EQ(got.DataOffset, offset);
    EXPECT_EQ(Bytes(data + got.DataOffset, data + got.DataOffset + got.Size), want.data);
    offset += got.Size;
  }
}

// A copy of the bytes with the one at `at` changed.
Bytes Flipped(const Bytes& bytes, std::size_t at, std::uint8_t mask) {
  Bytes copy = bytes;
  copy.at(at) ^= mask;
  return copy;
}

// A machine whose program carries `payload` as its resource FILES.
class AttachFilesTest : public testing::Test {
 protected:
  void SetPayload(const Bytes& payload) { sim_.SetResource("FILES", "FILES", payload); }

  os::SimOs sim_;
  os::MachineScope scope_{sim_};
};

TEST_F(AttachFilesTest, ReadsEveryEntryOfThePayload) {
  const CatalogueBuilder built = SampleCatalogue();
  SetPayload(built.Payload());

  const TAttachedFiles store;
  ASSERT_EQ(store.DataSize, static_cast<std::int32_t>(built.Catalogue().size()));
  EXPECT_EQ(Bytes(store.Data.get(), store.Data.get() + store.DataSize), built.Catalogue());
  ExpectEntries(store.Entries, store.Data.get(), built);
  EXPECT_EQ(store.Entries[0].DataOffset, 24);
  // The empty entry's data begins where the next entry does.
  EXPECT_EQ(store.Entries[2].Size, 0);
  EXPECT_EQ(
      store.Entries[2].DataOffset,
      store.Entries[3].DataOffset - 13 - static_cast<std::int32_t>(store.Entries[3].Name.size()));

  EXPECT_EQ(store.Queues.size(), 1u);
  EXPECT_TRUE(store.Queues[0].empty());
  EXPECT_TRUE(store.PublicFiles.empty());
  EXPECT_FALSE(store.OverwriteAll);
}

TEST_F(AttachFilesTest, KeepsNamesStampsAndDuplicatesAsStored) {
  // Without the builder's checks: a repeated name in other case, and stamps that no
  // arithmetic may touch (a NaN with a payload, minus zero, an odd second).
  CatalogueBuilder built(CatalogueBuilder::Checks::kOff);
  built.Add("Logo.bmp", std::bit_cast<double>(0x7FF8'0000'0000'0123ull), Pattern(10, 4));
  built.Add("LOGO.bmp", -0.0, Pattern(20, 5));
  built.Add("Logo.bmp", EncodeDayCount(2021, 2, 10, 11, 58, 47, 3), {});
  SetPayload(built.Payload());

  const TAttachedFiles store;
  ExpectEntries(store.Entries, store.Data.get(), built);
}

TEST_F(AttachFilesTest, EmptyCatalogueHasNoEntries) {
  SetPayload(CatalogueBuilder().Payload());
  const TAttachedFiles store;
  EXPECT_EQ(store.DataSize, 0);
  EXPECT_TRUE(store.Entries.empty());
}

TEST_F(AttachFilesTest, RefusesMissingEmptyDamagedAndOverrunningPayloads) {
  EXPECT_THROW(TAttachedFiles(), EPayloadError);  // no resource at all

  SetPayload({});
  EXPECT_THROW(TAttachedFiles(), EPayloadError);

  const Bytes good = SampleCatalogue().Payload();
  SetPayload(Flipped(good, good.size() / 2, 0x55));
  EXPECT_THROW(TAttachedFiles(), EPayloadError);

  CatalogueBuilder negative(CatalogueBuilder::Checks::kOff);
  negative.Add("License.txt", kLicenseStamp, Pattern(10, 6));
  negative.Add(payload::Entry{"bad", kLicenseStamp, Pattern(10, 7), -1});
  SetPayload(negative.Payload());
  EXPECT_THROW(TAttachedFiles(), EPayloadError);

  Bytes cut = SampleCatalogue().Catalogue();
  cut.pop_back();
  SetPayload(payload::Compress(cut));
  EXPECT_THROW(TAttachedFiles(), EPayloadError);
}

// ---- Inflation ------------------------------------------------------------------------------

struct Inflated {
  Bytes bytes;
  int enlargements = 0;
};

Inflated InflateWith(const Bytes& stream, std::int32_t estimate) {
  TByteBlock block;
  std::int32_t length = -1;
  Inflated result;
  InflateBuffer(stream.data(), static_cast<std::int32_t>(stream.size()), block, length, estimate,
                &result.enlargements);
  result.bytes.assign(block.get(), block.get() + length);
  return result;
}

TEST(AttachFilesInflateTest, AnyEstimateGivesTheSameBytes) {
  const Bytes catalogue = Pattern(200'000, 8);
  const Bytes stream = payload::Compress(catalogue);
  const auto n = static_cast<std::int64_t>(catalogue.size());
  const std::int64_t step = (static_cast<std::int64_t>(stream.size()) + 255) / 256 * 256;
  // Compressed about as well as the shipped payload: several growth steps, less than five.
  ASSERT_LT(step * 2, n);
  ASSERT_GT(static_cast<std::int64_t>(stream.size()) * 5, n);
  ASSERT_NE(stream.size() % 256, 0u) << "the sample must show the rounding of the step";

  const auto stepsFrom = [&](std::int64_t first) {
    return static_cast<int>(std::max<std::int64_t>(0, (n - first + step - 1) / step));
  };
  struct Case {
    const char* what;
    std::int32_t estimate;
    int enlargements;
  };
  const Case cases[] = {
      {"none: one growth step first", 0, stepsFrom(step)},
      {"one byte", 1, stepsFrom(1)},
      {"one byte short", static_cast<std::int32_t>(n - 1), 1},
      // One whole step of the rounded size fits exactly; a step of the bare size would not.
      {"one step short", static_cast<std::int32_t>(n - step), 1},
      {"exact", static_cast<std::int32_t>(n), 0},
      {"five times the stream", static_cast<std::int32_t>(5 * stream.size()), 0},
      {"negative, taken as none", -5, stepsFrom(step)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Inflated inflated = InflateWith(stream, c.estimate);
    EXPECT_EQ(inflated.bytes, catalogue);
    EXPECT_EQ(inflated.enlargements, c.enlargements);
  }
}

TEST(AttachFilesInflateTest, EmptyCatalogueGivesNoBlock) {
  const Bytes stream = payload::Compress({});
  TByteBlock block;
  std::int32_t length = -1;
  InflateBuffer(stream.data(), static_cast<std::int32_t>(stream.size()), block, length, 0);
  EXPECT_EQ(length, 0);
  EXPECT_FALSE(block);
}

Bytes WithPresetDictionary(const Bytes& data) {
  static const char kDictionary[] = "License.txt userdicbg.tlx";
  z_stream stream{};
  EXPECT_EQ(deflateInit(&stream, 9), Z_OK);
  deflateSetDictionary(&stream, reinterpret_cast<const Bytef*>(kDictionary), sizeof kDictionary);
  Bytes out(deflateBound(&stream, static_cast<uLong>(data.size())));
  stream.next_in = const_cast<Bytef*>(data.data());
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

TEST(AttachFilesInflateTest, DamagedStreamsFailCleanly) {
  const Bytes catalogue = SampleCatalogue().Catalogue();
  const Bytes good = payload::Compress(catalogue);
  ASSERT_GT(good.size(), 8u);
  struct Case {
    const char* what;
    Bytes stream;
    const char* reason;
  };
  std::vector<Case> cases;
  cases.push_back({"flipped deflate byte", Flipped(good, good.size() / 2, 0x55), ""});
  cases.push_back({"wrong Adler-32", Flipped(good, good.size() - 1, 0x01), "damaged"});
  cases.push_back({"bad header check", Flipped(good, 1, 0x01), "damaged"});
  cases.push_back({"raw deflate without header", Bytes(good.begin() + 2, good.end()), ""});
  cases.push_back({"preset dictionary", WithPresetDictionary(catalogue), "dictionary"});
  cases.push_back({"trailer missing", Bytes(good.begin(), good.end() - 4), "cut short"});
  cases.push_back({"header only", Bytes(good.begin(), good.begin() + 2), "cut short"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const std::int32_t estimate : {0, 1, static_cast<std::int32_t>(catalogue.size() * 5)}) {
      try {
        InflateWith(c.stream, estimate);
        ADD_FAILURE() << "inflated with estimate " << estimate;
      } catch (const EPayloadError& error) {
        EXPECT_THAT(error.what(), HasSubstr(c.reason));
      }
    }
  }
}

TEST(AttachFilesInflateTest, EveryCutOfTheStreamFails) {
  const Bytes good = payload::Compress(SampleCatalogue().Catalogue());
  for (std::size_t length = 0; length < good.size(); ++length) {
    SCOPED_TRACE(length);
    EXPECT_THROW(InflateWith(Bytes(good.begin(), good.begin() + length), 0), EPayloadError);
  }
  TByteBlock block;
  std::int32_t length = 0;
  EXPECT_THROW(InflateBuffer(nullptr, 0, block, length, 0), EPayloadError);
  EXPECT_THROW(InflateBuffer(good.data(), -1, block, length, 0), EPayloadError);
  EXPECT_FALSE(block);
}

TEST(AttachFilesInflateTest, StopsAtTheBound) {
  // Zeros one byte past the bound, compressed in pieces to keep the test's memory small.
  z_stream stream{};
  ASSERT_EQ(deflateInit(&stream, 9), Z_OK);
  const Bytes zeros(1 << 20);
  Bytes compressed(1 << 20);
  std::int64_t left = std::int64_t{kMaxCatalogueSize} + 1;
  stream.next_out = compressed.data();
  stream.avail_out = static_cast<uInt>(compressed.size());
  while (left > 0) {
    const auto piece = static_cast<uInt>(std::min<std::int64_t>(left, zeros.size()));
    left -= piece;
    stream.next_in = const_cast<Bytef*>(zeros.data());
    stream.avail_in = piece;
    ASSERT_NE(deflate(&stream, left > 0 ? Z_NO_FLUSH : Z_FINISH), Z_STREAM_ERROR);
    ASSERT_GT(stream.avail_out, 0u);
  }
  compressed.resize(stream.total_out);
  deflateEnd(&stream);

  const auto source = static_cast<std::int32_t>(compressed.size());
  EXPECT_THAT([&] { InflateWith(compressed, 5 * source); },
              testing::ThrowsMessage<EPayloadError>(HasSubstr("more than 268435456 bytes")));
}

// ---- The catalogue walk -----------------------------------------------------------------------

TEST(AttachFilesCatalogueTest, EveryCutIsAShorterCatalogueOrAnError) {
  const CatalogueBuilder built = SampleCatalogue();
  const Bytes catalogue = built.Catalogue();
  std::vector<std::size_t> ends;  // where each entry ends
  std::size_t end = 0;
  for (const payload::Entry& entry : built.entries()) {
    end += 13 + entry.name.size() + entry.data.size();
    ends.push_back(end);
  }
  for (std::size_t length = 0; length <= catalogue.size(); ++length) {
    SCOPED_TRACE(length);
    // An exactly sized copy, so that a read past the end would leave the block.
    const Bytes cut(catalogue.begin(), catalogue.begin() + static_cast<std::ptrdiff_t>(length));
    const auto size = static_cast<std::int32_t>(length);
    std::size_t complete = 0;
    while (complete < ends.size() && ends[complete] <= length)
      ++complete;
    if (length == 0 || (complete > 0 && ends[complete - 1] == length)) {
      EXPECT_EQ(ReadCatalogue(cut.data(), size).size(), complete);
    } else {
      EXPECT_THROW(ReadCatalogue(cut.data(), size), EPayloadError);
    }
  }
}

TEST(AttachFilesCatalogueTest, RefusesSizesThatLeaveTheData) {
  // 25 is one byte more than the data and the next entry together.
  for (const std::int32_t sizeField : {-1, INT32_MIN, 25, INT32_MAX}) {
    SCOPED_TRACE(sizeField);
    CatalogueBuilder built(CatalogueBuilder::Checks::kOff);
    built.Add(payload::Entry{"a", kLicenseStamp, Pattern(10, 9), sizeField});
    built.Add("b", kLicenseStamp, {});
    const Bytes catalogue = built.Catalogue();
    EXPECT_THROW(ReadCatalogue(catalogue.data(), static_cast<std::int32_t>(catalogue.size())),
                 EPayloadError);
  }
}

}  // namespace
