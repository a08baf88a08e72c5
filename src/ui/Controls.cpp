#include "ui/Controls.h"

#include <algorithm>
#include <cctype>

#include "os/Os.h"
#include "ui/Application.h"
#include "ui/Form.h"

namespace ui {

// ---- Message handlers ----------------------------------------------------------------------

bool HandleMessage(const std::function<void()>& handler) {
  try {
    handler();
    return true;
  } catch (const os::ProcessExit&) {
    throw;
  } catch (...) {
    const std::exception_ptr error = std::current_exception();
    if (Application* app = TheApplication(); app && app->GetPlatform().PassesThrough(error)) {
      throw;
    }
    if (!IsQuietError(error)) ShowErrorReport(error);
    return false;
  }
}

Platform& CurrentPlatform() {
  Application* app = TheApplication();
  if (app == nullptr) throw EInvalidOperation("No application object");
  return app->GetPlatform();
}

namespace {

bool SameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::toupper(static_cast<unsigned char>(x)) ==
           std::toupper(static_cast<unsigned char>(y));
  });
}

TForm* FormOf(const TComponent& component) {
  for (const TComponent* c = &component; c != nullptr; c = c->Owner()) {
    if (auto* form = dynamic_cast<const TForm*>(c)) return const_cast<TForm*>(form);
  }
  return nullptr;
}

}  // namespace

TNotifyEvent NotifyHandlerFor(const TComponent& component, const PropertyValue& value,
                              std::string_view property) {
  const std::string name = value.AsIdentifier(property);
  TForm* form = FormOf(component);
  if (form == nullptr) throw EFormError("no form publishes the handler " + name);
  return form->NotifyHandler(name);
}

// ---- TComponent ----------------------------------------------------------------------------

TComponent::TComponent(TComponent* owner) : owner_(owner) {
  if (owner_ != nullptr) owner_->components_.push_back(this);
}

TComponent::~TComponent() {
  DestroyComponents();
  if (owner_ != nullptr) {
    auto& list = owner_->components_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    for (TComponent* sibling : list)
      sibling->Notification(*this);
    owner_->Notification(*this);
  }
}

void TComponent::DestroyComponents() {
  while (!components_.empty())
    delete components_.back();
}

void TComponent::SetName(std::string_view name) {
  if (owner_ != nullptr && !name.empty()) {
    for (const TComponent* sibling : owner_->components_) {
      if (sibling != this && SameName(sibling->name_, name)) {
        throw EFormError("a component named " + std::string(name) + " already exists");
      }
    }
  }
  name_ = name;
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_) {
    if (SameName(c->name_, name)) return c;
  }
  return nullptr;
}

void TComponent::SetProperty(std::string_view name, const PropertyValue& value) {
  const std::string who = std::string(ClassName()) + (name_.empty() ? "" : " " + name_);
  bool known = false;
  try {
    known = ApplyProperty(name, value);
  } catch (const EFormError& e) {
    throw EFormError(who + ": " + e.what());
  }
  if (!known) throw EFormError(who + ": unknown property " + std::string(name));
}

bool TComponent::ApplyProperty(std::string_view name, const PropertyValue& value) {
  if (name == "Name") {
    SetName(value.IsText() ? value.AsText(name) : value.AsIdentifier(name));
    return true;
  }
  if (name == "Tag") {
    value.AsNumber(name);
    return true;
  }
  return false;
}

void TComponent::DeferReference(std::string name, std::function<void(TComponent&)> apply) {
  references_.emplace_back(std::move(name), std::move(apply));
}

void TComponent::ResolveReferences() {
  const TComponent* root = owner_ != nullptr ? owner_ : this;
  auto references = std::move(references_);
  references_.clear();
  for (auto& [name, apply] : references) {
    TComponent* target = root->FindComponent(name);
    if (target == nullptr && SameName(root->name_, name)) target = const_cast<TComponent*>(root);
    if (target == nullptr) {
      throw EFormError(std::string(ClassName()) + " " + name_ + ": no component named " + name);
    }
    apply(*target);
  }
}

