// Writing payload entries to files, and the install queue.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "AttachFiles.h"
#include "DayCount.h"
#include "Errors.h"
#include "InstUtils.h"
#include "MessageBoxes.h"
#include "os/Machine.h"
#include "os/sim/SimOs.h"
#include "payload/Catalogue.h"

namespace {

using payload::Bytes;
using payload::CatalogueBuilder;
using testing::ElementsAre;

const double kDicStamp = EncodeDayCount(2013, 4, 6, 20, 53, 40);
const double kUserStamp = EncodeDayCount(2003, 8, 10, 12, 10, 4);

Bytes Text(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

class StoreTest : public testing::Test {
 protected:
  StoreTest() { InstUtilsStartup(); }
  ~StoreTest() override {
    store.reset();
    TrackPublicFiles = false;
    InstUtilsShutdown();
  }

  void Load(const CatalogueBuilder& catalogue) {
    sim.SetResource("FILES", "FILES", catalogue.Payload());
    store = std::make_unique<TAttachedFiles>();
  }

  // The shape of the shipped catalogue, small: a licence, two dictionary files, an empty
  // user dictionary, and two entries of one name.
  void LoadSample() {
    CatalogueBuilder catalogue(CatalogueBuilder::Checks::kOff);
    catalogue.Add("License.txt", EncodeDayCount(2021, 2, 10, 11, 58, 46), Text("licence"));
    catalogue.Add("bg_BG.dic", kDicStamp, Text("dictionary"));
    catalogue.Add("userdicbg.tlx", kUserStamp, {});
    catalogue.Add("Twice.txt", kDicStamp, Text("first"));
    catalogue.Add("Twice.txt", kDicStamp, Text("second"));
    catalogue.Add("Old.txt", EncodeDayCount(1979, 12, 31, 23, 59, 58), Text("old"));
    catalogue.Add("Future.txt", EncodeDayCount(2100, 1, 1, 0, 0, 0), Text("future"));
    catalogue.Add("Odd.txt", EncodeDayCount(2020, 1, 1, 10, 0, 1, 500), Text("odd"));
    Load(catalogue);
  }

  const TAttachedFile& Entry(std::string_view name) const {
    for (const TAttachedFile& entry : store->Entries) {
      if (entry.Name == name) return entry;
    }
    throw std::logic_error("no entry");
  }

  os::FileTime Utc(int y, int mo, int d, int h, int mi, int s) const {
    os::FileTime local = os::SimOs::ToFileTime(y, mo, d, h, mi, s);
    return os::FileTime{local.ticks - static_cast<std::uint64_t>(sim.UtcOffset()) * 600000000ull};
  }

  std::vector<std::string> QueuedTargets() const {
    std::vector<std::string> targets;
    for (const TFileToInstall& item : store->Queues[0])
      targets.push_back(item.Target);
    return targets;
  }

  os::SimOs sim;
  os::MachineScope scope{sim};
  std::unique_ptr<TAttachedFiles> store;
};

// ---- ExtractFile ------------------------------------------------------------------------

TEST_F(StoreTest, ExtractsByNameInAnyLetterCaseWithTheStoredTime) {
  LoadSample();
  EXPECT_TRUE(store->ExtractFile(nullptr, "LICENSE.TXT", "C:\\Out\\Deep\\licence.txt"));
  EXPECT_EQ(sim.FileContents("C:\\Out\\Deep\\licence.txt"), "licence");
  EXPECT_EQ(sim.LastWriteTime("C:\\Out\\Deep\\licence.txt"), Utc(2021, 2, 10, 11, 58, 46));
  EXPECT_EQ(FileWriteStamp("C:\\Out\\Deep\\licence.txt"), Entry("License.txt").Stamp);
  EXPECT_EQ(sim.OpenHandleCount(), 0u);
}

TEST_F(StoreTest, ExtractFileTakesTheLaterOfTwoEntriesOfOneName) {
  LoadSample();
  EXPECT_TRUE(store->ExtractFile(nullptr, "twice.txt", "C:\\t.txt"));
  EXPECT_EQ(sim.FileContents("C:\\t.txt"), "second");
}

TEST_F(StoreTest, EmptyEntryGivesAnEmptyFileWithItsTime) {
  LoadSample();
  EXPECT_TRUE(store->ExtractFile(&Entry("userdicbg.tlx"), "", "C:\\u.tlx"));
  EXPECT_EQ(sim.FileContents("C:\\u.tlx"), "");
  EXPECT_EQ(FileWriteStamp("C:\\u.tlx"), kUserStamp);
}

TEST_F(StoreTest, StampsTheDosDateCannotHoldLeaveTheTimeOfWriting) {
  LoadSample();
  for (const char* name : {"Old.txt", "Future.txt"}) {
    const std::string target = std::string("C:\\") + name;
    EXPECT_TRUE(store->ExtractFile(nullptr, name, target));
    EXPECT_TRUE(sim.IsFile(target));
    EXPECT_EQ(sim.LastWriteTime(target), sim.Now()) << name;
  }
  // A stamp between two even seconds is written as the even second below it, never later.
  EXPECT_TRUE(store->ExtractFile(nullptr, "Odd.txt", "C:\\odd.txt"));
  EXPECT_EQ(sim.LastWriteTime("C:\\odd.txt"), Utc(2020, 1, 1, 10, 0, 0));
}

TEST_F(StoreTest, UnknownNameIsAnError) {
  LoadSample();
  EXPECT_THROW(store->ExtractFile(nullptr, "Missing.bin", "C:\\m.bin"), EEntryNotFound);
  EXPECT_FALSE(sim.Exists("C:\\m.bin"));
}

TEST_F(StoreTest, FailedCreationAsksAbortRetryIgnore) {
  LoadSample();
  sim.AddFile("C:\\Locked\\bg_BG.dic", "held by another program");
  struct Case {
    int answer;
    bool result;
  };
  for (const Case& c : std::initializer_list<Case>{{os::kIdAbort, false}, {os::kIdIgnore, true}}) {
    os::SimOs::FileLock lock = sim.LockFile("C:\\Locked\\bg_BG.dic");
    sim.AnswerNextBox(c.answer);
    EXPECT_EQ(store->ExtractFile(nullptr, "bg_BG.dic", "C:\\Locked\\bg_BG.dic"), c.result);
    EXPECT_EQ(sim.FileContents("C:\\Locked\\bg_BG.dic"), "held by another program");
  }
  ASSERT_EQ(sim.MessageBoxes().size(), 2u);
  const os::MessageBoxCall& box = sim.MessageBoxes()[0];
  EXPECT_EQ(box.utf8Text,
            "Cannot create file \"C:\\Locked\\bg_BG.dic\".\rAnother application might already be "
            "using this file.\r\rPlease make sure that the setup of Veloquin Word Processor is "
            "not blocked by your security software (firewall/antivirus) in any way.\rYou might "
            "want to temporarily disable your security software and try again.");
  EXPECT_EQ(box.style, MessageBoxStyle(mtError, mbAbort | mbRetry | mbIgnore));
}

TEST_F(StoreTest, RetrySucceedsOnceTheLockIsGone) {
  LoadSample();
  sim.AddFile("C:\\Locked\\bg_BG.dic", "held");
  os::SimOs::FileLock lock = sim.LockFile("C:\\Locked\\bg_BG.dic");
  sim.AnswerNextBox(os::kIdRetry);
  sim.AnswerNextBox([&](const os::MessageBoxCall&) {
    lock.Unlock();
    return os::kIdRetry;
  });
  EXPECT_TRUE(store->ExtractFile(nullptr, "bg_BG.dic", "C:\\Locked\\bg_BG.dic"));
  EXPECT_EQ(sim.MessageBoxes().size(), 2u);
  EXPECT_EQ(sim.FileContents("C:\\Locked\\bg_BG.dic"), "dictionary");
}

TEST_F(StoreTest, ReadOnlyFilesAndUncreatableFoldersFailTheSameWay) {
  LoadSample();
  sim.AddFile("C:\\RO\\bg_BG.dic", "kept");
  sim.SetAttributes("C:\\RO\\bg_BG.dic", os::kFileAttributeReadOnly);
  sim.FailFolderCreation("C:\\NoWay");
  sim.AnswerNextBox(os::kIdIgnore);
  sim.AnswerNextBox(os::kIdAbort);
  EXPECT_TRUE(store->ExtractFile(nullptr, "bg_BG.dic", "C:\\RO\\bg_BG.dic"));
  EXPECT_FALSE(store->ExtractFile(nullptr, "bg_BG.dic", "C:\\NoWay\\Sub\\bg_BG.dic"));
  EXPECT_EQ(sim.FileContents("C:\\RO\\bg_BG.dic"), "kept");
  EXPECT_FALSE(sim.Exists("C:\\NoWay"));
  EXPECT_EQ(sim.MessageBoxes().size(), 2u);
}

// ---- QueueFiles ---------------------------------------------------------------------------

TEST_F(StoreTest, OverwriteModesAgainstWhatIsAtTheTarget) {
  LoadSample();
  const std::string folder = "C:\\Dest\\";
  const std::string target = folder + "bg_BG.dic";
  enum class At { kNothing, kFolder, kSameTime, kTwoSecondsOlder, kTwoSecondsNewer, kBefore1980 };
  struct Case {
    At at;
    std::uint8_t mode;
    bool queued;
  };
  const Case cases[] = {
      {At::kNothing, 0, true},         {At::kNothing, 1, true},
      {At::kNothing, 2, true},         {At::kNothing, 7, true},
      {At::kFolder, 0, true},          {At::kSameTime, 0, false},
      {At::kSameTime, 1, false},       {At::kSameTime, 2, true},
      {At::kSameTime, 7, false},       {At::kTwoSecondsOlder, 1, true},
      {At::kTwoSecondsNewer, 1, true}, {At::kTwoSecondsOlder, 0, false},
      {At::kBefore1980, 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "case " << static_cast<int>(c.at) << " mode " << int(c.mode));
    if (sim.Exists("C:\\Dest")) sim.Remove("C:\\Dest");
    sim.AddFolder("C:\\Dest");
    if (c.at == At::kFolder) {
      sim.AddFolder(target);
    } else if (c.at != At::kNothing) {
      sim.AddFile(target, "existing");
      const int shift = c.at == At::kTwoSecondsOlder ? -2 : c.at == At::kTwoSecondsNewer ? 2 : 0;
      os::FileTime time = Utc(2013, 4, 6, 20, 53, 40);
      time.ticks += static_cast<std::int64_t>(shift) * 10000000;
      if (c.at == At::kBefore1980) time = Utc(1975, 1, 1, 0, 0, 0);
      sim.SetLastWriteTime(target, time);
    }
    store->Queues[0].clear();
    EXPECT_EQ(store->QueueFiles("bg_BG.dic", "C:\\Dest", 0, c.mode), c.queued);
    EXPECT_EQ(store->Queues[0].size(), c.queued ? 1u : 0u);
  }
}

TEST_F(StoreTest, FileWrittenByExtractionIsNotQueuedAgainInModeOne) {
  LoadSample();
  ASSERT_TRUE(store->ExtractFile(nullptr, "bg_BG.dic", "C:\\Dest\\bg_BG.dic"));
  EXPECT_FALSE(store->QueueFiles("bg_BG.dic", "C:\\Dest\\", 0, 1));
  sim.SetUtcOffset(sim.UtcOffset() + 60);  // summer time began: the local time moved
  EXPECT_TRUE(store->QueueFiles("bg_BG.dic", "C:\\Dest\\", 0, 1));
}

TEST_F(StoreTest, NameFormTakesTheFirstMatchPrefixFormEveryMatch) {
  CatalogueBuilder catalogue(CatalogueBuilder::Checks::kOff);
  catalogue.Add("Twice.txt", kDicStamp, Text("first"));
  catalogue.Add("Twice.txt", kDicStamp, Text("second"));
  catalogue.Add("Spell\\a.dic", kDicStamp, Text("a"));
  catalogue.Add("SPELL\\Sub\\b.aff", kDicStamp, Text("b"));
  catalogue.Add("Spelling.txt", kDicStamp, Text("c"));
  catalogue.Add("Sp", kDicStamp, Text("d"));
  Load(catalogue);

  EXPECT_TRUE(store->QueueFiles("TWICE.TXT", "C:\\D", 0, 2));
  ASSERT_EQ(store->Queues[0].size(), 1u);
  EXPECT_EQ(store->Queues[0][0].Entry, &store->Entries[0]);

  EXPECT_TRUE(store->QueueFiles("spell\\", "C:\\D", 0, 2));
  EXPECT_THAT(QueuedTargets(),
              ElementsAre("C:\\D\\Twice.txt", "C:\\D\\Spell\\a.dic", "C:\\D\\SPELL\\Sub\\b.aff"));

  EXPECT_FALSE(store->QueueFiles("Nothing\\", "C:\\D", 0, 2));
  EXPECT_FALSE(store->QueueFiles("missing.txt", "C:\\D", 0, 2));
  EXPECT_FALSE(store->QueueFiles("", "C:\\D", 0, 2));
  EXPECT_FALSE(store->QueueFiles("Twice.txt", "C:\\D", 1, 2));
  EXPECT_EQ(store->Queues[0].size(), 3u);

  // The same name twice: two items for one file.
  EXPECT_TRUE(store->QueueFiles("Sp", "", 0, 2));
  EXPECT_TRUE(store->QueueFiles("Sp", "", 0, 2));
  EXPECT_THAT(QueuedTargets(), testing::Contains("Sp").Times(2));
}

TEST_F(StoreTest, PublicTargetsAreCollectedWithTheMarkOfThePassedMode) {
  LoadSample();
  const std::string pub = "C:\\ProgramData\\Veloquin\\Public\\Spellcheck\\";
  sim.AddFile(pub + "userdicbg.tlx", "user words");
  TrackPublicFiles = true;

  EXPECT_FALSE(store->QueueFiles("userdicbg.tlx", pub, 0, 0));  // mode 0, file present
  EXPECT_TRUE(store->PublicFiles.empty());

  store->OverwriteAll = true;
  EXPECT_TRUE(store->QueueFiles("userdicbg.tlx", pub, 0, 0));
  EXPECT_TRUE(
      store->QueueFiles("bg_BG.dic", "c:\\programdata\\veloquin\\public\\orthographe", 0, 1));
  EXPECT_TRUE(store->QueueFiles("License.txt", "C:\\Elsewhere", 0, 0));
  EXPECT_THAT(store->PublicFiles,
              ElementsAre(pub + "userdicbg.tlx\t!",
                          "c:\\programdata\\veloquin\\public\\orthographe\\bg_BG.dic"));

  TrackPublicFiles = false;
  EXPECT_TRUE(store->QueueFiles("bg_BG.dic", pub, 0, 1));
  EXPECT_EQ(store->PublicFiles.size(), 2u);
}

TEST_F(StoreTest, NoPublicFilesWhenTheCommonDataFolderIsUnknown) {
  LoadSample();
  sim.FailSpecialFolder(os::kCsidlCommonAppData);
  EXPECT_EQ(PublicDataFolder(), "Veloquin\\Public\\");
  TrackPublicFiles = true;
  EXPECT_TRUE(
      store->QueueFiles("bg_BG.dic", "C:\\Users\\User\\Documents\\Veloquin\\Public\\", 0, 1));
  EXPECT_TRUE(store->PublicFiles.empty());
}

// ---- Destruction ------------------------------------------------------------------------

TEST_F(StoreTest, DestructionSweepsTheTemporaryFiles) {
  LoadSample();
  const std::string name = NewTempFileName();
  ASSERT_TRUE(store->ExtractFile(nullptr, "License.txt", name));
  sim.AddFile("C:\\Users\\User\\AppData\\Local\\Temp\\unrelated.tmp");
  store.reset();
  EXPECT_THAT(sim.ListFolder("C:\\Users\\User\\AppData\\Local\\Temp"),
              ElementsAre("unrelated.tmp"));
}

}  // namespace
