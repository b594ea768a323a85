// The desktop's side of the shell seams.
#pragma once

#include <QString>

#include <memory>

class QMessageBox;
class QWidget;

namespace ModAPI {

// The message box the shell shows: the OK button only, no icon, and the text
// shown as plain text, whatever it looks like. It belongs to `owner` and is
// centred on it; without one, on the screen.
std::unique_ptr<QMessageBox> MakeMessageBox(const QString& title, const QString& text,
                                            QWidget* owner = nullptr);

// The window a message box belongs to: the active one, else the first shown
// top-level window; null when none is shown.
QWidget* MessageBoxOwner();

// Loads the toolkit's own texts (button texts, the text boxes' context
// menus) in Chinese, whatever the system's language: every text the window
// shows is Chinese. False when the translations are not installed; the
// texts then stay English.
bool InstallChineseToolkitTexts();

// Installs the real message box. When COURIER_QUERY_SHELL_LOG names a file,
// the message box and the opener of web addresses instead append one line
// each to that file ("messagebox<TAB>title<TAB>text", "open<TAB>address") and
// return at once, so that whole-program tests run without blocking or
// starting a browser. Ending the program is left as it is.
void InstallDesktopShell();

}  // namespace ModAPI