void TComponent::EndLoading() {
  for (TComponent* c : std::vector<TComponent*>(components_))
    c->ResolveReferences();
  ResolveReferences();
  for (TComponent* c : std::vector<TComponent*>(components_))
    c->Loaded();
  Loaded();
}

// ---- TControl ------------------------------------------------------------------------------

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl() {
  if (parent_ != nullptr) parent_->RemoveControl(*this);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent == this) throw EInvalidOperation("A control cannot be its own parent");
  if (parent_ != nullptr) parent_->RemoveControl(*this);
  parent_ = parent;
  if (parent_ != nullptr) parent_->InsertControl(*this);
  if (parentFont_) FontChanged();
  if (parentColor_) ColorChanged();
}

TForm* TControl::ParentForm() const {
  for (const TControl* c = this; c != nullptr; c = c->parent_) {
    if (auto* form = dynamic_cast<const TForm*>(c)) return const_cast<TForm*>(form);
  }
  return nullptr;
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  const bool resized = width != width_ || height != height_;
  if (parent_ != nullptr && parent_->HandleAllocated() && !dynamic_cast<TWinControl*>(this)) {
    parent_->Invalidate();  // the old place
  }
  left_ = left;
  top_ = top;
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  Changed(Mirror::Bounds);
  if (resized) Resized();
  if (parent_ != nullptr && align_ != TAlign::None) parent_->Realign();
}

void TControl::SetAlign(TAlign align) {
  if (align == align_) return;
  align_ = align;
  if (parent_ != nullptr) parent_->Realign();
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Changed(Mirror::Visible);
  if (parent_ != nullptr) parent_->ChildVisibilityChanged(*this);
  if (TForm* form = ParentForm(); form != nullptr && form != this) form->CheckActiveControl();
}

bool TControl::Showing() const {
  return visible_ && parent_ != nullptr && parent_->Showing();
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Changed(Mirror::Enabled);
  if (TForm* form = ParentForm(); form != nullptr && form != this) form->CheckActiveControl();
}

bool TControl::EnabledInTree() const {
  for (const TControl* c = this; c != nullptr; c = c->parent_) {
    if (!c->enabled_) return false;
  }
  return true;
}

void TControl::SetText(std::string_view text) {
  if (text == text_) return;
  text_ = text;
  Changed(Mirror::Text);
  TextChanged();
}

TColor TControl::Color() const {
  return parentColor_ && parent_ != nullptr ? parent_->Color() : color_;
}

void TControl::SetColor(TColor color) {
  color_ = color;
  parentColor_ = false;
  ColorChanged();
}

void TControl::SetParentColor(bool value) {
  if (value == parentColor_) return;
  if (!value) color_ = Color();
  parentColor_ = value;
  ColorChanged();
}

const TFont& TControl::Font() const {
  return parentFont_ && parent_ != nullptr ? parent_->Font() : font_;
}

void TControl::SetFont(const TFont& font) {
  font_ = font;
  parentFont_ = false;
  FontChanged();
}

