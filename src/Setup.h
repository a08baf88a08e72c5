// The program entry: the start-up and shut-down order of the process, around the wizard.
#pragma once

#include <cstdint>
#include <string_view>

namespace ui {
class Platform;
}

// The text of the application window, the wizard's caption and every message box caption.
inline constexpr std::string_view kSetupTitle = "Veloquin Bulgarian Spellchecker - Setup";

// Runs the whole setup on the installed machine (os::Machine()) with the given window system
// and gives the process's exit code: 0 for every ordinary end, 1 when an error escaped the
// start-up or the closing steps (it has then been shown in the error box).
std::uint32_t RunSetup(ui::Platform& platform);

// Ends the process at once with exit code 0 when Windows ends the session: only the units
// are shut down; no settings are saved, the payload store is not destroyed and the
// temporary files stay for the next run to sweep.
[[noreturn]] void EndSessionNow();
