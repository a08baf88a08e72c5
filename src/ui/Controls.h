// Components and controls: the owner tree (who frees whom, who finds whom by name), the
// parent tree (who sits inside whom), the published properties by name, the window of a
// windowed control, and the running of message handlers with the program's error routing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/Classes.h"
#include "ui/Graphics.h"
#include "ui/Platform.h"
#include "ui/Properties.h"

namespace ui {

class TControl;
class TWinControl;
class TForm;

using TNotifyEvent = std::function<void(TObject* sender)>;

// Runs a handler of a window message (a click, the timer, painting). An error that escapes
// it ends the handler: the quiet error is dropped without a word, any other is shown in the
// general error box, and the caller's message loop goes on. The end of the process
// (os::ProcessExit) and the test harness's own errors pass through. Gives whether the
// handler ran to its end.
bool HandleMessage(const std::function<void()>& handler);

// The platform of the application object; EInvalidOperation when there is none.
Platform& CurrentPlatform();

// Something with an owner and a name. An owner frees the components it owns when it is
// freed, and finds them by name.
class TComponent : public TObject {
 public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  virtual std::string_view ClassName() const { return "TComponent"; }

  const std::string& Name() const { return name_; }
  // Names are unique among the components of one owner, compared without regard to case.
  void SetName(std::string_view name);
  TComponent* Owner() const { return owner_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const { return components_.at(static_cast<size_t>(index)); }
  TComponent* FindComponent(std::string_view name) const;

  // Sets a published property by its name; EFormError names the component and the
  // property when the name is unknown or the value is of the wrong sort.
  void SetProperty(std::string_view name, const PropertyValue& value);

  // A property that names another component of the same owner: the name is resolved when
  // the owner has finished loading (see EndLoading), so that it may name a later one.
  void DeferReference(std::string name, std::function<void(TComponent&)> apply);
  // Ends the loading of a description: resolves the references of every owned component
  // and of the owner itself (EFormError for a name that is not there), then tells each
  // component through Loaded.
  void EndLoading();

 protected:
  // The class's own property table, then its base's. False for a name no table knows.
  virtual bool ApplyProperty(std::string_view name, const PropertyValue& value);
  virtual void Loaded() {}
  // Told to every component of an owner when one of them is freed.
  virtual void Notification(TComponent& /*removed*/) {}
  // Frees the owned components, last first. A derived class whose destructor must not run
  // with them gone calls it first.
  void DestroyComponents();

 private:
  void ResolveReferences();

  std::string name_;
  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  std::vector<std::pair<std::string, std::function<void(TComponent&)>>> references_;
};

// How a control places itself in its parent.
enum class TAlign { None, Top, Bottom, Left, Right, Client };

// A thing on screen: a place in a parent, a size, a caption, a colour, a font, states.
// A plain control has no window of its own; its parent paints it (see Paint).
class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  std::string_view ClassName() const override { return "TControl"; }

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);
  // The form this control is on (the control itself for a form), or nullptr.
  TForm* ParentForm() const;

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  // The area in the control's own coordinates in which its contents lie.
  virtual TRect ClientRect() const { return {0, 0, width_, height_}; }
  int ClientWidth() const { return ClientRect().Width(); }
  int ClientHeight() const { return ClientRect().Height(); }

  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, on a parent that is showing (a form shows when it is visible).
  virtual bool Showing() const;

  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);
  // Enabled, on a parent that is enabled in turn.
  bool EnabledInTree() const;

  // Caption and Text are one value: the words the control shows.
  const std::string& Caption() const { return text_; }
  void SetCaption(std::string_view caption) { SetText(caption); }
  const std::string& Text() const { return text_; }
  void SetText(std::string_view text);

  // The colour of the control's background; its parent's while ParentColor is set.
  TColor Color() const;
  void SetColor(TColor color);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool value);

  // The control's font; its parent's while ParentFont is set.
  const TFont& Font() const;
  void SetFont(const TFont& font);
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool value);

  TNotifyEvent OnClick;
  // Fires OnClick.
  virtual void Click();

  // Paints the control with its top-left corner at the canvas's origin.
  virtual void Paint(TCanvas& /*canvas*/) {}
  // Paints the control again: its own window or, for a plain control, its parent's.
  virtual void Invalidate();

  // The character that follows a single "&" in the caption, upper-cased; 0 when none.
  char Accelerator() const;

 protected:
  bool ApplyProperty(std::string_view name, const PropertyValue& value) override;
  // Tells the window (or the parent that paints this control) about a change.
  virtual void Changed(Mirror what);
  // The control's font or colour changed, its own or inherited.
  virtual void FontChanged();
  virtual void ColorChanged();
  // The control's bounds changed.
  virtual void Resized() {}
  // The caption (text) changed.
  virtual void TextChanged() {}
  // Sets the text without the hooks: for a control whose window reported it.
  void StoreText(std::string_view text) { text_ = text; }
  // The accelerator of this control was pressed; true when it acted on it.
  virtual bool DialogChar(char key);

  int left_ = 0;
  int top_ = 0;
  int width_ = 0;
  int height_ = 0;

 private:
  friend class TWinControl;
  friend class TForm;

  TWinControl* parent_ = nullptr;
  TAlign align_ = TAlign::None;
  bool visible_ = true;
  bool enabled_ = true;
  std::string text_;
  TColor color_ = clBtnFace;
  bool parentColor_ = true;
  TFont font_;
  bool parentFont_ = true;
};