void TControl::SetParentFont(bool value) {
  if (value == parentFont_) return;
  if (!value) font_ = Font();
  parentFont_ = value;
  FontChanged();
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::Invalidate() {
  if (parent_ != nullptr) parent_->Invalidate();
}

char TControl::Accelerator() const {
  for (size_t i = 0; i + 1 < text_.size(); ++i) {
    if (text_[i] != '&') continue;
    if (text_[i + 1] == '&') {
      ++i;
      continue;
    }
    return static_cast<char>(std::toupper(static_cast<unsigned char>(text_[i + 1])));
  }
  return 0;
}

bool TControl::DialogChar(char /*key*/) {
  return false;
}

void TControl::Changed(Mirror /*what*/) {
  if (parent_ != nullptr && parent_->HandleAllocated()) parent_->Invalidate();
}

void TControl::FontChanged() {
  Changed(Mirror::Font);
}

void TControl::ColorChanged() {
  Changed(Mirror::Color);
}

bool TControl::ApplyProperty(std::string_view name, const PropertyValue& value) {
  using C = TControl;
  using V = const PropertyValue&;
  using N = std::string_view;
  auto withFont = [](C& c, const std::function<void(TFont&)>& change) {
    TFont font = c.Font();
    change(font);
    c.SetFont(font);
  };
  static const PropertyTable<C> table = {
      {"Left", [](C& c, V v, N n) { c.SetLeft(v.AsInt(n)); }},
      {"Top", [](C& c, V v, N n) { c.SetTop(v.AsInt(n)); }},
      {"Width", [](C& c, V v, N n) { c.SetWidth(v.AsInt(n)); }},
      {"Height", [](C& c, V v, N n) { c.SetHeight(v.AsInt(n)); }},
      {"Caption", [](C& c, V v, N n) { c.SetCaption(v.AsText(n)); }},
      {"Text", [](C& c, V v, N n) { c.SetText(v.AsText(n)); }},
      {"Align",
       [](C& c, V v, N n) {
         c.SetAlign(v.AsEnum<TAlign>(n, {{"alNone", TAlign::None},
                                         {"alTop", TAlign::Top},
                                         {"alBottom", TAlign::Bottom},
                                         {"alLeft", TAlign::Left},
                                         {"alRight", TAlign::Right},
                                         {"alClient", TAlign::Client}}));
       }},
      {"Visible", [](C& c, V v, N n) { c.SetVisible(v.AsBoolean(n)); }},
      {"Enabled", [](C& c, V v, N n) { c.SetEnabled(v.AsBoolean(n)); }},
      {"Color", [](C& c, V v, N n) { c.SetColor(v.AsColor(n)); }},
      {"ParentColor", [](C& c, V v, N n) { c.SetParentColor(v.AsBoolean(n)); }},
      {"ParentFont", [](C& c, V v, N n) { c.SetParentFont(v.AsBoolean(n)); }},
      {"Font.Name", [=](C& c, V v, N n) { withFont(c, [&](TFont& f) { f.Name = v.AsText(n); }); }},
      {"Font.Height",
       [=](C& c, V v, N n) { withFont(c, [&](TFont& f) { f.Height = v.AsInt(n); }); }},
      {"Font.Size", [=](C& c, V v, N n) { withFont(c, [&](TFont& f) { f.SetSize(v.AsInt(n)); }); }},
      {"Font.Color",
       [=](C& c, V v, N n) { withFont(c, [&](TFont& f) { f.Color = v.AsColor(n); }); }},
      {"Font.Style",
       [=](C& c, V v, N n) {
         TFontStyles style = 0;
         for (const std::string& s : v.AsSet(n)) {
           style |= PropertyValue(Identifier{s})
                        .AsEnum<TFontStyles>(n, {{"fsBold", fsBold},
                                                 {"fsItalic", fsItalic},
                                                 {"fsUnderline", fsUnderline},
                                                 {"fsStrikeOut", fsStrikeOut}});
         }
         withFont(c, [&](TFont& f) { f.Style = style; });
       }},
      {"OnClick", [](C& c, V v, N n) { c.OnClick = NotifyHandlerFor(c, v, n); }},
  };
  return table.Apply(*this, name, value) || TComponent::ApplyProperty(name, value);
}

// ---- TWinControl ---------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  while (!controls_.empty())
    delete controls_.back();
  DestroyHandle();
}

void TWinControl::InsertControl(TControl& control) {
  controls_.push_back(&control);
  if (auto* win = dynamic_cast<TWinControl*>(&control); win != nullptr && win->tabOrder_ < 0) {
    int windowed = 0;
    for (TControl* c : controls_) {
      if (c != &control && dynamic_cast<TWinControl*>(c) != nullptr) ++windowed;
    }
    win->tabOrder_ = windowed;
  }
  if (control.align_ != TAlign::None) Realign();
  if (auto* win = dynamic_cast<TWinControl*>(&control)) {
    if (HandleAllocated() && win->visible_) win->HandleNeeded();
  } else {
    Invalidate();
  }
}

