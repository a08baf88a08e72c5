#include "os/Machine.h"

#include <cstdio>
#include <cstdlib>

namespace os {
namespace {
Os* current = nullptr;
}

Os& Machine() {
  if (current == nullptr) {
    std::fputs("no machine installed\n", stderr);
    std::abort();
  }
  return *current;
}

bool HasMachine() {
  return current != nullptr;
}

MachineScope::MachineScope(Os& machine) : previous_(current) {
  current = &machine;
}

MachineScope::~MachineScope() {
  current = previous_;
}

}  // namespace os
