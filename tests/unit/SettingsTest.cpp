#include "Settings.h"

#include <gtest/gtest.h>

#include <string>

#include "os/Machine.h"
#include "os/sim/SimOs.h"

namespace {

const std::string kKey(kSettingsKeyPath);

class SettingsTest : public testing::Test {
 protected:
  os::SimOs sim;
  os::MachineScope scope{sim};
};

TEST_F(SettingsTest, OpeningCreatesTheKeyAndTheDestructorClosesIt) {
  ASSERT_FALSE(sim.KeyExists(kKey));
  {
    TSettingsKey key;
    EXPECT_TRUE(key.IsOpen());
    EXPECT_TRUE(sim.KeyExists(kKey));
    EXPECT_EQ(sim.OpenKeyCount(), 1u);
    EXPECT_FALSE(key.ValueExists(kMainDirValue));
    EXPECT_EQ(key.ReadText(kMainDirValue), "");
    EXPECT_FALSE(key.ReadFlag(kLaunchValue));
  }
  EXPECT_EQ(sim.OpenKeyCount(), 0u);
  EXPECT_TRUE(sim.RegistryWrites().empty());
}

TEST_F(SettingsTest, WritesStoreTextWithItsTerminatorAndFlagsAsFourBytes) {
  {
    TSettingsKey key;
    key.WriteText(kMainDirValue, "D:\\Apps\\Editor");
    key.WriteFlag(kLaunchValue, false);
    key.WriteFlag(kLaunchValue, true);
  }
  const auto& writes = sim.RegistryWrites();
  ASSERT_EQ(writes.size(), 3u);
  EXPECT_EQ(writes[0].key, kKey);
  EXPECT_EQ(writes[0].name, "MAINDIR");
  EXPECT_EQ(writes[0].type, os::kRegSz);
  const std::string text = "D:\\Apps\\Editor";
  os::Bytes expected(text.begin(), text.end());
  expected.push_back(0);
  EXPECT_EQ(writes[0].data, expected);
  EXPECT_EQ(writes[1].name, "LAUNCH");
  EXPECT_EQ(writes[1].type, os::kRegDword);
  EXPECT_EQ(writes[1].data, (os::Bytes{0, 0, 0, 0}));
  EXPECT_EQ(writes[2].data, (os::Bytes{1, 0, 0, 0}));

  // A later opening reads back what was written.
  TSettingsKey again;
  EXPECT_TRUE(again.ValueExists(kMainDirValue));
  EXPECT_EQ(again.ReadText(kMainDirValue), text);
  EXPECT_TRUE(again.ReadFlag(kLaunchValue));
}

TEST_F(SettingsTest, ReadTextTakesTheBytesOfAnyTypeUpToTheFirstZero) {
  struct Case {
    const char* name;
    std::uint32_t type;
    os::Bytes data;
    std::string text;
  };
  const Case cases[] = {
      {"empty string", os::kRegSz, {}, ""},
      {"only a zero", os::kRegSz, {0}, ""},
      {"embedded zero", os::kRegSz, {'C', ':', 0, 'x', 0}, "C:"},
      {"no terminator", os::kRegBinary, {'a', 'b', 'c'}, "abc"},
      {"empty binary", os::kRegBinary, {}, ""},
      {"dword", os::kRegDword, {'A', 0, 0, 0}, "A"},
  };
  for (const Case& c : cases) {
    sim.SetRegistryValue(kKey, c.name, c.type, c.data);
    TSettingsKey key;
    EXPECT_TRUE(key.ValueExists(c.name)) << c.name;
    EXPECT_EQ(key.ReadText(c.name), c.text) << c.name;
  }
}

TEST_F(SettingsTest, ReadFlagReadsUpToFourLittleEndianBytesOfAnyValue) {
  struct Case {
    const char* name;
    std::uint32_t type;
    os::Bytes data;
    bool flag;
  };
  const Case cases[] = {
      {"zero", os::kRegDword, {0, 0, 0, 0}, false},
      {"one", os::kRegDword, {1, 0, 0, 0}, true},
      {"high byte only", os::kRegDword, {0, 0, 0, 0x80}, true},
      {"second byte only", os::kRegDword, {0, 1, 0, 0}, true},
      {"empty", os::kRegBinary, {}, false},
      {"one byte set", os::kRegBinary, {1}, true},
      {"one byte clear", os::kRegBinary, {0}, false},
      {"beyond four bytes", os::kRegBinary, {0, 0, 0, 0, 1, 1, 1, 1}, false},
      // Text is read as bytes: "0" is the byte 0x30, not zero.
      {"text zero", os::kRegSz, {'0', 0}, true},
      {"empty text", os::kRegSz, {0}, false},
  };
  for (const Case& c : cases) {
    sim.SetRegistryValue(kKey, c.name, c.type, c.data);
    TSettingsKey key;
    EXPECT_EQ(key.ReadFlag(c.name), c.flag) << c.name;
  }
}

TEST_F(SettingsTest, AKeyThatCannotBeOpenedReadsNothingAndWritesNothing) {
  sim.SetRegistryString(kKey, "MAINDIR", "C:\\Old");
  sim.SetRegistryDword(kKey, "LAUNCH", 1);
  sim.FailKeyOpening(kKey);
  {
    TSettingsKey key;
    EXPECT_FALSE(key.IsOpen());
    EXPECT_FALSE(key.ValueExists(kMainDirValue));
    EXPECT_EQ(key.ReadText(kMainDirValue), "");
    EXPECT_FALSE(key.ReadFlag(kLaunchValue));
    key.WriteText(kMainDirValue, "C:\\New");
    key.WriteFlag(kLaunchValue, false);
  }
  EXPECT_TRUE(sim.RegistryWrites().empty());
  EXPECT_EQ(sim.GetRegistryString(kKey, "MAINDIR"), "C:\\Old");
  EXPECT_EQ(sim.OpenKeyCount(), 0u);
}

TEST_F(SettingsTest, TextIsTheAnsiBytesOfTheCodePage) {
  sim.SetCodePage(1251);
  sim.SetRegistryString(kKey, "MAINDIR", "C:\\Програми");
  TSettingsKey key;
  EXPECT_EQ(key.ReadText(kMainDirValue), "C:\\\xcf\xf0\xee\xe3\xf0\xe0\xec\xe8");
}

}  // namespace
