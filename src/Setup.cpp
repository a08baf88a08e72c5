#include "Setup.h"

#include <cstdlib>
#include <exception>
#include <memory>

#include "AttachFiles.h"
#include "ControlKinds.h"
#include "Errors.h"
#include "InstUtils.h"
#include "MainDlg.h"
#include "os/Machine.h"
#include "ui/Application.h"

namespace {

std::unique_ptr<ui::Application> application;

// The units shut down in the reverse order of their start-up: the program's own tables, then
// the class library with its application window, last the utilities (OLE uninitialised
// after every window is gone).
void ShutDownUnits() {
  MainDlgShutdown();
  application.reset();
  InstUtilsShutdown();
}

// An error that left a step outside the message handling: shown, and the process ends with
// exit code 1. The end of the process and a test harness's own errors pass on.
void ReportFatal(ui::Platform& platform, const std::exception_ptr& error) {
  if (platform.PassesThrough(error)) std::rethrow_exception(error);
  ShowErrorReport(error);
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
    // The kinds of control that the wizard's form description names.
    RegisterControlKinds();
    application->SetIcon(1);
    application->SetTitle(kSetupTitle);
    // The whole payload is inflated before any window of the program is shown.
    AttachedFiles = new TAttachedFiles();
    // The wizard's construction already extracts from the store.
    MainDlgForm = new TMainDlgForm();
  } catch (const os::ProcessExit&) {
    throw;
  } catch (...) {
    // A failed start ends here: nothing created so far is destroyed, so whatever temporary
    // files exist stay for the next run to sweep.
    ReportFatal(platform, std::current_exception());
    exitCode = 1;
  }

  if (exitCode == 0) {
    try {
      // Everything the user does happens in here; how the wizard ended is not looked at.
      MainDlgForm->ShowModal();
      // Once files were being written the choices are kept, however the wizard ended.
      if (InstallStarted) MainDlgForm->SaveSettings();
      TMainDlgForm* wizard = MainDlgForm;
      MainDlgForm = nullptr;
      delete wizard;
      // Its last act removes the temporary files; no window holds one any more.
      TAttachedFiles* store = AttachedFiles;
      AttachedFiles = nullptr;
      delete store;
    } catch (const os::ProcessExit&) {
      throw;
    } catch (...) {
      ReportFatal(platform, std::current_exception());
      exitCode = 1;
    }
  }

  ShutDownUnits();
  return exitCode;
}

void EndSessionNow() {
  ShutDownUnits();
  os::Machine().ExitProcess(0);
  // Not reached: the machine ends the process (the simulated one by throwing).
  std::abort();
}
