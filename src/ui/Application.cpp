#include "ui/Application.h"

namespace ui {
namespace {
Application* current = nullptr;
}

Application::Application(Platform& platform)
    : platform_(platform), peer_(platform.CreateApplicationPeer()) {
  current = this;
  platform_.InitCommonControls();
}

Application::~Application() {
  if (current == this) current = nullptr;
}

os::WindowHandle Application::Handle() const {
  return peer_->Handle();
}

void Application::SetTitle(std::string_view title) {
  title_ = title;
  peer_->SetText(title_);
}

void Application::SetIcon(int id) {
  iconId_ = id;
  peer_->SetBigIcon(id);
}

Application* TheApplication() {
  return current;
}

}  // namespace ui
