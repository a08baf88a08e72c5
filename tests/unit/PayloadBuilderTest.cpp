#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <bit>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>

#include "AttachFiles.h"
#include "DayCount.h"
#include "payload/Catalogue.h"
#include "payload/Listing.h"

namespace {

namespace fs = std::filesystem;
using payload::BuildError;
using payload::Bytes;
using payload::CatalogueBuilder;
using testing::HasSubstr;
using namespace std::string_literals;

const double kLicenseStamp = EncodeDayCount(2021, 2, 10, 11, 58, 46);

Bytes Text(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

Bytes Inflate(const Bytes& stream, std::size_t size) {
  Bytes out(size);
  uLongf outSize = static_cast<uLongf>(size);
  EXPECT_EQ(uncompress(out.data(), &outSize, stream.data(), static_cast<uLong>(stream.size())),
            Z_OK);
  out.resize(outSize);
  return out;
}

// The message of the BuildError that `build` raises; fails the test when none is raised.
template <typename F>
std::string Refusal(F&& build) {
  try {
    build();
  } catch (const BuildError& error) {
    return error.what();
  }
  ADD_FAILURE() << "nothing was refused";
  return {};
}

TEST(PayloadCatalogueTest, EntriesAreLaidOutByteForByte) {
  const payload::Entry entries[] = {
      {"License.txt", kLicenseStamp, Text("abc"), std::nullopt},
      {"userdicbg.tlx", 45000.5, {}, std::nullopt},
  };
  const Bytes expected = {
      0x0B, 'L',  'i',  'c',  'e',  'n',  's',  'e',  '.',  't',  'x', 't',  // name
      0x02, 0xD4, 0xFB, 0xF8, 0xAF, 0x99, 0xE5, 0x40,                        // stamp
      0x03, 0x00, 0x00, 0x00,                                                // size
      'a',  'b',  'c',                                                       // data
      0x0D, 'u',  's',  'e',  'r',  'd',  'i',  'c',  'b',  'g',  '.', 't',
      'l',  'x',  0x00, 0x00, 0x00, 0x00, 0x10, 0xF9, 0xE5, 0x40,  // 45000.5
      0x00, 0x00, 0x00, 0x00,  // size 0, no data, nothing after it
  };
  EXPECT_EQ(payload::WriteCatalogue(entries), expected);
  EXPECT_TRUE(payload::WriteCatalogue({}).empty());

  // A size field of one's own goes in as given, high bit and all.
  const payload::Entry negative[] = {{"x", 0.0, Text("abcd"), -2}};
  const Bytes written = payload::WriteCatalogue(negative);
  EXPECT_EQ(Bytes(written.begin() + 10, written.begin() + 14), (Bytes{0xFE, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(written.size(), 18u);
}

TEST(PayloadCatalogueTest, CompressesAsOneMaximumZlibStream) {
  Bytes catalogue;
  // Unsigned, so that the square wraps instead of overflowing.
  for (std::uint32_t i = 0; i < 100'000; ++i)
    catalogue.push_back(static_cast<std::uint8_t>(i * i >> 3));
  const Bytes stream = payload::Compress(catalogue);
  ASSERT_GE(stream.size(), 2u);
  EXPECT_EQ(stream[0], 0x78);
  EXPECT_EQ(stream[1], 0xDA);
  EXPECT_EQ(Inflate(stream, catalogue.size()), catalogue);
  EXPECT_EQ(payload::Compress(catalogue), stream);
  EXPECT_EQ(Inflate(payload::Compress({}), 16), Bytes{});
}

TEST(PayloadCatalogueTest, CheckedBuilderRefusesWhatTheSetupCannotUse) {
  struct Case {
    const char* what;
    payload::Entry entry;
    const char* reason;
  };
  const Case cases[] = {
      {"odd second", {"a", EncodeDayCount(2021, 2, 10, 11, 58, 47), {}, {}}, "even second"},
      {"milliseconds", {"a", EncodeDayCount(2021, 2, 10, 11, 58, 46, 1), {}, {}}, "even second"},
      {"a hair off", {"a", std::nextafter(kLicenseStamp, 0.0), {}, {}}, "even second"},
      {"1979", {"a", EncodeDayCount(1979, 12, 31, 23, 59, 58), {}, {}}, "1980 to 2099"},
      {"2100", {"a", EncodeDayCount(2100, 1, 1, 0, 0, 0), {}, {}}, "1980 to 2099"},
      {"NaN", {"a", std::numeric_limits<double>::quiet_NaN(), {}, {}}, "no date"},
      {"empty name", {"", kLicenseStamp, {}, {}}, "empty"},
      {"long name", {std::string(256, 'n'), kLicenseStamp, {}, {}}, "more than 255"},
      {"own size", {"a", kLicenseStamp, Text("ab"), 2}, "checks off"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_THAT(Refusal([&] { CatalogueBuilder().Add(c.entry); }), HasSubstr(c.reason));
    // Without the checks the same entry goes in (tests build odd catalogues this way), as
    // long as the layout can hold it.
    if (c.entry.name.size() <= 255) {
      CatalogueBuilder unchecked(CatalogueBuilder::Checks::kOff);
      EXPECT_NO_THROW(unchecked.Add(c.entry));
      EXPECT_EQ(unchecked.Catalogue().size(), 13 + c.entry.name.size() + c.entry.data.size());
    }
  }

  CatalogueBuilder builder;
  builder.Add("License.txt", kLicenseStamp, Text("a"));
  EXPECT_THAT(Refusal([&] { builder.Add("LICENSE.TXT", kLicenseStamp, {}); }),
              HasSubstr("already that of entry \"License.txt\""));
  // A name of 255 bytes is the longest, and the layout refuses longer ones even unchecked.
  EXPECT_NO_THROW(builder.Add(std::string(255, 'n'), kLicenseStamp, {}));
  CatalogueBuilder unchecked(CatalogueBuilder::Checks::kOff);
  unchecked.Add(std::string(256, 'n'), kLicenseStamp, {});
  EXPECT_THROW(unchecked.Catalogue(), BuildError);
}

// A folder of its own for each test, removed afterwards.
class PayloadListingTest : public testing::Test {
 protected:
  void SetUp() override {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::path(testing::TempDir()) / (std::string("payload_") + info->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path Write(const std::string& name, std::string_view content) {
    const fs::path path = dir_ / name;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }

  // A file of `size` bytes that takes no room on disk.
  fs::path Sparse(const std::string& name, std::uintmax_t size) {
    const fs::path path = Write(name, "");
    fs::resize_file(path, size);
    return path;
  }

  fs::path Listing(std::string_view text) { return Write("files.list", text); }

  fs::path dir_;
};

TEST_F(PayloadListingTest, ParsesEntriesInOrder) {
  const std::string text =
      "# comment\n"
      "\n"
      "   # indented comment\n"
      "License.txt\t2021-02-10 11:58:46\tLicense.txt\n"
      "hunspell.dll\t\t2013-04-06 21:31:14\t\t${DLL}\r\n"
      "Sub\\bg_BG.aff\t2013-04-06 20:53:42\tdict/${LANG}.aff \t\n"
      "userdicbg.tlx\t2003-08-10 12:10:04\t/abs/userdicbg.tlx";
  const fs::path listing = dir_ / "files.list";
  const auto entries =
      payload::ParseListing(text, listing, {{"DLL", "/build/hunspell.dll"}, {"LANG", "bg_BG"}});
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].name, "License.txt");
  EXPECT_EQ(std::bit_cast<std::uint64_t>(entries[0].stamp), 0x40E599AFF8FBD402u);
  EXPECT_EQ(entries[0].source, dir_ / "License.txt");
  EXPECT_EQ(entries[0].line, 4);
  EXPECT_EQ(entries[1].name, "hunspell.dll");
  EXPECT_EQ(entries[1].stamp, EncodeDayCount(2013, 4, 6, 21, 31, 14));
  EXPECT_EQ(entries[1].source, fs::path("/build/hunspell.dll"));
  EXPECT_EQ(entries[2].name, "Sub\\bg_BG.aff");
  EXPECT_EQ(entries[2].source, dir_ / "dict/bg_BG.aff");
  EXPECT_EQ(entries[3].source, fs::path("/abs/userdicbg.tlx"));
  EXPECT_EQ(entries[3].stamp, EncodeDayCount(2003, 8, 10, 12, 10, 4));
  EXPECT_TRUE(payload::ParseListing("# nothing\n\n", listing, {}).empty());
}

TEST_F(PayloadListingTest, RefusesBadLinesNamingFileAndLine) {
  struct Case {
    std::string line;
    const char* reason;
  };
  const Case cases[] = {
      {"a.txt\t2021-02-10 11:58:46", "expected name, stamp and source"},
      {"a.txt 2021-02-10 11:58:46 a.txt", "expected name, stamp and source"},
      {"\t2021-02-10 11:58:46\ta.txt", "expected name, stamp and source"},
      {"a.txt\t2021-02-10 11:58:46\ta.txt\textra", "expected name, stamp and source"},
      {std::string(256, 'n') + "\t2021-02-10 11:58:46\ta.txt", "more than 255"},
      {"a.txt\t2021-2-10 11:58:46\ta.txt", "YYYY-MM-DD HH:MM:SS"},
      {"a.txt\t2021-02-10T11:58:46\ta.txt", "YYYY-MM-DD HH:MM:SS"},
      {"a.txt\t2021-02-10 11:58:4x\ta.txt", "YYYY-MM-DD HH:MM:SS"},
      {"a.txt\t2021-02-10 11:58:46.000\ta.txt", "YYYY-MM-DD HH:MM:SS"},
      {"a.txt\t2021-02-29 11:58:46\ta.txt", "no valid date"},
      {"a.txt\t2021-02-10 24:00:00\ta.txt", "no valid date"},
      {"a.txt\t2021-02-10 11:58:47\ta.txt", "even second"},
      {"a.txt\t1979-12-31 23:59:58\ta.txt", "1980 to 2099"},
      {"a.txt\t2100-01-01 00:00:00\ta.txt", "1980 to 2099"},
      {"a.txt\t2021-02-10 11:58:46\t${NOPE}/a.txt", "no -D NOPE=PATH"},
      {"a.txt\t2021-02-10 11:58:46\t${DLL", "without its }"},
      {"LICENSE.TXT\t2021-02-10 11:58:46\ta.txt", "repeats the name of line 2"},
  };
  const fs::path listing = dir_ / "files.list";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const std::string text = "# first\nLicense.txt\t2021-02-10 11:58:46\tLicense.txt\n" + c.line;
    const std::string message = Refusal([&] {
      payload::ParseListing(text, listing, {{"DLL", "x"}});
    });
    EXPECT_THAT(message, HasSubstr(listing.string() + ":3: "));
    EXPECT_THAT(message, HasSubstr(c.reason));
  }
}

TEST_F(PayloadListingTest, BuildsThePayloadOfTheListedFiles) {
  Write("License.txt", "Licence\r\ntext\r\n");
  Write("empty.tlx", "");
  const fs::path dll = Write("out/hunspell.dll", "MZ\x90\x00\x03"s);
  const fs::path listing = Listing(
      "License.txt\t2021-02-10 11:58:46\tLicense.txt\n"
      "userdicbg.tlx\t2003-08-10 12:10:04\tempty.tlx\n"
      "hunspell.dll\t2013-04-06 21:31:14\t${HUNSPELL_DLL}\n");

  const Bytes stream = payload::BuildPayload(listing, {{"HUNSPELL_DLL", dll.string()}});
  EXPECT_EQ(stream, payload::BuildPayload(listing, {{"HUNSPELL_DLL", dll.string()}}));

  CatalogueBuilder expected;
  expected.Add("License.txt", kLicenseStamp, Text("Licence\r\ntext\r\n"));
  expected.Add("userdicbg.tlx", EncodeDayCount(2003, 8, 10, 12, 10, 4), {});
  expected.Add("hunspell.dll", EncodeDayCount(2013, 4, 6, 21, 31, 14), Text("MZ\x90\x00\x03"s));
  const Bytes catalogue = expected.Catalogue();
  EXPECT_EQ(Inflate(stream, catalogue.size() + 1), catalogue);
  EXPECT_EQ(stream, expected.Payload());
}

TEST_F(PayloadListingTest, RefusesSourcesItCannotShip) {
  Write("ok.txt", "ok");
  fs::create_directories(dir_ / "folder");
  Sparse("huge.bin", std::uintmax_t{1} << 31);  // one byte more than a size field holds
  Sparse("big.bin", kMaxCatalogueSize);         // fits a size field, not the setup's bound
  struct Case {
    std::string source;
    const char* reason;
  };
  const Case cases[] = {
      {"missing.txt", "does not exist"},
      {"folder", "not a regular file"},
      {"huge.bin", "more than the 2 GiB"},
      {"big.bin", "larger than the 268435456 bytes"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    const fs::path listing = Listing(
        "ok.txt\t2021-02-10 11:58:46\tok.txt\n\nbig.txt\t2021-02-10 11:58:46\t" + c.source + "\n");
    const std::string message = Refusal([&] { payload::LoadListing(listing, {}); });
    EXPECT_THAT(message, HasSubstr(listing.string() + ":3: entry \"big.txt\""));
    EXPECT_THAT(message, HasSubstr(c.reason));
  }
  EXPECT_THAT(Refusal([&] { payload::LoadListing(dir_ / "none.list", {}); }),
              HasSubstr("none.list: cannot read the listing"));
}

}  // namespace
