// The application object: the hidden application window that owns the program's forms, with
// the title and icon that the task bar shows, the stack of modal forms, and the end of a
// Windows session. There is at most one at a time.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/Platform.h"

namespace ui {

class TForm;

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

  // The form whose modal loop runs innermost, or nullptr.
  TForm* ModalForm() const { return modalForms_.empty() ? nullptr : modalForms_.back(); }
  void PushModal(TForm& form) { modalForms_.push_back(&form); }
  void PopModal(TForm& form);

  // ---- The end of a Windows session, as the application window is told of it ---------------
  // WM_QUERYENDSESSION: whether the session may end. The modal form's close query answers
  // (it runs as a message handler; an error in it refuses); without one the answer is yes.
  bool QueryEndSession();
  // WM_ENDSESSION: when the session does end, OnEndSession runs; by default the program's
  // EndSessionNow, which ends the process without returning.
  void EndSession(bool ending);
  std::function<void()> OnEndSession;

 private:
  Platform& platform_;
  std::unique_ptr<ApplicationPeer> peer_;
  std::string title_;
  int iconId_ = 0;
  std::vector<TForm*> modalForms_;
};

// The application object of the process, or nullptr before it exists and after it is gone.
Application* TheApplication();

}  // namespace ui
