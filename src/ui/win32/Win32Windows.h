// The real windows of the controls: one peer per windowed control, the window procedures
// that turn the system's messages into the controls' Wm* calls, and the keyboard handling
// of a modal form's loop.
#pragma once

#include <exception>
#include <memory>

#include "ui/Platform.h"
#include "ui/win32/WinHeaders.h"

namespace ui {

class TWinControl;
class TForm;

std::unique_ptr<ControlPeer> CreateWin32Peer(TWinControl& control);

// The window styles of a form: its border style and border icons.
void FormStyles(const TForm& form, DWORD& style, DWORD& exStyle);

// The handle of a control's window, or nullptr when it has none.
HWND WindowOf(const TWinControl& control);

// Handles the keys a form takes itself (Tab, Enter, Esc, accelerators) for a message bound
// for the form or one of its controls; true when the message was used up.
bool HandleDialogMessage(TForm& form, const MSG& message);

// An error that escaped a window procedure, kept to be raised again once the system has
// returned from the message: errors never unwind through the system's own frames.
void KeepWindowProcError(std::exception_ptr error);
void RethrowWindowProcError();

}  // namespace ui
