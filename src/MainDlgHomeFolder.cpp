// The home folder: its first guess, the clean-up of what the user typed or picked, and the
// drive watch that moves the drive selector to drives that come and go.
#include <cctype>
#include <string>

#include "CommandLine.h"
#include "FileCtrl.h"
#include "HomeFolder.h"
#include "InstUtils.h"
#include "MainDlg.h"
#include "Settings.h"
#include "os/Machine.h"

namespace {

constexpr int kFirstListedDrive = 2;  // C:; A: and B: never become the selector's drive
constexpr int kDriveLetters = 26;

bool DriveInMask(std::uint32_t mask, char letter) {
  const int bit = letter - 'a';
  return bit >= 0 && bit < kDriveLetters && ((mask >> bit) & 1u) != 0;
}

char LowerCase(char letter) {
  std::string text(1, letter);
  os::Machine().CharLowerBuffA(text);
  return text[0];
}

}  // namespace

// The saved folder when it still exists, else the host's default under Program Files; a
// "-d" switch in the first argument overrides both, unchecked. The launch choice is on
// unless it was saved as off.
void TMainDlgForm::LoadSettings() {
  TSettingsKey key;
  Options.MainDir = key.ValueExists(kMainDirValue) ? key.ReadText(kMainDirValue) : std::string();
  if (Options.MainDir.empty() || !FolderExists(Options.MainDir)) {
    Options.MainDir = JoinPath(SpecialFolder(os::kCsidlProgramFiles), "Veloquin");
  }
  if (const auto given = HomeFolderSwitch(CommandLineArguments())) Options.MainDir = *given;
  FinishChkBx.SetChecked(!key.ValueExists(kLaunchValue) || key.ReadFlag(kLaunchValue));
}

// A text without a drive part takes the selector's drive. Until the user has picked one (an
// empty "-d" leaves the selector without a drive) that is the drive of the Program Files
// folder, the drive the selector falls back to when its own drive goes away; never a blank.
void TMainDlgForm::NormalizeHomeFolder() {
  const std::string programFiles = SpecialFolder(os::kCsidlProgramFiles);
  char drive = DestDirCmbBx.CurrentDrive();
  if (!std::isalpha(static_cast<unsigned char>(drive))) {
    const char fallback =
        programFiles.size() >= 2 && programFiles[1] == ':' ? programFiles[0] : 'c';
    drive = static_cast<char>(std::tolower(static_cast<unsigned char>(fallback)));
  }
  DestDirEdt.SetText(NormalizeHomeFolderText(DestDirEdt.Text(), drive, programFiles));
}

void TMainDlgForm::DestDirLstBxChange(ui::TObject* /*sender*/) {
  if (!Initialized) return;
  DestDirEdt.SetText(DestDirLstBx.Folder());
  NormalizeHomeFolder();
}

// A drive that went away moves the selector off it (to the Program Files drive) or, when it
// was another one, gives the rebuilt list its selection back; a drive that came becomes the
// selector's drive, so that a stick plugged in shows at once.
void TMainDlgForm::WMTimer(unsigned /*id*/) {
  const std::uint32_t newMask = os::Machine().GetLogicalDrives();
  const std::uint32_t oldMask = DestDirCmbBx.DriveMask();
  if (newMask == oldMask) return;

  const std::string keptText = DestDirCmbBx.Text();
  DestDirCmbBx.RefreshDrives();
  if (newMask < oldMask) {
    if (DriveInMask(newMask, DestDirCmbBx.CurrentDrive())) {
      DestDirCmbBx.SetItemIndex(DestDirCmbBx.Items().IndexOf(keptText));
    } else {
      const std::string programFiles = SpecialFolder(os::kCsidlProgramFiles);
      DestDirCmbBx.SelectDrive(programFiles.empty() ? '\0' : LowerCase(programFiles[0]));
    }
    return;
  }
  for (int bit = kFirstListedDrive; bit < kDriveLetters; ++bit) {
    const std::uint32_t flag = 1u << bit;
    if ((newMask & flag) != 0 && (oldMask & flag) == 0) {
      DestDirCmbBx.SelectDrive(static_cast<char>('a' + bit));
      return;
    }
  }
}
