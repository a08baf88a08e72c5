// The Windows entry point: the real machine and the real window system, then the setup.
#include <windows.h>

#include "Setup.h"
#include "os/Machine.h"
#include "os/win32/Win32Os.h"
#include "ui/win32/Win32Platform.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  os::Win32Os machine;
  os::MachineScope scope(machine);
  ui::Win32Platform platform;
  const std::uint32_t code = RunSetup(platform);
  machine.ExitProcess(code);
}