void TWinControl::RemoveControl(TControl& control) {
  if (TForm* form = ParentForm()) {
    for (TWinControl* a = form->activeControl_; a != nullptr; a = a->parent_) {
      if (a == &control) {
        form->activeControl_ = nullptr;
        break;
      }
    }
  }
  controls_.erase(std::remove(controls_.begin(), controls_.end(), &control), controls_.end());
  if (auto* win = dynamic_cast<TWinControl*>(&control)) win->DestroyHandle();
  if (control.align_ != TAlign::None) Realign();
  Invalidate();
}

void TWinControl::HandleNeeded() {
  if (peer_ != nullptr || creating_) return;
  if (parent_ != nullptr) {
    parent_->HandleNeeded();
    if (peer_ != nullptr) return;  // the parent made it with its own children
  }
  CreateWnd();
}

void TWinControl::CreateWnd() {
  creating_ = true;
  try {
    peer_ = CurrentPlatform().CreatePeer(*this);
  } catch (...) {
    creating_ = false;
    throw;
  }
  creating_ = false;
  for (TControl* c : std::vector<TControl*>(controls_)) {
    if (auto* win = dynamic_cast<TWinControl*>(c); win != nullptr && win->visible_) {
      win->HandleNeeded();
    }
  }
}

os::WindowHandle TWinControl::Handle() {
  HandleNeeded();
  return peer_->Handle();
}

void TWinControl::DestroyHandle() {
  if (peer_ == nullptr) return;
  for (TControl* c : controls_) {
    if (auto* win = dynamic_cast<TWinControl*>(c)) win->DestroyHandle();
  }
  // From ~TWinControl only this class's hook runs; a class that overrides DestroyWnd must
  // destroy its handle in its own destructor to be told. None does.
  // NOLINTNEXTLINE(clang-analyzer-optin.cplusplus.VirtualCall)
  DestroyWnd();
  peer_.reset();
}

void TWinControl::SetTabOrder(int order) {
  tabOrder_ = std::max(order, 0);
}

bool TWinControl::CanFocus() const {
  const TForm* form = ParentForm();
  if (form == nullptr) return false;
  for (const TControl* c = this; c != form; c = c->parent_) {
    if (!c->visible_ || !c->enabled_) return false;
  }
  return true;
}

bool TWinControl::Focused() const {
  const TForm* form = ParentForm();
  return form != nullptr && form->activeControl_ == this;
}

void TWinControl::SetFocus() {
  TForm* form = ParentForm();
  if (form == nullptr) throw EInvalidOperation("Cannot focus a control without a form");
  if (form == this) {
    form->SetActiveControl(nullptr);
    return;
  }
  form->SetActiveControl(this);
}

bool TWinControl::SetTimer(unsigned id, unsigned interval) {
  HandleNeeded();
  return peer_->SetTimer(id, interval);
}

void TWinControl::KillTimer(unsigned id) {
  if (peer_ != nullptr) peer_->KillTimer(id);
}

void TWinControl::PaintWindow(TCanvas& canvas) {
  Paint(canvas);
  for (TControl* c : controls_) {
    if (dynamic_cast<TWinControl*>(c) != nullptr || !c->visible_) continue;
    canvas.PushClip(c->BoundsRect());
    try {
      c->Paint(canvas);
    } catch (...) {
      canvas.PopClip();
      throw;
    }
    canvas.PopClip();
  }
}

