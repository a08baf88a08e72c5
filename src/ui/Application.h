// The application object: the hidden application window that owns the program's forms, with
// the title and icon that the task bar shows. There is at most one at a time.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "ui/Platform.h"

namespace ui {

class Application {
 public:
  explicit Application(Platform& platform);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  Platform& GetPlatform() const { return platform_; }
  os::WindowHandle Handle() const;

  const std::string& Title() const { return title_; }
  void SetTitle(std::string_view title);

  // The icon group resource used as the big icon; 0 while none is set.
  int IconId() const { return iconId_; }
  void SetIcon(int id);

 private:
  Platform& platform_;
  std::unique_ptr<ApplicationPeer> peer_;
  std::string title_;
  int iconId_ = 0;
};

// The application object of the process, or nullptr before it exists and after it is gone.
Application* TheApplication();

}  // namespace ui
