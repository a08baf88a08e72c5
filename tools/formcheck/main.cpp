// formcheck DESCRIPTION
//
// Loads the wizard's stored form description the way the wizard does, on a simulated
// machine without windows, with every control kind the program registers and a stand-in
// for each handler the wizard publishes. Exit code 0 when it loads; 1 with the loader's
// message (file, line, column, what was expected) when it does not; 2 on a usage error.
// The build runs it, so that a description that does not load fails the build.
#include <cstdio>
#include <exception>
#include <fstream>
#include <sstream>
#include <string>

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
    for (const char* name : {"BNClick", "CancelBtnClick", "DestDirLstBxChange"}) {
      Publish(name, [](ui::TObject*) {});
    }
    PublishCloseQuery("FormCloseQuery", [](ui::TObject*, bool&) {});
  }
  std::string_view ClassName() const override { return "TMainDlgForm"; }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: formcheck DESCRIPTION\n");
    return 2;
  }
  const std::string path = argv[1];
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "formcheck: cannot read %s\n", path.c_str());
    return 1;
  }
  std::stringstream text;
  text << in.rdbuf();

  os::SimOs machine;
  os::MachineScope scope(machine);
  ui::HeadlessPlatform platform;
  ui::Application application(platform);
  RegisterControlKinds();
  try {
    WizardStandIn form;
    ui::LoadForm(form, text.str(), path);
  } catch (const ESetupError& e) {
    std::fprintf(stderr, "formcheck: %s: %s\n", std::string(e.KindName()).c_str(), e.what());
    return 1;
  }
  return 0;
}
