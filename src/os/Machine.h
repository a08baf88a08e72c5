// The machine the process runs on. The real program installs its Win32Os once at start; a
// native test installs a SimOs for the length of a scope. Units reach the system only
// through Machine().
#pragma once

#include "os/Os.h"

namespace os {

// The current machine. Calling it with none installed is a programming error and aborts.
Os& Machine();
bool HasMachine();

// Installs a machine for the lifetime of the scope and restores the previous one after it.
class MachineScope {
 public:
  explicit MachineScope(Os& machine);
  ~MachineScope();
  MachineScope(const MachineScope&) = delete;
  MachineScope& operator=(const MachineScope&) = delete;

 private:
  Os* previous_;
};

}  // namespace os
