// The C++ runtime's last resort, replaced for setup.exe. The runtime's own handler prints the
// uncaught exception's demangled type to standard error, which a GUI program does not have;
// it brings the whole demangler (some 45 KB) into the program for that. Every error the setup
// expects is reported by the program frame, so reaching this is a bug: end at once.
//
// Linked into setup.exe as an object of its own, so that it is found before the runtime's.
#include <cstdlib>

namespace __gnu_cxx {

// The runtime's own name, which this definition must have to take its place.
void __verbose_terminate_handler() {  // NOLINT(bugprone-reserved-identifier)
  std::abort();
}

}  // namespace __gnu_cxx
