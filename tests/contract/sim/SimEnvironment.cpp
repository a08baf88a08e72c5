// The contract suite's simulated machine: a fresh default SimOs per test, with the scratch
// folder under its temp folder. CONTRACT_CODE_PAGE=1251 switches the machine to the
// Cyrillic ANSI code page, the way the Bulgarian locale does for Wine.
#include <cstdlib>
#include <string>

#include "contract/ContractEnv.h"
#include "os/sim/SimOs.h"

namespace contract {
namespace {

class SimEnvironment final : public Environment {
 public:
  SimEnvironment() {
    if (const char* codePage = std::getenv("CONTRACT_CODE_PAGE"); codePage && *codePage) {
      machine_.SetCodePage(static_cast<std::uint32_t>(std::strtoul(codePage, nullptr, 10)));
    }
    scratch = machine_.GetTempPathA() + "contract-1\\";
    machine_.AddFolder(scratch);
    registryKey = "Software\\SetupContractTests\\contract-1";
    simulated = true;
    readOnlyRefusesWriting = true;
  }

  os::Os& Machine() override { return machine_; }

 private:
  os::SimOs machine_;
};

}  // namespace

std::unique_ptr<Environment> MakeEnvironment() {
  return std::make_unique<SimEnvironment>();
}

}  // namespace contract
