// The whole program on a simulated machine: RunSetup with the headless window system, a
// small payload of the ten entries the setup knows, the wizard's stored form, and a host
// installed under Program Files. A test scripts the user step by step and checks what the
// program left behind.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "AttachFiles.h"
#include "DayCount.h"
#include "FileCtrl.h"
#include "InstUtils.h"
#include "MainDlg.h"
#include "Settings.h"
#include "Setup.h"
#include "os/Machine.h"
#include "os/sim/SimOs.h"
#include "payload/Catalogue.h"
#include "ui/headless/HeadlessPlatform.h"

namespace setuprun {

inline constexpr char kHomeFolder[] = "C:\\Program Files\\Veloquin";
inline constexpr char kHost[] = "C:\\Program Files\\Veloquin\\vqd.exe";
inline constexpr char kSettingsKey[] = "Software\\Veloquin Word Processor\\Install";
inline constexpr char kPublicSpellcheck[] = "C:\\ProgramData\\Veloquin\\Public\\Spellcheck\\";
inline constexpr char kPublicOrthographe[] = "C:\\ProgramData\\Veloquin\\Public\\Orthographe\\";
inline constexpr char kHidden[] = "C:\\ProgramData\\Veloquin\\Hidden";
inline constexpr char kStampFile[] = "C:\\ProgramData\\Veloquin\\Hidden\\install_stamp";
inline constexpr char kUpdateLog[] = "C:\\ProgramData\\Veloquin\\Update.log";
inline constexpr char kTempFolder[] = "C:\\Users\\User\\AppData\\Local\\Temp";

inline constexpr char kRunningInstances[] =
    "There are running instances of Veloquin Word Processor on your computer.\r"
    "Please close any running instance(s) of Veloquin Word Processor before proceeding.";
inline constexpr char kLicenseQuestion[] =
    "To install this program, you need to agree to all the terms\r"
    "of the Veloquin Word Processor License Agreement.\r"
    "Do you really want to cancel the Veloquin Spellchecker install?";
inline constexpr char kWrongFolder[] =
    "The specified folder does not contain a properly installed Veloquin Word Processor.\r"
    "Please specify the proper home folder of Veloquin Word Processor on your hard disk.";
inline constexpr char kCloseQuestion[] =
    "Setup is not complete. If you quit this setup program now,\r"
    "the Veloquin Bulgarian Spellchecker will not be correctly installed.\r\r"
    "You may relaunch the setup program at a later time\r"
    "to complete the installation of the Veloquin Bulgarian Spellchecker.\r\r"
    "To continue installing, click No.\r"
    "To quit this setup program, click Yes.";

// The add-on's seven files in the order the wizard writes them.
inline const std::vector<std::string> kAddOnFiles = {
    "Bulgarian.asc", "hunspell.dll",   "bg_BG.dic",      "bg_BG.aff",
    "userdicbg.tlx", "Bulgarian.hyph", "Bulgarian.thes",
};

// A real bitmap file of 2 by 2 pixels, 24 bits per pixel.
inline payload::Bytes TinyBitmap() {
  payload::Bytes bmp = {'B', 'M'};
  auto put = [&bmp](std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
      bmp.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  };
  put(14 + 40 + 16, 4);  // file size
  put(0, 4);
  put(14 + 40, 4);  // pixel data offset
  put(40, 4);       // BITMAPINFOHEADER
  put(2, 4);
  put(2, 4);
  put(1, 2);
  put(24, 2);
  put(0, 4);  // BI_RGB
  put(16, 4);
  put(2835, 4);
  put(2835, 4);
  put(0, 4);
  put(0, 4);
  for (int row = 0; row < 2; ++row) {  // blue-green-red, rows padded to four bytes
    for (std::uint8_t b : {0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00})
      bmp.push_back(b);
  }
  return bmp;
}

// Each entry's stamp: distinct whole even seconds of 2021.
inline double EntryStamp(const std::string& name) {
  int second = 0;
  for (char c : name)
    second = (second + static_cast<unsigned char>(c)) % 30;
  return EncodeDayCount(2021, 2, 10, 11, static_cast<int>(name.size()), second * 2);
}

inline payload::Bytes Text(std::string_view text) {
  return payload::Bytes(text.begin(), text.end());
}

// The payload the tests use: the licence, both logos and the seven add-on files, each with
// its name as its bytes (the user dictionary empty, as shipped).
inline payload::CatalogueBuilder TestCatalogue() {
  payload::CatalogueBuilder catalogue;
  catalogue.Add("License.txt", EntryStamp("License.txt"), Text("First line\r\nSecond line\r\n"));
  catalogue.Add("Logo.bmp", EntryStamp("Logo.bmp"), TinyBitmap());
  catalogue.Add("LogoSmall.bmp", EntryStamp("LogoSmall.bmp"), TinyBitmap());
  for (const std::string& name : kAddOnFiles) {
    catalogue.Add(name, EntryStamp(name), name == "userdicbg.tlx" ? payload::Bytes{} : Text(name));
  }
  return catalogue;
}

// The wizard's stored form description, from the sources.
inline payload::Bytes FormDescription() {
  std::ifstream file(std::string(SETUP_RESOURCES_DIR) + "/MainDlg.form", std::ios::binary);
  return payload::Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class SetupRunTest : public testing::Test {
 protected:
  SetupRunTest() {
    // The process-wide flags of the program start false in every process.
    InstallStarted = false;
    TrackPublicFiles = false;
    sim.SetResource("TMAINDLGFORM", "#10", FormDescription());
    SetPayload(TestCatalogue());
    sim.AddFile(kHost, "MZ");
  }
  ~SetupRunTest() override {
    // A process that ended itself, or a start that failed, leaves its objects behind.
    delete MainDlgForm;
    MainDlgForm = nullptr;
    delete AttachedFiles;
    AttachedFiles = nullptr;
    InstallStarted = false;
    TrackPublicFiles = false;
  }

  void SetPayload(const payload::CatalogueBuilder& catalogue) {
    sim.SetResource("FILES", "FILES", catalogue.Payload());
  }

  // Runs the whole program; the exit code, also when the process ended itself.
  std::uint32_t Run() {
    try {
      const std::uint32_t code = RunSetup(platform);
      EXPECT_EQ(platform.PendingSteps(), 0u) << "steps left in the script";
      EXPECT_EQ(sim.PendingAnswers(), 0u) << "answers left for message boxes";
      return code;
    } catch (const os::ProcessExit& exit) {
      processEnded = true;
      return exit.code;
    }
  }

  // The wizard while it runs.
  TMainDlgForm& Dlg() const {
    if (MainDlgForm == nullptr) throw std::logic_error("no wizard");
    return *MainDlgForm;
  }
  void Step(std::function<void()> step) { platform.Script(std::move(step)); }
  void ClickNext() {
    Step([this] { platform.Click(Dlg().NextBtn); });
  }
  void ClickBack() {
    Step([this] { platform.Click(Dlg().BackBtn); });
  }
  void ClickCancel() {
    Step([this] { platform.Click(Dlg().CancelBtn); });
  }
  void ExpectPage(int page) {
    Step([this, page] { EXPECT_EQ(Dlg().CurrentPage(), page); });
  }
  // Next over the pages 0 to 3: the installation runs and page 5 shows.
  void WalkToFinishPage() {
    for (int i = 0; i < 4; ++i)
      ClickNext();
    ExpectPage(kFinishPage);
  }
  void ClickFinish() { ClickNext(); }

  // The text of every message box shown so far.
  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : sim.MessageBoxes())
      texts.push_back(box.utf8Text);
    return texts;
  }
  // Every registry write of the settings, as "NAME=value".
  std::vector<std::string> SettingsWrites() const {
    std::vector<std::string> writes;
    for (const auto& write : sim.RegistryWrites()) {
      std::string value;
      if (write.type == os::kRegDword) {
        value = std::to_string(write.data.at(0));
      } else {
        value.assign(write.data.begin(), write.data.end());
        if (!value.empty() && value.back() == '\0') value.pop_back();
      }
      writes.push_back(write.name + "=" + value);
    }
    return writes;
  }
  // Names in the temporary folder.
  std::vector<std::string> TempFiles() const { return sim.ListFolder(kTempFolder); }
  // A file's last-write time as a local day count (two-second precision).
  double LocalStamp(const std::string& path) const { return FileWriteStamp(path); }

  os::SimOs sim;
  os::MachineScope scope{sim};
  ui::HeadlessPlatform platform;
  bool processEnded = false;
};

}  // namespace setuprun