// Aligned children share the align rectangle in their order: top and bottom ones take full
// rows, then left and right ones full columns of what remains, and a client one the rest.
// Among children of one alignment the one nearer the edge goes first.
void TWinControl::Realign() {
  if (aligning_) return;
  aligning_ = true;
  TRect r = AlignRect();
  auto place = [&](TAlign align) {
    std::vector<TControl*> list;
    for (TControl* c : controls_) {
      if (c->align_ == align && c->visible_) list.push_back(c);
    }
    std::stable_sort(list.begin(), list.end(), [align](TControl* a, TControl* b) {
      switch (align) {
        case TAlign::Top:
          return a->top_ < b->top_;
        case TAlign::Bottom:
          return a->top_ + a->height_ > b->top_ + b->height_;
        case TAlign::Left:
          return a->left_ < b->left_;
        case TAlign::Right:
          return a->left_ + a->width_ > b->left_ + b->width_;
        default:
          return false;
      }
    });
    for (TControl* c : list) {
      switch (align) {
        case TAlign::Top:
          c->SetBounds(r.Left, r.Top, r.Width(), c->height_);
          r.Top += c->height_;
          break;
        case TAlign::Bottom:
          c->SetBounds(r.Left, r.Bottom - c->height_, r.Width(), c->height_);
          r.Bottom -= c->height_;
          break;
        case TAlign::Left:
          c->SetBounds(r.Left, r.Top, c->width_, r.Height());
          r.Left += c->width_;
          break;
        case TAlign::Right:
          c->SetBounds(r.Right - c->width_, r.Top, c->width_, r.Height());
          r.Right -= c->width_;
          break;
        case TAlign::Client:
          c->SetBounds(r.Left, r.Top, r.Width(), r.Height());
          break;
        case TAlign::None:
          break;
      }
    }
  };
  try {
    for (TAlign a : {TAlign::Top, TAlign::Bottom, TAlign::Left, TAlign::Right, TAlign::Client}) {
      place(a);
    }
  } catch (...) {
    aligning_ = false;
    throw;
  }
  aligning_ = false;
}

void TWinControl::Invalidate() {
  if (peer_ != nullptr) peer_->Invalidate();
}

void TWinControl::ChildVisibilityChanged(TControl& child) {
  if (child.align_ != TAlign::None) Realign();
}

void TWinControl::Changed(Mirror what) {
  if (what == Mirror::Visible && visible_ && peer_ == nullptr) {
    // Made visible: its window follows. A child's window is made visible as it is; a form's
    // is made hidden and then shown.
    const bool parentReady =
        parent_ != nullptr ? parent_->HandleAllocated() : dynamic_cast<TForm*>(this) != nullptr;
    if (parentReady) {
      HandleNeeded();
      if (parent_ != nullptr) return;
    }
  }
  if (peer_ != nullptr) peer_->Update(what);
}

void TWinControl::FontChanged() {
  TControl::FontChanged();
  for (TControl* c : controls_) {
    if (c->parentFont_) c->FontChanged();
  }
}

void TWinControl::ColorChanged() {
  TControl::ColorChanged();
  Invalidate();
  for (TControl* c : controls_) {
    if (c->parentColor_) c->ColorChanged();
  }
}

void TWinControl::Resized() {
  Realign();
}

void TWinControl::WmSetFocus() {
  TForm* form = ParentForm();
  if (form == nullptr || form == this) return;
  if (form->activeControl_ != this) {
    form->activeControl_ = this;
    form->UpdateDefaultButtons();
  }
}

void TWinControl::WmTimer(unsigned id) {
  HandleMessage([&] { WMTimer(id); });
}

void TWinControl::WmPaint(TCanvas& canvas) {
  HandleMessage([&] { PaintWindow(canvas); });
}

bool TWinControl::ApplyProperty(std::string_view name, const PropertyValue& value) {
  using C = TWinControl;
  using V = const PropertyValue&;
  using N = std::string_view;
  static const PropertyTable<C> table = {
      {"TabOrder", [](C& c, V v, N n) { c.SetTabOrder(v.AsInt(n)); }},
      {"TabStop", [](C& c, V v, N n) { c.SetTabStop(v.AsBoolean(n)); }},
  };
  return table.Apply(*this, name, value) || TControl::ApplyProperty(name, value);
}

}  // namespace ui
