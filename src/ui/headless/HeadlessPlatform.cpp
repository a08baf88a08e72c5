#include "ui/headless/HeadlessPlatform.h"

#include <algorithm>

#include "os/sim/SimOs.h"
#include "ui/Application.h"

namespace ui {

namespace {

class HeadlessApplicationPeer : public ApplicationPeer {
 public:
  explicit HeadlessApplicationPeer(HeadlessPlatform& platform) : platform_(platform) {
    platform_.applicationWindowExists = true;
  }
  ~HeadlessApplicationPeer() override { platform_.applicationWindowExists = false; }
  os::WindowHandle Handle() const override { return kHandle; }
  void SetText(std::string_view text) override { platform_.applicationText = text; }
  void SetBigIcon(int id) override { platform_.applicationBigIcon = id; }

  static constexpr os::WindowHandle kHandle = 0x10010;

 private:
  HeadlessPlatform& platform_;
};

std::string Describe(const TControl& control) {
  return std::string(control.ClassName()) + (control.Name().empty() ? "" : " " + control.Name());
}

}  // namespace

// The stand-in for a window: a handle number, the control's timers, and for a form its part
// in whether the application window shows.
class HeadlessControlPeer : public ControlPeer {
 public:
  HeadlessControlPeer(HeadlessPlatform& platform, TWinControl& control, os::WindowHandle handle)
      : platform_(platform), control_(control), handle_(handle) {
    form_ = dynamic_cast<const TForm*>(&control);
    if (form_ != nullptr) platform_.forms_.push_back(form_);
  }
  ~HeadlessControlPeer() override {
    auto& timers = platform_.timers_;
    timers.erase(std::remove_if(timers.begin(), timers.end(),
                                [&](const auto& t) { return t.control == &control_; }),
                 timers.end());
    if (form_ != nullptr) {
      auto& forms = platform_.forms_;
      forms.erase(std::remove(forms.begin(), forms.end(), form_), forms.end());
      platform_.FormVisibilityChanged();
    }
  }
  os::WindowHandle Handle() const override { return handle_; }
  void Update(Mirror what) override {
    if (what == Mirror::Visible && form_ != nullptr) platform_.FormVisibilityChanged();
  }
  void Invalidate() override {}
  void Focus() override {}
  bool SetTimer(unsigned id, unsigned interval) override {
    KillTimer(id);
    platform_.timers_.push_back({&control_, id, interval});
    return true;
  }
  void KillTimer(unsigned id) override {
    auto& timers = platform_.timers_;
    timers.erase(
        std::remove_if(timers.begin(), timers.end(),
                       [&](const auto& t) { return t.control == &control_ && t.id == id; }),
        timers.end());
  }

 private:
  HeadlessPlatform& platform_;
  TWinControl& control_;
  const TForm* form_ = nullptr;
  os::WindowHandle handle_;
};

HeadlessPlatform::~HeadlessPlatform() = default;

std::unique_ptr<ApplicationPeer> HeadlessPlatform::CreateApplicationPeer() {
  return std::make_unique<HeadlessApplicationPeer>(*this);
}

std::unique_ptr<ControlPeer> HeadlessPlatform::CreatePeer(TWinControl& control) {
  return std::make_unique<HeadlessControlPeer>(*this, control, nextHandle_++);
}

void HeadlessPlatform::FormVisibilityChanged() {
  applicationWindowVisible =
      std::any_of(forms_.begin(), forms_.end(), [](const TForm* f) { return f->Visible(); });
}

void HeadlessPlatform::BeginModal(TForm& /*form*/) {
  ++modalDepth;
  ++modalLoopsEntered;
}

void HeadlessPlatform::EndModal(TForm& /*form*/) {
  --modalDepth;
}

void HeadlessPlatform::HandleNextMessage(TForm& form) {
  if (steps_.empty()) {
    throw EHeadlessScript("the script has no step left while " + Describe(form) +
                          " waits in its modal loop");
  }
  auto step = std::move(steps_.front());
  steps_.pop_front();
  step();
}

TCanvas& HeadlessPlatform::MeasureCanvas() {
  measure_.calls.clear();
  return measure_;
}

FrameExtents HeadlessPlatform::FormFrame(const TForm& form) {
  switch (form.BorderStyle()) {
    case TFormBorderStyle::None:
      return {};
    case TFormBorderStyle::ToolWindow:
    case TFormBorderStyle::SizeToolWin:
      return {3, 19, 3, 3};
    default:
      return {3, 22, 3, 3};
  }
}

bool HeadlessPlatform::PassesThrough(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const EHeadlessScript&) {
    return true;
  } catch (const os::UnexpectedMessageBox&) {
    return true;  // the scripted user had no answer: the test ends, not the handler
  } catch (...) {
    return false;
  }
}

void HeadlessPlatform::Script(std::function<void()> step) {
  steps_.push_back(std::move(step));
}

void HeadlessPlatform::Script(std::initializer_list<std::function<void()>> steps) {
  for (const auto& step : steps)
    steps_.push_back(step);
}

TForm& HeadlessPlatform::RequireModalForm(std::string_view action) const {
  Application* app = TheApplication();
  TForm* form = app != nullptr ? app->ModalForm() : nullptr;
  if (form == nullptr) throw EHeadlessScript("cannot " + std::string(action) + ": no modal form");
  return *form;
}

