// The program frame: start-up and shut-down order, the error box and the exit codes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "AttachFiles.h"
#include "DayCount.h"
#include "Setup.h"
#include "os/Machine.h"
#include "os/sim/SimOs.h"
#include "payload/Catalogue.h"
#include "ui/headless/HeadlessPlatform.h"

namespace {

using testing::ElementsAre;

std::ptrdiff_t Position(const std::vector<std::string>& journal, std::string_view line) {
  const auto it = std::find(journal.begin(), journal.end(), line);
  return it == journal.end() ? -1 : it - journal.begin();
}

class SetupFrameTest : public testing::Test {
 protected:
  os::SimOs sim;
  os::MachineScope scope{sim};
  ui::HeadlessPlatform platform;
};

TEST_F(SetupFrameTest, DamagedPayloadShowsTheErrorBoxAndEndsWithOne) {
  struct Case {
    const char* what;
    payload::Bytes resource;
  };
  payload::Bytes cut =
      payload::CatalogueBuilder()
          .Add("License.txt", EncodeDayCount(2021, 2, 10, 11, 58, 46), payload::Bytes(5000, 'x'))
          .Payload();
  cut.resize(cut.size() / 2);
  payload::Bytes flipped =
      payload::CatalogueBuilder()
          .Add("a.txt", EncodeDayCount(2021, 2, 10, 11, 58, 46), payload::Bytes(100, 'y'))
          .Payload();
  flipped[flipped.size() - 2] ^= 0x55;  // the Adler-32 check
  for (const Case& c : {Case{"empty", {}}, Case{"cut short", cut}, Case{"bad check", flipped}}) {
    SCOPED_TRACE(c.what);
    os::SimOs machine;
    os::MachineScope inner(machine);
    ui::HeadlessPlatform windows;
    machine.SetResource("FILES", "FILES", c.resource);
    machine.AnswerNextBox(os::kIdOk);
    EXPECT_EQ(RunSetup(windows), 1u);
    ASSERT_EQ(machine.MessageBoxes().size(), 1u);
    const os::MessageBoxCall& box = machine.MessageBoxes()[0];
    EXPECT_FALSE(box.wide);
    EXPECT_EQ(box.owner, 0u);
    EXPECT_EQ(box.caption, std::nullopt);
    EXPECT_EQ(box.utf8Text, "Exception EPayloadError");
    EXPECT_EQ(box.style, os::kMbTaskModal | os::kMbIconError | os::kMbOk);
    // The units were shut down all the same, OLE last.
    EXPECT_EQ(machine.OleUninitializeCount(), 1);
    EXPECT_EQ(machine.Journal().back(), "OleUninitialize");
  }
}

TEST_F(SetupFrameTest, MissingPayloadIsReportedToo) {
  sim.AnswerNextBox(os::kIdOk);
  EXPECT_EQ(RunSetup(platform), 1u);
  EXPECT_EQ(sim.MessageBoxes().at(0).utf8Text, "Exception EPayloadError");
}

TEST_F(SetupFrameTest, StartUpRestrictsLibrariesFirstAndSetsTitleAndIcon) {
  // A payload the frame can inflate, whatever the wizard then makes of it.
  sim.SetResource("FILES", "FILES", payload::CatalogueBuilder().Payload());
  sim.SetBoxResponder([](const os::MessageBoxCall&) { return os::kIdOk; });
  try {
    RunSetup(platform);
  } catch (...) {
    // The wizard may want a script; only the start-up order matters here.
  }
  const auto& journal = sim.Journal();
  ASSERT_FALSE(journal.empty());
  EXPECT_EQ(journal.front(), "RestrictDllSearch");
  EXPECT_LT(Position(journal, "RestrictDllSearch"), Position(journal, "OleInitialize"));
  EXPECT_LT(Position(journal, "OleInitialize"), Position(journal, "LoadSystemLibrary shell32.dll"));
  EXPECT_EQ(platform.commonControlsInitialised, 1);
  EXPECT_EQ(platform.applicationText, "Veloquin Bulgarian Spellchecker - Setup");
  EXPECT_EQ(platform.applicationBigIcon, 1);
  EXPECT_FALSE(platform.applicationWindowExists);
}

}  // namespace
