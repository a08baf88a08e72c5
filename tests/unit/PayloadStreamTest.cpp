#include "payload/PayloadStream.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "DayCount.h"
#include "payload/Catalogue.h"
#include "payload/Sha256.h"

namespace {

namespace fs = std::filesystem;
using payload::Bytes;
using payload::Method;
using payload::StreamCache;

// Text-like bytes: words from a small vocabulary with a drifting choice, so that zopfli has
// matches to find and the parts differ from each other.
Bytes Words(std::size_t size, unsigned seed) {
  static const char* const kWords[] = {"правопис ",  "речник ", "speller ", "hyphen ",
                                       "thesaurus ", "affix ",  "\r\n",     "0x7F "};
  Bytes bytes;
  std::uint32_t state = seed;
  while (bytes.size() < size) {
    state = state * 1103515245u + 12345u;
    const std::string_view word = kWords[(state >> 16) % 8];
    bytes.insert(bytes.end(), word.begin(), word.end());
    if ((state >> 8) % 5 == 0) bytes.push_back(static_cast<std::uint8_t>(state >> 24));
  }
  bytes.resize(size);
  return bytes;
}

Bytes Inflate(const Bytes& stream, std::size_t size) {
  Bytes out(size + 1);
  uLongf outSize = static_cast<uLongf>(out.size());
  EXPECT_EQ(uncompress(out.data(), &outSize, stream.data(), static_cast<uLong>(stream.size())),
            Z_OK);
  out.resize(outSize);
  return out;
}

TEST(PayloadStreamTest, Sha256DigestsMatchTheStandardVectors) {
  struct Case {
    std::string message;
    const char* digest;
  };
  const Case cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message.substr(0, 20));
    EXPECT_EQ(payload::Sha256().Update(c.message).FinishHex(), c.digest);
  }
}

// Lengths around the 56 bytes where the length no longer fits the last block, and around
// whole blocks, fed in pieces of every size from 1 to 70 bytes.
TEST(PayloadStreamTest, Sha256PaddingAndPiecesAtBlockEdges) {
  const std::pair<std::size_t, const char*> cases[] = {
      {55, "8af594de0e003fdee5c8bb088216c824349b4137070f559574f4a4bddd27b714"},
      {56, "db81bc2bfd43620591df192139062da77d4c376f1888ea3d2190bd07c8d901f9"},
      {63, "bd535b38bf0d0d1a09d370b7e34b2696cea3767801a45d5611a4aaa6954e8527"},
      {64, "292be91abe8c0909fe3d26575af5755eee74d23816dc68c3ba41765136967654"},
      {65, "ba65aedf7884642499a59ae124894611d986cf429e69f569488048af3a99e25a"},
      {119, "d367ab298e74477421127b0b448667c37c006c636f5738f081c39388756e5fad"},
      {120, "be7beb9c82089eb08da8fe6eb30c13b9d56869014e228a8c3eb0fdfe832efab2"},
      {200, "fcfa8eb2ae47de09df3e42e48371d9ea7446fb378097f8ef9bf743d9856f50b6"},
  };
  for (const auto& [size, digest] : cases) {
    Bytes message(size);
    for (std::size_t i = 0; i < size; ++i)
      message[i] = static_cast<std::uint8_t>(i * 7 % 251);
    for (std::size_t piece = 1; piece <= 70; ++piece) {
      SCOPED_TRACE(testing::Message() << size << " bytes in pieces of " << piece);
      payload::Sha256 hash;
      for (std::size_t at = 0; at < size; at += piece)
        hash.Update(std::span(message).subspan(at, std::min(piece, size - at)));
      ASSERT_EQ(hash.FinishHex(), digest);
    }
  }
}

TEST(PayloadStreamTest, EntryBoundariesFollowTheCatalogue) {
  payload::CatalogueBuilder builder;
  builder.Add("a.txt", EncodeDayCount(2021, 2, 10, 11, 58, 46), Words(100, 1));
  builder.Add("empty", EncodeDayCount(2021, 2, 10, 11, 58, 46), {});
  builder.Add(std::string(255, 'n'), EncodeDayCount(2021, 2, 10, 11, 58, 46), Words(7, 2));
  const Bytes catalogue = builder.Catalogue();
  const std::size_t first = 13 + 5 + 100;
  const std::size_t second = first + 13 + 5;
  EXPECT_THAT(payload::EntryBoundaries(catalogue), testing::ElementsAre(first, second));

  // A size that runs past the end stops the walk; the boundaries before it stay.
  Bytes damaged = catalogue;
  damaged[second + 1 + 255 + 8 + 3] = 0x7F;
  EXPECT_THAT(payload::EntryBoundaries(damaged), testing::ElementsAre(first, second));
  EXPECT_THAT(payload::EntryBoundaries({}), testing::IsEmpty());
}

