// A window built by the form loader from the description in its resource SHOWCASE, with
// each of the twelve control kinds, for the Wine test: the driver reads its windows back,
// works its controls and takes a screenshot. Go counts its clicks in the status box; a new
// folder in the list goes into the edit box; Check compares the place of every window with
// the bounds the description gave its control and shows the outcome in the status box.
// Exit code 0 when closed, 1 after an error (shown in the error box).
#include <windows.h>

#include <exception>
#include <string>

#include "ControlKinds.h"
#include "Errors.h"
#include "FileCtrl.h"
#include "os/Machine.h"
#include "os/win32/Win32Os.h"
#include "ui/FormLoader.h"
#include "ui/Ui.h"
#include "ui/win32/Win32Platform.h"

namespace {

class TShowcaseForm : public ui::TForm {
 public:
  TShowcaseForm() : ui::TForm(nullptr) {
    Publish("GoClick", [this](ui::TObject*) { Status("clicked " + std::to_string(++clicks_)); });
    Publish("CheckClick", [this](ui::TObject*) { Status(CheckLayout()); });
    Publish("FolderChange", [this](ui::TObject*) {
      Control<ui::TEdit>("FolderEdt").SetText(Control<TDirectoryListBox>("FolderLst").Folder());
    });
    ui::LoadFormFromResource(*this, "SHOWCASE");
    Control<ui::TImage>("Picture").Picture().LoadFromResourceName("OPENFOLDER");
    Control<TDirectoryListBox>("FolderLst").SetFolder("C:\\windows");
  }

  std::string_view ClassName() const override { return "TShowcaseForm"; }

 private:
  void Status(const std::string& text) { Control<ui::TEdit>("StatusEdt").SetText(text); }

  // Every control with a window: where the window lies in its parent's client area against
  // the control's bounds. A drop-down list's window is as high as its closed field.
  std::string CheckLayout() {
    int checked = 0;
    for (int i = 0; i < ComponentCount(); ++i) {
      auto* control = dynamic_cast<ui::TWinControl*>(Components(i));
      if (control == nullptr || !control->HandleAllocated()) continue;
      const HWND window = reinterpret_cast<HWND>(control->Handle());
      RECT r;
      GetWindowRect(window, &r);
      MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
      const bool sameHeight =
          control->Kind() == ui::WindowKind::ComboBox || r.bottom - r.top == control->Height();
      if (r.left != control->Left() || r.top != control->Top() ||
          r.right - r.left != control->Width() || !sameHeight) {
        return "layout: " + control->Name() + " at " + std::to_string(r.left) + "," +
               std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
               std::to_string(r.bottom - r.top) + ", described " + std::to_string(control->Left()) +
               "," + std::to_string(control->Top()) + " " + std::to_string(control->Width()) + "x" +
               std::to_string(control->Height());
      }
      ++checked;
    }
    return "layout: " + std::to_string(checked) + " windows in place";
  }

  int clicks_ = 0;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  os::Win32Os machine;
  os::MachineScope scope(machine);
  ui::Win32Platform platform;
  std::uint32_t code = 0;
  try {
    ui::Application application(platform);
    application.SetTitle("Form showcase");
    RegisterControlKinds();
    TShowcaseForm form;
    form.ShowModal();
  } catch (...) {
    ShowErrorReport(std::current_exception());
    code = 1;
  }
  machine.ExitProcess(code);
}
