// The class library's Win32 window system.
#pragma once

#include "ui/Platform.h"

namespace ui {

class Win32Platform : public Platform {
 public:
  void InitCommonControls() override;
  std::unique_ptr<ApplicationPeer> CreateApplicationPeer() override;
  // Windows of the controls are not made yet by this build.
  std::unique_ptr<ControlPeer> CreatePeer(TWinControl& control) override;
  void BeginModal(TForm& form) override;
  void HandleNextMessage(TForm& form) override;
  void EndModal(TForm& form) override;
  TCanvas& MeasureCanvas() override;
  TSize ScreenSize() override;
  FrameExtents FormFrame(const TForm& form) override;
  bool ThemesActive() override { return true; }
};

}  // namespace ui
