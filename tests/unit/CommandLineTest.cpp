#include "CommandLine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "os/Machine.h"
#include "os/sim/SimOs.h"

namespace {

using testing::ElementsAre;
using testing::IsEmpty;
using Args = std::vector<std::string>;

TEST(CommandLineTest, SplitsAtBlanksAndDropsEveryQuote) {
  struct Case {
    std::string line;
    Args args;
  };
  const Case cases[] = {
      {"", {}},
      {" \t ", {}},
      {"setup.exe", {"setup.exe"}},
      {"\"C:\\Users\\User\\Downloads\\setup.exe\"", {"C:\\Users\\User\\Downloads\\setup.exe"}},
      {"setup.exe -dC:\\Apps", {"setup.exe", "-dC:\\Apps"}},
      {"  setup.exe \t a\tb  ", {"setup.exe", "a", "b"}},
      // Quotes around the whole argument or only a part of it.
      {"setup.exe \"-dC:\\My Folder\"", {"setup.exe", "-dC:\\My Folder"}},
      {"setup.exe -d\"C:\\My Folder\"", {"setup.exe", "-dC:\\My Folder"}},
      {"setup.exe -d\"C:\\My\"\" Folder\"x", {"setup.exe", "-dC:\\My Folderx"}},
      {"setup.exe \"a\tb\" c", {"setup.exe", "a\tb", "c"}},
      // A backslash before a quote escapes nothing.
      {"setup.exe -d\"C:\\My Folder\\\" next", {"setup.exe", "-dC:\\My Folder\\", "next"}},
      {"setup.exe a\\\\\"b c\"", {"setup.exe", "a\\\\b c"}},
      // An empty quoted argument counts; an unclosed quote runs to the end.
      {"setup.exe \"\" -dC:\\", {"setup.exe", "", "-dC:\\"}},
      {"setup.exe \"-dC:\\a b", {"setup.exe", "-dC:\\a b"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SplitCommandLine(c.line), c.args) << c.line;
  }
}

TEST(CommandLineTest, ArgumentsComeFromTheMachineWithoutTheProgram) {
  os::SimOs sim;
  os::MachineScope scope(sim);
  EXPECT_THAT(CommandLineArguments(), IsEmpty());  // the default: the quoted program alone

  sim.SetCommandLine("\"C:\\Users\\User\\Down loads\\setup.exe\" -d\"D:\\My Apps\" -x");
  EXPECT_THAT(CommandLineArguments(), ElementsAre("-dD:\\My Apps", "-x"));

  sim.SetCommandLine("");
  EXPECT_THAT(CommandLineArguments(), IsEmpty());
}

TEST(CommandLineTest, HomeFolderSwitchLooksOnlyAtTheFirstArgument) {
  struct Case {
    Args args;
    std::optional<std::string> folder;
  };
  const Case cases[] = {
      {{}, std::nullopt},
      {{"-dD:\\Apps\\Editor"}, "D:\\Apps\\Editor"},
      {{"-dD:\\My Folder\\", "-dE:\\"}, "D:\\My Folder\\"},
      {{"-d"}, ""},
      {{"-d", "D:\\Apps"}, ""},
      {{"-DD:\\Apps"}, std::nullopt},
      {{"/dD:\\Apps"}, std::nullopt},
      {{"-"}, std::nullopt},
      {{""}, std::nullopt},
      {{"D:\\Apps"}, std::nullopt},
      {{"x", "-dD:\\Apps"}, std::nullopt},
      {{"--dD:\\Apps"}, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HomeFolderSwitch(c.args), c.folder) << testing::PrintToString(c.args);
  }
}

}  // namespace
