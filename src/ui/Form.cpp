#include "ui/Form.h"

#include <algorithm>

#include "ui/Application.h"
#include "ui/StdControls.h"

namespace ui {

namespace {

// The controls that Tab visits, in tab order: each windowed child by its tab order, and
// the controls inside it right after it.
void CollectTabOrder(const TWinControl& parent, std::vector<TWinControl*>& list) {
  std::vector<TWinControl*> children;
  for (int i = 0; i < parent.ControlCount(); ++i) {
    if (auto* win = dynamic_cast<TWinControl*>(parent.Controls(i))) children.push_back(win);
  }
  std::stable_sort(children.begin(), children.end(),
                   [](TWinControl* a, TWinControl* b) { return a->TabOrder() < b->TabOrder(); });
  for (TWinControl* child : children) {
    list.push_back(child);
    CollectTabOrder(*child, list);
  }
}

// Every control of the form, parents before their children, bottom first.
void CollectAll(const TWinControl& parent, std::vector<TControl*>& list) {
  for (int i = 0; i < parent.ControlCount(); ++i) {
    TControl* c = parent.Controls(i);
    list.push_back(c);
    if (auto* win = dynamic_cast<TWinControl*>(c)) CollectAll(*win, list);
  }
}

}  // namespace

TForm::TForm(TComponent* owner) : TWinControl(owner) {
  visible_ = false;
  SetParentFont(false);
  SetColor(clBtnFace);
}

TForm::~TForm() {
  DestroyHandle();
  while (ControlCount() > 0)
    delete Controls(ControlCount() - 1);
  DestroyComponents();
}

int TForm::ShowModal() {
  if (modal_ || Visible()) throw EInvalidOperation("Cannot make a visible window modal");
  Application* app = TheApplication();
  if (app == nullptr) throw EInvalidOperation("No application object");
  Platform& platform = app->GetPlatform();

  UpdateOuterSize();
  if (position_ == TPosition::ScreenCenter) {
    const TSize screen = platform.ScreenSize();
    SetBounds((screen.cx - Width()) / 2, (screen.cy - Height()) / 2, Width(), Height());
  }
  HandleNeeded();
  modalResult_ = mrNone;
  modal_ = true;
  app->PushModal(*this);
  // Whatever way the loop ends, the other windows are enabled again and the form hidden.
  // The application object is looked up afresh: the end of a session frees it on the way.
  struct Leave {
    TForm& form;
    Platform& platform;
    ~Leave() {
      platform.EndModal(form);
      form.SetVisible(false);
      if (Application* current = TheApplication()) current->PopModal(form);
      form.modal_ = false;
    }
  } leave{*this, platform};

  platform.BeginModal(*this);
  SetVisible(true);
  if (activeControl_ != nullptr && activeControl_->CanFocus()) {
    SetActiveControl(activeControl_);
  } else {
    activeControl_ = nullptr;
    SelectNext(true);
  }
  UpdateDefaultButtons();

  do {
    platform.HandleNextMessage(*this);
    // The close query runs outside any message handler: its errors leave the loop.
    if (modalResult_ != mrNone && !CloseQuery()) modalResult_ = mrNone;
  } while (modalResult_ == mrNone);
  return modalResult_;
}

void TForm::Close() {
  if (modal_) {
    modalResult_ = mrCancel;
  } else if (CloseQuery()) {
    Hide();
  }
}

bool TForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TForm::SetClientSize(int width, int height) {
  clientWidth_ = std::max(width, 0);
  clientHeight_ = std::max(height, 0);
  UpdateOuterSize();
  Realign();
}

void TForm::SetBounds(int left, int top, int width, int height) {
  FrameExtents frame;
  if (Application* app = TheApplication()) frame = app->GetPlatform().FormFrame(*this);
  const int clientWidth = std::max(width - frame.left - frame.right, 0);
  const int clientHeight = std::max(height - frame.top - frame.bottom, 0);
  const bool resized = clientWidth != clientWidth_ || clientHeight != clientHeight_;
  clientWidth_ = clientWidth;
  clientHeight_ = clientHeight;
  TWinControl::SetBounds(left, top, width, height);
  if (resized) Realign();
}

void TForm::UpdateOuterSize() {
  FrameExtents frame;
  if (Application* app = TheApplication()) frame = app->GetPlatform().FormFrame(*this);
  TWinControl::SetBounds(left_, top_, clientWidth_ + frame.left + frame.right,
                         clientHeight_ + frame.top + frame.bottom);
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
  borderStyle_ = style;
  UpdateOuterSize();
}

void TForm::SetActiveControl(TWinControl* control) {
  if (control != nullptr && (control->ParentForm() != this || !control->CanFocus())) {
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  }
  activeControl_ = control;
  if (Visible() && HandleAllocated()) {
    if (control != nullptr) {
      control->HandleNeeded();
      control->Peer()->Focus();
    } else {
      Peer()->Focus();
    }
  }
  UpdateDefaultButtons();
}

void TForm::CheckActiveControl() {
  if (activeControl_ == nullptr) return;
  if (activeControl_->ParentForm() == this && activeControl_->CanFocus()) return;
  activeControl_ = nullptr;
  if (Visible() && HandleAllocated()) Peer()->Focus();
  UpdateDefaultButtons();
}

void TForm::SelectNext(bool forward) {
  std::vector<TWinControl*> order;
  CollectTabOrder(*this, order);
  std::vector<TWinControl*> stops;
  for (TWinControl* c : order) {
    if (c->TabStop() && c->CanFocus()) stops.push_back(c);
  }
  if (stops.empty()) return;
  auto at = std::find(stops.begin(), stops.end(), activeControl_);
  size_t next = 0;
  if (at == stops.end()) {
    next = forward ? 0 : stops.size() - 1;
  } else {
    const size_t i = static_cast<size_t>(at - stops.begin());
    next = forward ? (i + 1) % stops.size() : (i + stops.size() - 1) % stops.size();
  }
  SetActiveControl(stops[next]);
}

TButton* TForm::ActiveDefaultButton() const {
  if (auto* focused = dynamic_cast<TButton*>(activeControl_)) return focused;
  std::vector<TControl*> all;
  CollectAll(*this, all);
  for (TControl* c : all) {
    auto* button = dynamic_cast<TButton*>(c);
    if (button != nullptr && button->Default()) return button;
  }
  return nullptr;
}

void TForm::UpdateDefaultButtons() {
  TButton* active = ActiveDefaultButton();
  std::vector<TControl*> all;
  CollectAll(*this, all);
  for (TControl* c : all) {
    if (auto* button = dynamic_cast<TButton*>(c)) button->SetActiveDefault(button == active);
  }
}

void TForm::WmClose() {
  HandleMessage([&] { Close(); });
}

bool TForm::WmDialogKey(DialogKey key, bool shift) {
  switch (key) {
    case DialogKey::Tab:
      HandleMessage([&] { SelectNext(!shift); });
      return true;
    case DialogKey::Enter: {
      if (activeControl_ != nullptr && activeControl_->WantsReturns()) return false;
      TButton* button = ActiveDefaultButton();
      if (button == nullptr || !button->CanFocus()) return false;
      HandleMessage([&] { button->Click(); });
      return true;
    }
    case DialogKey::Escape: {
      std::vector<TControl*> all;
      CollectAll(*this, all);
      for (TControl* c : all) {
        auto* button = dynamic_cast<TButton*>(c);
        if (button != nullptr && button->Cancel() && button->CanFocus()) {
          HandleMessage([&] { button->Click(); });
          return true;
        }
      }
      return false;
    }
  }
  return false;
}

bool TForm::WmDialogChar(char letter) {
  const char key = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  std::vector<TControl*> all;
  CollectAll(*this, all);
  bool handled = false;
  HandleMessage([&] {
    for (TControl* c : all) {
      if (c->Showing() && c->DialogChar(key)) {
        handled = true;
        return;
      }
    }
  });
  return handled;
}

void TForm::Publish(std::string name, TNotifyEvent handler) {
  notifyHandlers_[std::move(name)] = std::move(handler);
}

void TForm::PublishCloseQuery(std::string name, TCloseQueryEvent handler) {
  closeQueryHandlers_[std::move(name)] = std::move(handler);
}

TNotifyEvent TForm::NotifyHandler(std::string_view name) const {
  const auto it = notifyHandlers_.find(name);
  if (it == notifyHandlers_.end()) {
    throw EFormError(std::string(ClassName()) + " publishes no handler " + std::string(name));
  }
  return it->second;
}

TCloseQueryEvent TForm::CloseQueryHandler(std::string_view name) const {
  const auto it = closeQueryHandlers_.find(name);
  if (it == closeQueryHandlers_.end()) {
    throw EFormError(std::string(ClassName()) + " publishes no close query " + std::string(name));
  }
  return it->second;
}

void TForm::ThrowMissing(std::string_view name) const {
  throw EFormError(std::string(ClassName()) + " has no control " + std::string(name) +
                   " of the kind asked for");
}

bool TForm::ApplyProperty(std::string_view name, const PropertyValue& value) {
  using C = TForm;
  using V = const PropertyValue&;
  using N = std::string_view;
  static const PropertyTable<C> table = {
      {"ClientWidth", [](C& c, V v, N n) { c.SetClientSize(v.AsInt(n), c.clientHeight_); }},
      {"ClientHeight", [](C& c, V v, N n) { c.SetClientSize(c.clientWidth_, v.AsInt(n)); }},
      {"BorderStyle",
       [](C& c, V v, N n) {
         c.SetBorderStyle(
             v.AsEnum<TFormBorderStyle>(n, {{"bsNone", TFormBorderStyle::None},
                                            {"bsSingle", TFormBorderStyle::Single},
                                            {"bsSizeable", TFormBorderStyle::Sizeable},
                                            {"bsDialog", TFormBorderStyle::Dialog},
                                            {"bsToolWindow", TFormBorderStyle::ToolWindow},
                                            {"bsSizeToolWin", TFormBorderStyle::SizeToolWin}}));
       }},
      {"BorderIcons",
       [](C& c, V v, N n) {
         TBorderIcons icons = 0;
         for (const std::string& s : v.AsSet(n)) {
           icons |= PropertyValue(Identifier{s})
                        .AsEnum<TBorderIcons>(n, {{"biSystemMenu", biSystemMenu},
                                                  {"biMinimize", biMinimize},
                                                  {"biMaximize", biMaximize},
                                                  {"biHelp", biHelp}});
         }
         c.SetBorderIcons(icons);
       }},
      {"Position",
       [](C& c, V v, N n) {
         c.SetPosition(v.AsEnum<TPosition>(n, {{"poDesigned", TPosition::Designed},
                                               {"poScreenCenter", TPosition::ScreenCenter}}));
       }},
      {"OnCloseQuery",
       [](C& c, V v, N n) { c.OnCloseQuery = c.CloseQueryHandler(v.AsIdentifier(n)); }},
      {"ActiveControl",
       [](C& c, V v, N n) {
         c.DeferReference(v.AsIdentifier(n), [&c](TComponent& target) {
           auto* control = dynamic_cast<TWinControl*>(&target);
           if (control == nullptr) throw EFormError(target.Name() + " cannot take the focus");
           c.activeControl_ = control;
         });
       }},
  };
  return table.Apply(*this, name, value) || TWinControl::ApplyProperty(name, value);
}

}  // namespace ui
