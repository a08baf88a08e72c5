// The Finish step: the install stamp and the update log for the host, its launch, and the
// saved settings.
#include <string>

#include "AttachFiles.h"
#include "DayCount.h"
#include "InstUtils.h"
#include "MainDlg.h"
#include "Settings.h"
#include "UpdateLog.h"
#include "os/Machine.h"

namespace {

constexpr int kSwShow = 5;

}  // namespace

// A portable installation leaves no records in the machine-wide folder. The stamp is written
// only where the host made its hidden folder; an update log that cannot be read or written
// raises the quiet error, which ends the step here and leaves the wizard on its page.
void TMainDlgForm::Finish() {
  if (!IsPortableInstall()) {
    InstallStamp = DayCountFromSystemTime(os::Machine().GetLocalTime());
    WriteFileBytes(JoinPath(HostDataBaseFolder(), "Veloquin\\Hidden\\install_stamp"),
                   InstallStampBytes(InstallStamp));
    WriteUpdateLog();
  }
  if (FinishChkBx.Checked()) {
    // The quoted full path of the host, without arguments.
    std::string command(1, '"');
    command += JoinPath(Options.MainDir, kHostExecutable);
    command += '"';
    os::Machine().WinExec(command, kSwShow);
  }
  SaveSettings();
}

void TMainDlgForm::WriteUpdateLog() {
  ::WriteUpdateLog(JoinPath(HostDataBaseFolder(), "Veloquin\\Update.log"),
                   AttachedFiles->PublicFiles, InstallStamp);
}

void TMainDlgForm::SaveSettings() {
  TSettingsKey key;
  key.WriteText(kMainDirValue, Options.MainDir);
  key.WriteFlag(kLaunchValue, FinishChkBx.Checked());
}
