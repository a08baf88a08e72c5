// The class library's Win32 window system: real windows for the controls, the modal loop of
// a form with the keyboard of a dialog, and the hidden application window.
#pragma once

#include <memory>
#include <vector>

#include "ui/Platform.h"

namespace ui {

class Win32Platform : public Platform {
 public:
  Win32Platform();
  ~Win32Platform() override;

  void InitCommonControls() override;
  void ShowWaitCursor() override;
  std::unique_ptr<ApplicationPeer> CreateApplicationPeer() override;
  std::unique_ptr<ControlPeer> CreatePeer(TWinControl& control) override;
  void BeginModal(TForm& form) override;
  void HandleNextMessage(TForm& form) override;
  void EndModal(TForm& form) override;
  TCanvas& MeasureCanvas() override;
  TSize ScreenSize() override;
  FrameExtents FormFrame(const TForm& form) override;
  bool ThemesActive() override;

 private:
  // The windows each running modal loop disabled, to enable again at its end.
  std::vector<std::vector<os::WindowHandle>> disabled_;
  std::unique_ptr<TCanvas> measure_;
  std::uintptr_t measureDc_ = 0;
};

}  // namespace ui
