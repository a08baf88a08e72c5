// The window system behind the class library. The controls keep their state in their own
// objects; a platform gives them real windows (Win32) or none at all (headless, for the
// native tests). Everything the class library needs of a window system is asked here.
#pragma once

#include <memory>
#include <string_view>

#include "os/Types.h"

namespace ui {

// The hidden top-level window of the application object; its title and icon are what the
// task bar shows while one of the program's windows is visible.
class ApplicationPeer {
 public:
  virtual ~ApplicationPeer() = default;
  virtual os::WindowHandle Handle() const = 0;
  virtual void SetText(std::string_view text) = 0;
  // Loads the icon group resource `id` at the large size and sends it as the big icon.
  virtual void SetBigIcon(int id) = 0;
};

class Platform {
 public:
  virtual ~Platform() = default;
  // Initialises the common controls for all their classes.
  virtual void InitCommonControls() = 0;
  virtual std::unique_ptr<ApplicationPeer> CreateApplicationPeer() = 0;
};

}  // namespace ui