// The stream is one zlib stream with the header 78 DA that inflates to the bytes, for inputs
// that give one part, several parts cut at entry boundaries (with a piece too small for a
// part of its own), and none at all.
TEST(PayloadStreamTest, ZopfliStreamInflatesToTheBytes) {
  const Bytes text = Words(150000, 3);
  struct Case {
    const char* what;
    Bytes bytes;
    std::vector<std::size_t> cuts;
  };
  const Case cases[] = {
      {"empty", {}, {}},
      {"one byte", {0x42}, {}},
      {"one part", Words(5000, 4), {}},
      {"parts at entry boundaries", text, {66001, 66002, 133000, 140000, 149999}},
      {"cuts out of range and unordered", Words(90000, 5), {0, 80000, 70000, 90000, 1u << 30}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Bytes stream = payload::CompressZopfli(c.bytes, c.cuts, 2);
    ASSERT_GE(stream.size(), 6u);
    EXPECT_EQ(stream[0], 0x78);
    EXPECT_EQ(stream[1], 0xDA);
    EXPECT_EQ(Inflate(stream, c.bytes.size()), c.bytes);
    EXPECT_TRUE(payload::StreamHolds(stream, c.bytes));
  }
}

TEST(PayloadStreamTest, ZopfliStreamIsTheSameOnAnyNumberOfThreadsAndSmallerThanZlib) {
  const Bytes text = Words(140000, 6);
  const std::vector<std::size_t> cuts = {66000};
  const Bytes one = payload::CompressZopfli(text, cuts, 1);
  EXPECT_EQ(payload::CompressZopfli(text, cuts, 64), one);
  EXPECT_LT(one.size(), payload::Compress(text).size());
}

TEST(PayloadStreamTest, StreamHoldsOnlyTheWholeCatalogue) {
  const Bytes catalogue = Words(4000, 7);
  const Bytes good = payload::Compress(catalogue);
  ASSERT_TRUE(payload::StreamHolds(good, catalogue));

  Bytes trailing = good;
  trailing.push_back(0);
  Bytes cut(good.begin(), good.end() - 1);
  Bytes otherHeader(compressBound(catalogue.size()));
  uLongf otherSize = static_cast<uLongf>(otherHeader.size());
  ASSERT_EQ(compress2(otherHeader.data(), &otherSize, catalogue.data(), catalogue.size(), 6), Z_OK);
  otherHeader.resize(otherSize);  // 78 9C
  Bytes longer = catalogue;
  longer.push_back('x');

  EXPECT_FALSE(payload::StreamHolds(trailing, catalogue));
  EXPECT_FALSE(payload::StreamHolds(cut, catalogue));
  EXPECT_FALSE(payload::StreamHolds(otherHeader, catalogue));
  EXPECT_FALSE(payload::StreamHolds(payload::Compress(longer), catalogue));
  EXPECT_FALSE(payload::StreamHolds(good, longer));
  EXPECT_FALSE(payload::StreamHolds({}, catalogue));
}

class PayloadStreamCacheTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("payload-cache-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  static void Overwrite(const fs::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }

  fs::path dir_;
};

TEST_F(PayloadStreamCacheTest, StoresOnceAndThenReusesTheStream) {
  const Bytes catalogue = Words(20000, 8);
  const StreamCache cache(dir_ / "streams");
  StreamCache::Outcome outcome{};
  const Bytes made = cache.Get(catalogue, Method::kZopfli, 1, &outcome);
  EXPECT_EQ(outcome, StreamCache::Outcome::kMiss);
  EXPECT_EQ(made, payload::CompressPayload(catalogue, Method::kZopfli));

  const fs::path stored = cache.PathFor(catalogue, Method::kZopfli);
  EXPECT_EQ(stored.parent_path(), dir_ / "streams");
  EXPECT_EQ(fs::file_size(stored), made.size());
  EXPECT_EQ(cache.Get(catalogue, Method::kZopfli, 1, &outcome), made);
  EXPECT_EQ(outcome, StreamCache::Outcome::kHit);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "streams"), fs::directory_iterator()), 1);

  // Another catalogue or another method has a stream of its own.
  Bytes changed = catalogue;
  changed[10000] ^= 1;
  EXPECT_NE(cache.PathFor(changed, Method::kZopfli), stored);
  EXPECT_NE(cache.PathFor(catalogue, Method::kZlib), stored);
  EXPECT_EQ(cache.Get(catalogue, Method::kZlib, 1, &outcome), payload::Compress(catalogue));
  EXPECT_EQ(outcome, StreamCache::Outcome::kMiss);
}

// A stored stream that does not give back the catalogue (cut short, another catalogue's, a
// file that is no stream) is never used: the stream is made again and replaces it.
TEST_F(PayloadStreamCacheTest, ReplacesAStoredStreamThatDoesNotHoldTheCatalogue) {
  const Bytes catalogue = Words(20000, 9);
  const StreamCache cache(dir_);
  const Bytes good = cache.Get(catalogue, Method::kZopfli);
  const fs::path stored = cache.PathFor(catalogue, Method::kZopfli);
  const Bytes bad[] = {Bytes(good.begin(), good.end() - 4), payload::Compress(Words(20000, 10)),
                       Bytes{'n', 'o', 'p', 'e'}, Bytes{}};
  for (const Bytes& wrong : bad) {
    Overwrite(stored, wrong);
    StreamCache::Outcome outcome{};
    EXPECT_EQ(cache.Get(catalogue, Method::kZopfli, 1, &outcome), good);
    EXPECT_EQ(outcome, StreamCache::Outcome::kMiss);
    EXPECT_EQ(fs::file_size(stored), good.size());
  }
}

TEST_F(PayloadStreamCacheTest, AFolderThatCannotBeWrittenOnlyCostsTime) {
  fs::create_directories(dir_);
  Overwrite(dir_ / "file", {'x'});
  const Bytes catalogue = Words(3000, 11);
  StreamCache::Outcome outcome{};
  EXPECT_EQ(StreamCache(dir_ / "file" / "streams").Get(catalogue, Method::kZlib, 1, &outcome),
            payload::Compress(catalogue));
  EXPECT_EQ(outcome, StreamCache::Outcome::kMiss);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

}  // namespace
