// Tray mode: a hidden window "ZR_OSTREL_TRAY_CLASS" with a notification-area icon that waits
// for the user to open (resume downloading) or quit.
#pragma once

namespace installer {

enum class TrayChoice { kOpen, kQuit };

extern const char kTrayClass[];
constexpr unsigned kTrayCallback = 0x0411;

// Shows the icon (waiting for the task bar) and runs the window's loop until the user chooses.
TrayChoice RunTray();

}  // namespace installer
