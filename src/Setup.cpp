#include "Setup.h"

#include <exception>
#include <memory>

#include "AttachFiles.h"
#include "Errors.h"
#include "InstUtils.h"
#include "os/Machine.h"
#include "ui/Application.h"

namespace {

std::unique_ptr<ui::Application> application;

// The units shut down in the reverse order of their start-up: the program's own tables, then
// the class library with its application window, last the utilities (OLE uninitialised
// after every window is gone).
void ShutDownUnits() {
  application.reset();
  InstUtilsShutdown();
}

}  // namespace

std::uint32_t RunSetup(ui::Platform& platform) {
  auto& os = os::Machine();
  // Before anything can load a library: only the system folder is searched from now on.
  os.RestrictDllSearch();
  InstUtilsStartup();

  std::uint32_t exitCode = 0;
  try {
    application = std::make_unique<ui::Application>(platform);
    application->SetIcon(1);
    application->SetTitle(kSetupTitle);
    // The whole payload is inflated before any window of the program is shown.
    AttachedFiles = new TAttachedFiles();
  } catch (const os::ProcessExit&) {
    throw;
  } catch (...) {
    // A failed start ends here: nothing created so far is destroyed, so whatever temporary
    // files exist stay for the next run to sweep.
    ShowErrorReport(std::current_exception());
    exitCode = 1;
  }

  if (exitCode == 0) {
    try {
      TAttachedFiles* store = AttachedFiles;
      AttachedFiles = nullptr;
      delete store;
    } catch (const os::ProcessExit&) {
      throw;
    } catch (...) {
      ShowErrorReport(std::current_exception());
      exitCode = 1;
    }
  }

  ShutDownUnits();
  return exitCode;
}

void EndSessionNow() {
  ShutDownUnits();
  os::Machine().ExitProcess(0);
}
