#include "ui/Application.h"

#include <algorithm>

#include "Setup.h"
#include "ui/Controls.h"
#include "ui/Form.h"

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

void Application::PopModal(TForm& form) {
  modalForms_.erase(std::remove(modalForms_.begin(), modalForms_.end(), &form), modalForms_.end());
}

bool Application::QueryEndSession() {
  TForm* form = ModalForm();
  if (form == nullptr) return true;
  bool allowed = false;
  HandleMessage([&] { allowed = form->CloseQuery(); });
  return allowed;
}

void Application::EndSession(bool ending) {
  if (!ending) return;
  if (OnEndSession) {
    OnEndSession();
  } else {
    EndSessionNow();
  }
}

Application* TheApplication() {
  return current;
}

}  // namespace ui