void HeadlessPlatform::RequireReachable(const TControl& control, std::string_view action) const {
  const std::string what = std::string(action) + " " + Describe(control);
  if (!control.Showing()) throw EHeadlessScript("cannot " + what + ": it is not showing");
  if (!control.EnabledInTree()) throw EHeadlessScript("cannot " + what + ": it is disabled");
  Application* app = TheApplication();
  TForm* modal = app != nullptr ? app->ModalForm() : nullptr;
  if (modal != nullptr && control.ParentForm() != modal) {
    throw EHeadlessScript("cannot " + what + ": another form is modal");
  }
}

void HeadlessPlatform::Click(TControl& control) {
  RequireReachable(control, "click");
  auto* win = dynamic_cast<TWinControl*>(&control);
  if (win != nullptr && win->TabStop() && win->CanFocus()) win->WmSetFocus();
  if (auto* button = dynamic_cast<TButton*>(&control)) {
    button->WmClicked();
  } else if (auto* check = dynamic_cast<TCheckBox*>(&control)) {
    check->WmClicked(!check->Checked());
  } else {
    HandleMessage([&] { control.Click(); });
  }
}

void HeadlessPlatform::Type(TEdit& edit, std::string_view text) {
  RequireReachable(edit, "type into");
  if (edit.ReadOnly()) throw EHeadlessScript("cannot type into " + Describe(edit) + ": read-only");
  edit.WmSetFocus();
  edit.WmTextChanged(text);
}

void HeadlessPlatform::Pick(TCustomListControl& list, int index) {
  RequireReachable(list, "pick from");
  if (index < 0 || index >= list.Items().Count()) {
    throw EHeadlessScript("cannot pick item " + std::to_string(index) + " of " + Describe(list) +
                          ": it has " + std::to_string(list.Items().Count()));
  }
  list.WmSetFocus();
  list.WmSelChange(index);
}

void HeadlessPlatform::DoubleClick(TCustomListBox& list) {
  RequireReachable(list, "double-click");
  list.WmDblClick();
}

void HeadlessPlatform::Focus(TWinControl& control) {
  RequireReachable(control, "focus");
  if (!control.CanFocus()) throw EHeadlessScript("cannot focus " + Describe(control));
  control.WmSetFocus();
}

bool HeadlessPlatform::PressKey(DialogKey key, bool shift) {
  return RequireModalForm("press a key").WmDialogKey(key, shift);
}

bool HeadlessPlatform::PressAlt(char letter) {
  return RequireModalForm("press Alt").WmDialogChar(letter);
}

void HeadlessPlatform::PressCloseBox() {
  TForm& form = RequireModalForm("press the close box");
  if ((form.BorderIcons() & biSystemMenu) == 0 || form.BorderStyle() == TFormBorderStyle::None) {
    throw EHeadlessScript("cannot press the close box: " + Describe(form) + " has none");
  }
  form.WmClose();
}

void HeadlessPlatform::TickTimers() {
  const std::vector<Timer> timers = timers_;
  for (const Timer& timer : timers) {
    // A handler may have killed a timer that was still to tick.
    const bool running = std::any_of(timers_.begin(), timers_.end(), [&](const Timer& t) {
      return t.control == timer.control && t.id == timer.id;
    });
    if (running) const_cast<TWinControl*>(timer.control)->WmTimer(timer.id);
  }
}

bool HeadlessPlatform::TimerRunning(const TWinControl& control, unsigned id) const {
  return TimerInterval(control, id) != 0;
}

unsigned HeadlessPlatform::TimerInterval(const TWinControl& control, unsigned id) const {
  for (const Timer& t : timers_) {
    if (t.control == &control && t.id == id) return t.interval;
  }
  return 0;
}

bool HeadlessPlatform::EndSession() {
  Application* app = TheApplication();
  if (app == nullptr) throw EHeadlessScript("cannot end the session: no application object");
  const bool allowed = app->QueryEndSession();
  app->EndSession(allowed);
  return allowed;
}

void HeadlessPlatform::Paint(TWinControl& control, TCanvas& canvas) {
  control.WmPaint(canvas);
}

void HeadlessPlatform::PaintItems(TCustomListBox& list, TCanvas& canvas) {
  for (int i = 0; i < list.Items().Count(); ++i) {
    TOwnerDrawState state = list.EnabledInTree() ? 0 : odDisabled;
    if (i == list.ItemIndex()) state |= odSelected | (list.Focused() ? odFocused : 0);
    list.WmDrawItem(canvas, i, list.ItemRect(i), state);
  }
}

void HeadlessPlatform::PaintField(TCustomComboBox& combo, TCanvas& canvas) {
  TOwnerDrawState state = odComboBoxEdit | (combo.EnabledInTree() ? 0 : odDisabled);
  if (combo.Focused()) state |= odSelected | odFocused;
  combo.WmDrawItem(canvas, combo.ItemIndex(), combo.FieldRect(), state);
}

void HeadlessPlatform::PaintDropDown(TCustomComboBox& combo, TCanvas& canvas) {
  for (int i = 0; i < combo.Items().Count(); ++i) {
    const TOwnerDrawState state = i == combo.ItemIndex() ? odSelected | odFocused : 0;
    combo.WmDrawItem(canvas, i, combo.ItemRect(i), state);
  }
}

}  // namespace ui
