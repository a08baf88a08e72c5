// The class library's Win32 window system.
#pragma once

#include "ui/Platform.h"

namespace ui {

class Win32Platform : public Platform {
 public:
  void InitCommonControls() override;
  std::unique_ptr<ApplicationPeer> CreateApplicationPeer() override;
};

}  // namespace ui
