// 8-bit text and the ANSI code page: widening, narrowing, case mapping and comparison, and
// file names that the wide calls make and the 8-bit calls find.
#include <cstdlib>
#include <string>

#include "contract/ContractEnv.h"

namespace contract {
namespace {

// What the ANSI code pages the setup meets make of the same bytes.
struct CodePageCase {
  std::uint32_t codePage;
  std::u16string widened;  // of "\xC0\xE0\xFF"
  std::string upper;       // of "\xE0\xFF"
};

const CodePageCase kCodePages[] = {
    {1252, u"\u00C0\u00E0\u00FF", "\xC0\x9F"},  // À à ÿ; ÿ goes up to Ÿ at 0x9F
    {1251, u"\u0410\u0430\u044F", "\xC0\xDF"},  // А а я
};

class CodePageContract : public ContractTest {
 protected:
  void SetUp() override {
    ContractTest::SetUp();
    for (const CodePageCase& c : kCodePages) {
      if (c.codePage == os().AnsiCodePage()) current_ = &c;
    }
  }

  const CodePageCase* current_ = nullptr;
};

// A run that means to test a code page says so, so that a locale that did not take effect
// (Wine falls back to 1252) fails instead of skipping the code page's cases.
TEST_F(CodePageContract, RunHasTheCodePageItAskedFor) {
  const char* expected = std::getenv("CONTRACT_EXPECT_CODE_PAGE");
  if (expected == nullptr) GTEST_SKIP() << "no code page asked for";
  EXPECT_EQ(os().AnsiCodePage(), std::strtoul(expected, nullptr, 10));
  EXPECT_NE(current_, nullptr);
}

TEST_F(CodePageContract, AnsiCodePageWidensAndNarrows) {
  if (current_ == nullptr) GTEST_SKIP() << "code page " << os().AnsiCodePage();
  EXPECT_EQ(os().MultiByteToWide(0, "\xC0\xE0\xFF"), current_->widened);
  EXPECT_EQ(os().MultiByteToWide(os().AnsiCodePage(), "\xC0\xE0\xFF"), current_->widened);
  EXPECT_EQ(os().WideToAnsi(current_->widened), "\xC0\xE0\xFF");
  EXPECT_EQ(os().MultiByteToWide(0, "plain ASCII\\"), u"plain ASCII\\");
  EXPECT_EQ(os().MultiByteToWide(0, ""), u"");
  // A character the code page lacks becomes a question mark.
  EXPECT_EQ(os().WideToAnsi(u"a\u4E2Db"), "a?b");
  EXPECT_FALSE(os().IsDbcsCodePage());
}

TEST_F(CodePageContract, CodePage1252IsTheSameEverywhere) {
  EXPECT_EQ(os().MultiByteToWide(1252, "\xC0\xE0\xFF\x80"), u"\u00C0\u00E0\u00FF\u20AC");
}

TEST_F(CodePageContract, CaseMappingFollowsTheCodePage) {
  if (current_ == nullptr) GTEST_SKIP() << "code page " << os().AnsiCodePage();
  std::string text = "\xE0\xFF";
  os().CharUpperBuffA(text);
  EXPECT_EQ(text, current_->upper);
  os().CharLowerBuffA(text);
  EXPECT_EQ(text, "\xE0\xFF");

  std::string ascii = "c:\\Program Files-1";
  os().CharUpperBuffA(ascii);
  EXPECT_EQ(ascii, "C:\\PROGRAM FILES-1");
  os().CharLowerBuffA(ascii);
  EXPECT_EQ(ascii, "c:\\program files-1");
}

TEST_F(CodePageContract, ComparisonIgnoresCaseWhenAsked) {
  struct Case {
    std::uint32_t flags;
    std::string a, b;
    int result;
  };
  const std::uint32_t kFolderOrder = os::kNormIgnoreCase | os::kSortStringSort;
  const Case cases[] = {
      {os::kNormIgnoreCase, "\xE0", "\xC0", os::kCstrEqual},
      {kFolderOrder, "Program Files", "PROGRAM FILES", os::kCstrEqual},
      {kFolderOrder, "alpha", "Beta", os::kCstrLessThan},
      {kFolderOrder, "b", "A", os::kCstrGreaterThan},
      {kFolderOrder, "a", "ab", os::kCstrLessThan},
      {kFolderOrder, "", "a", os::kCstrLessThan},
      {kFolderOrder, "a-b", "ab", os::kCstrLessThan},  // a hyphen is an ordinary sign
      {0, "abc", "abc", os::kCstrEqual},
      {0, "abc", "ABC", os::kCstrLessThan},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.a + " / " + c.b);
    EXPECT_EQ(os().CompareStringA(c.flags, c.a, c.b), c.result);
  }
}

TEST_F(CodePageContract, WideNamedFolderIsFoundByItsAnsiName) {
  const std::u16string name = u"\u041F\u0430\u043F\u043A\u0430";  // Папка
  ASSERT_TRUE(os().CreateDirectoryW(Wide(scratch()) + name));
  const std::string ansi = os().WideToAnsi(name);

  std::vector<std::string> names = FindNames(At("*"));
  EXPECT_EQ(names, (std::vector<std::string>{".", "..", ansi}));

  if (os().AnsiCodePage() == 1251) {
    const std::string cp1251 = "\xCF\xE0\xEF\xEA\xE0";
    EXPECT_EQ(ansi, cp1251);
    std::optional<os::FindData> entry = FindOne(At(cp1251));
    ASSERT_TRUE(entry.has_value());
    EXPECT_NE(entry->attributes & os::kFileAttributeDirectory, 0u);
    EXPECT_TRUE(os().SetCurrentDirectoryA(At(cp1251)));
    EXPECT_EQ(CurrentDirectory(), At(cp1251));
    // The 8-bit name widened with the ANSI code page names the same folder again.
    EXPECT_TRUE(MakeFile(At(cp1251 + "\\inside.txt"), "in"));
    EXPECT_EQ(FindNames(At(cp1251 + "\\*.txt")), (std::vector<std::string>{"inside.txt"}));
  }
}

}  // namespace
}  // namespace contract
