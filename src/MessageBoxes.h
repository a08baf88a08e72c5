// The one way the setup speaks to the user: a task-modal message box with the setup's
// caption, an icon chosen by the dialog type and buttons chosen by a set of button kinds.
#pragma once

#include <cstdint>
#include <string>

// Dialog types (the icon).
enum TMsgDlgType : std::uint8_t {
  mtWarning = 0,
  mtError = 1,
  mtInformation = 2,
  mtConfirmation = 3,
};

// Button kinds, one bit each; a set is their sum.
using TMsgDlgButtons = std::uint16_t;
inline constexpr TMsgDlgButtons mbYes = 1;
inline constexpr TMsgDlgButtons mbNo = 2;
inline constexpr TMsgDlgButtons mbOK = 4;
inline constexpr TMsgDlgButtons mbCancel = 8;
inline constexpr TMsgDlgButtons mbAbort = 16;
inline constexpr TMsgDlgButtons mbRetry = 32;
inline constexpr TMsgDlgButtons mbIgnore = 64;

// Answers.
inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;
inline constexpr int mrAbort = 3;
inline constexpr int mrRetry = 4;
inline constexpr int mrIgnore = 5;
inline constexpr int mrYes = 6;
inline constexpr int mrNo = 7;

// Shows `text` (lines separated by "\r") and gives the pressed button; a box that could not
// be shown counts as OK. Owned by the application window when the application object exists.
int ShowMessageBox(const std::string& text, std::uint8_t dialogType, TMsgDlgButtons buttons);

// The style bits for a dialog type and a button set, as the box is asked for.
std::uint32_t MessageBoxStyle(std::uint8_t dialogType, TMsgDlgButtons buttons);
