// The contract suite's real machine: Win32Os, with a scratch folder under the temp folder
// and a registry key of its own for each test, both removed again afterwards.
#include <string>

#include "contract/ContractEnv.h"
#include "os/win32/ForcedRemoval.h"
#include "os/win32/Win32Os.h"

namespace contract {
namespace {

constexpr char kRegistryRoot[] = "Software\\SetupContractTests";

// Wine run by the superuser opens read-only files for writing; asked once per run.
bool ReadOnlyRefusesWriting(os::Os& machine, const std::string& folder) {
  static int answer = -1;
  if (answer < 0) {
    std::u16string path = machine.MultiByteToWide(0, folder + "read-only-probe");
    os::Handle file =
        machine.CreateFileW(path, os::kGenericWrite, 0, os::kCreateNew, os::kFileAttributeReadOnly);
    if (file != os::kInvalidHandle) machine.CloseHandle(file);
    file = machine.CreateFileW(path, os::kGenericWrite, 0, os::kOpenExisting, 0);
    answer = file == os::kInvalidHandle ? 1 : 0;
    if (file != os::kInvalidHandle) machine.CloseHandle(file);
    os::win32::RemoveTreeForcibly(folder);  // the folder is made again by the caller
  }
  return answer == 1;
}

class Win32Environment final : public Environment {
 public:
  Win32Environment() {
    // The first free name; creating the folder is what reserves it, also against a run
    // beside this one.
    const std::string temp = machine_.GetTempPathA();
    for (int n = 1; n < 10000 && scratch.empty(); ++n) {
      std::string name = "contract-" + std::to_string(n);
      std::string folder = temp + name + "\\";
      if (machine_.CreateDirectoryW(machine_.MultiByteToWide(0, folder))) {
        scratch = folder;
        registryKey = std::string(kRegistryRoot) + "\\" + name;
      }
    }
    simulated = false;
    if (!scratch.empty()) {
      readOnlyRefusesWriting = ReadOnlyRefusesWriting(machine_, scratch);
      machine_.CreateDirectoryW(machine_.MultiByteToWide(0, scratch));
    }
  }

  ~Win32Environment() override {
    if (!scratch.empty()) os::win32::RemoveTreeForcibly(scratch);
    os::win32::DeleteCurrentUserKeyTree(registryKey);
    os::win32::DeleteEmptyCurrentUserKey(kRegistryRoot);
  }

  os::Os& Machine() override { return machine_; }

 private:
  os::Win32Os machine_;
};

}  // namespace

std::unique_ptr<Environment> MakeEnvironment() {
  return std::make_unique<Win32Environment>();
}

}  // namespace contract
