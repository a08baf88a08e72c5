// msgbox_probe: shows the setup's message boxes one after another, as the setup shows them,
// and prints each answer; the scenario driver reads and answers them.
#include <cstdio>

#include "MessageBoxes.h"
#include "os/Machine.h"
#include "os/win32/Win32Os.h"

int main() {
  os::Win32Os machine;
  os::MachineScope scope(machine);
  struct Box {
    const char* text;
    std::uint8_t type;
    TMsgDlgButtons buttons;
  };
  const Box boxes[] = {
      {"Cannot create file \"C:\\x\".\rSecond line", mtError, mbAbort | mbRetry | mbIgnore},
      {"Really quit?", mtConfirmation, mbYes | mbNo},
      {"Decline the licence?", mtInformation, mbYes | mbNo},
      {"Wrong folder", mtInformation, mbOK},
      {"Careful", mtWarning, mbOK | mbCancel},
      {"Odd type", 9, mbRetry | mbCancel},
  };
  for (const Box& box : boxes) {
    std::printf("answer %d\n", ShowMessageBox(box.text, box.type, box.buttons));
    std::fflush(stdout);
  }
  return 0;
}
