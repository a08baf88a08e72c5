// A window system without windows, for the native tests: it keeps what the program asked of
// it so that a test can read it back.
#pragma once

#include <string>

#include "ui/Platform.h"

namespace ui {

class HeadlessPlatform : public Platform {
 public:
  void InitCommonControls() override { ++commonControlsInitialised; }
  std::unique_ptr<ApplicationPeer> CreateApplicationPeer() override;

  int commonControlsInitialised = 0;
  // What the application window shows; kept after the window is gone.
  std::string applicationText;
  int applicationBigIcon = 0;
  bool applicationWindowExists = false;
};

}  // namespace ui
