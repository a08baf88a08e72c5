// The drive selector and the folder list on a form of their own, on a simulated machine
// that carries the program's four picker bitmaps as resources.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FileCtrl.h"
#include "InstUtils.h"
#include "UiTestSupport.h"

namespace filectrltest {

// A bitmap file of the repository as the resource compiler stores it: without its file
// header.
inline os::Bytes BitmapResource(const std::string& name) {
  const auto path = std::filesystem::path(SETUP_RESOURCES_DIR) / "bitmaps" / (name + ".bmp");
  std::ifstream file(path, std::ios::binary);
  os::Bytes bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (bytes.size() <= 14) ADD_FAILURE() << "cannot read " << path;
  return bytes.size() > 14 ? os::Bytes(bytes.begin() + 14, bytes.end()) : os::Bytes{};
}

class FileCtrlTest : public uitest::UiTest {
 protected:
  FileCtrlTest() {
    InstUtilsStartup();  // the shell's folder paths
    for (const char* name : {"FIXEDDRIVE", "REMOVABLEDRIVE", "OPENFOLDER", "CLOSEDFOLDER"})
      sim.SetResource(name, ui::kBitmapResourceType, BitmapResource(name));
    form.SetClientSize(400, 300);
  }
  ~FileCtrlTest() override { InstUtilsShutdown(); }

  // A: floppy without a disk, C: the default system disk, D: CD-ROM, E: USB stick, F: fixed
  // disk on USB without a volume name, Z: network drive connected to \\srv\data.
  void AddSampleDrives() {
    sim.AddDrive('A', {.kind = os::kDriveRemovable, .present = false});
    sim.AddDrive('D', {.kind = os::kDriveCdrom, .volumeName = "DVD"});
    sim.AddDrive('E', {.kind = os::kDriveRemovable,
                       .volumeName = "STICK",
                       .busType = os::kBusTypeUsb,
                       .removableMedia = true});
    sim.AddDrive('F', {.kind = os::kDriveFixed, .busType = os::kBusTypeUsb});
    sim.AddShare("\\\\srv\\data", "DATA");
    sim.AddDrive('Z', {.kind = os::kDriveRemote, .remoteName = "\\\\srv\\data"});
  }

  TDriveComboBox& MakeSelector(std::string_view name = "DestDirCmbBx") {
    auto& made = uitest::Make<TDriveComboBox>(form, form, name, {{"Top", 225}});
    made.SetProperty("Width", 345);
    return made;
  }
  TDirectoryListBox& MakeList(std::string_view name = "DestDirLstBx") {
    return uitest::Make<TDirectoryListBox>(
        form, form, name, {{"Top", 65}, {"Width", 345}, {"Height", 157}, {"ItemHeight", 17}});
  }

  // The list and the selector linked, as on the home-folder page.
  void MakePage() {
    list = &MakeList();
    selector = &MakeSelector();
    selector->SetDirList(list);
    list->OnChange = [this](ui::TObject* sender) {
      EXPECT_EQ(sender, list);
      events.push_back("list " + list->Folder());
    };
    selector->OnChange = [this](ui::TObject*) {
      events.push_back(std::string("selector ") + selector->CurrentDrive());
    };
  }

  static std::vector<std::string> Texts(const ui::TStrings& items) {
    std::vector<std::string> texts;
    for (int i = 0; i < items.Count(); ++i)
      texts.push_back(items[i]);
    return texts;
  }

  // The index of the selector's item for a drive letter.
  int DriveItem(char letter) const {
    for (int i = 0; i < selector->Items().Count(); ++i) {
      if (selector->Items()[i][0] == letter) return i;
    }
    ADD_FAILURE() << "no item for drive " << letter;
    return -1;
  }

  ui::TForm form{nullptr};
  TDirectoryListBox* list = nullptr;
  TDriveComboBox* selector = nullptr;
  std::vector<std::string> events;
};

}  // namespace filectrltest
