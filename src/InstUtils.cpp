#include "InstUtils.h"

#include "os/Machine.h"

bool InstallStarted = false;

namespace {
// The shell's SHGetFolderPathA, found at start; 0 when neither library supplies it.
os::ProcAddress folderPathFunction = 0;
}  // namespace

void InstUtilsStartup() {
  auto& os = os::Machine();
  InstallStarted = false;
  os.OleInitialize();
  folderPathFunction = os.GetProcAddress(os.LoadSystemLibrary("shell32.dll"), "SHGetFolderPathA");
  if (folderPathFunction == 0) {
    folderPathFunction =
        os.GetProcAddress(os.LoadSystemLibrary("shfolder.dll"), "SHGetFolderPathA");
  }
}

void InstUtilsShutdown() {
  os::Machine().OleUninitialize();
}
