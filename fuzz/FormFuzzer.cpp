// Fuzz target: the form loader with any bytes as a stored form description, on the wizard's
// class with every control kind the program registers. A description either loads or is
// refused with EFormError; any other outcome (another exception, a crash, a leak, a read
// outside a buffer) ends the run.
#include <cstdint>
#include <string_view>

#include "ControlKinds.h"
#include "Errors.h"
#include "os/Machine.h"
#include "os/sim/SimOs.h"
#include "ui/Application.h"
#include "ui/FormLoader.h"
#include "ui/headless/HeadlessPlatform.h"

namespace {

// The wizard's class name and the handlers it publishes before it loads its description.
class WizardStandIn : public ui::TForm {
 public:
  WizardStandIn() : ui::TForm(nullptr) {
    for (const char* name : {"BNClick", "CancelBtnClick", "DestDirLstBxChange"})
      Publish(name, [](ui::TObject*) {});
    PublishCloseQuery("FormCloseQuery", [](ui::TObject*, bool&) {});
  }
  std::string_view ClassName() const override { return "TMainDlgForm"; }
};

void SetUpOnce() {
  static os::SimOs machine;
  static os::MachineScope scope(machine);
  static ui::HeadlessPlatform platform;
  static ui::Application application(platform);
  static const bool registered = (RegisterControlKinds(), true);
  (void)registered;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SetUpOnce();
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    WizardStandIn form;
    ui::LoadForm(form, text, "fuzz.form");
  } catch (const EFormError&) {
  }
  return 0;
}
