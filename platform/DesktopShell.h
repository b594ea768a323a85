// The desktop's side of the shell seams.
#pragma once

#include <QString>

#include <memory>

class QMessageBox;

namespace ModAPI {

// The message box the shell shows: the OK button only, no icon, and the text
// shown as plain text, whatever it looks like.
std::unique_ptr<QMessageBox> MakeMessageBox(const QString& title, const QString& text);

// Installs the real message box. When COURIER_QUERY_SHELL_LOG names a file,
// the message box and the opener of web addresses instead append one line
// each to that file ("messagebox<TAB>title<TAB>text", "open<TAB>address") and
// return at once, so that whole-program tests run without blocking or
// starting a browser. Ending the program is left as it is.
void InstallDesktopShell();

}  // namespace ModAPI