// A control with a window of its own, which may hold other controls. Its window is made
// when first needed: when its form is shown, or when something asks for its handle; the
// windows of its visible children follow.
class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner);
  // Frees the child controls with it (whoever owns them).
  ~TWinControl() override;

  std::string_view ClassName() const override { return "TWinControl"; }
  virtual WindowKind Kind() const { return WindowKind::Container; }

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  // The child controls, bottom first (the order of painting and of creation).
  TControl* Controls(int index) const { return controls_.at(static_cast<size_t>(index)); }

  bool HandleAllocated() const { return peer_ != nullptr; }
  // Makes the window (and its parents' before it) when it does not exist yet.
  void HandleNeeded();
  os::WindowHandle Handle();
  ControlPeer* Peer() const { return peer_.get(); }
  void DestroyHandle();

  int TabOrder() const { return tabOrder_; }
  void SetTabOrder(int order);
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool value) { tabStop_ = value; }
  // Visible and enabled, and so is every parent up to the form.
  bool CanFocus() const;
  bool Focused() const;
  // Makes this control its form's active control; EInvalidOperation when it cannot take
  // the focus.
  virtual void SetFocus();
  // Whether the control takes the Enter key itself (a multi-line text box).
  virtual bool WantsReturns() const { return false; }

  // A window timer of this control's window (made when needed); its messages go to
  // WMTimer. Starting an id again replaces it.
  bool SetTimer(unsigned id, unsigned interval);
  void KillTimer(unsigned id);

  // Paints the control's own area and then its plain (windowless) children on top.
  void PaintWindow(TCanvas& canvas);
  // Places the aligned children again.
  void Realign();
  // The area that aligned children share, in client coordinates.
  virtual TRect AlignRect() const { return ClientRect(); }

  void Invalidate() override;

  // ---- What the window system reports (each runs as a message handler) -------------------
  void WmSetFocus();
  void WmTimer(unsigned id);
  void WmPaint(TCanvas& canvas);

 protected:
  bool ApplyProperty(std::string_view name, const PropertyValue& value) override;
  // Makes the window, then the windows of the visible children. An override calls this
  // first and then does what needs the window.
  virtual void CreateWnd();
  // Told just before the window is destroyed.
  virtual void DestroyWnd() {}
  // The timer message.
  virtual void WMTimer(unsigned /*id*/) {}
  void Changed(Mirror what) override;
  void FontChanged() override;
  void ColorChanged() override;
  void Resized() override;

 private:
  friend class TControl;
  friend class TForm;
  void InsertControl(TControl& control);
  void RemoveControl(TControl& control);
  void ChildVisibilityChanged(TControl& child);

  std::vector<TControl*> controls_;
  std::unique_ptr<ControlPeer> peer_;
  int tabOrder_ = -1;
  bool tabStop_ = false;
  bool aligning_ = false;
  bool creating_ = false;
};

// The handler that an event property names (OnClick = BNClick): published by the form
// that owns `component` (or is it). EFormError when there is none of that name.
TNotifyEvent NotifyHandlerFor(const TComponent& component, const PropertyValue& value,
                              std::string_view property);

// A way to make each control kind from its name: `T` made with an owner.
template <typename T>
TControl* CreateControl(TComponent* owner) {
  return new T(owner);
}
using ControlFactory = TControl* (*)(TComponent* owner);

}  // namespace ui
