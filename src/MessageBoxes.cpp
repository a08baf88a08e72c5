#include "MessageBoxes.h"

#include "InstUtils.h"
#include "Setup.h"
#include "os/Machine.h"
#include "ui/Application.h"

namespace {

constexpr std::uint16_t kEnglishUnitedStates = 1033;

std::uint32_t IconStyle(std::uint8_t dialogType) {
  switch (dialogType) {
    case mtWarning:
      return os::kMbIconWarning;
    case mtInformation:
      return os::kMbIconInformation;
    case mtConfirmation:
      return os::kMbIconQuestion;
    default:
      return os::kMbIconError;
  }
}

// The whole set is compared, first equal set wins; anything else gets OK alone.
std::uint32_t ButtonStyle(TMsgDlgButtons buttons) {
  struct Choice {
    TMsgDlgButtons set;
    std::uint32_t style;
  };
  static constexpr Choice kChoices[] = {
      {mbAbort | mbRetry | mbIgnore, os::kMbAbortRetryIgnore},
      {mbOK | mbCancel, os::kMbOkCancel},
      {mbRetry | mbCancel, os::kMbRetryCancel},
      {mbYes | mbNo, os::kMbYesNo},
      {mbYes | mbNo | mbCancel, os::kMbYesNoCancel},
  };
  for (const Choice& choice : kChoices) {
    if (choice.set == buttons) return choice.style;
  }
  return os::kMbOk;
}

int Answer(int result) {
  switch (result) {
    case os::kIdCancel:
    case os::kIdAbort:
    case os::kIdRetry:
    case os::kIdIgnore:
    case os::kIdYes:
    case os::kIdNo:
      return result;
    default:
      return mrOk;
  }
}

}  // namespace

std::uint32_t MessageBoxStyle(std::uint8_t dialogType, TMsgDlgButtons buttons) {
  return IconStyle(dialogType) | ButtonStyle(buttons) | os::kMbTaskModal;
}

int ShowMessageBox(const std::string& text, std::uint8_t dialogType, TMsgDlgButtons buttons) {
  const ui::Application* application = ui::TheApplication();
  const os::WindowHandle owner = application != nullptr ? application->Handle() : 0;
  const int result =
      os::Machine().MessageBoxExW(owner, WidePath(text), WidePath(std::string(kSetupTitle)),
                                  MessageBoxStyle(dialogType, buttons), kEnglishUnitedStates);
  return Answer(result);
}
