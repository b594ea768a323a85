// The places where the program cannot do its work at all, what it says
// there, and its exit status then.
#pragma once

#include <QString>

namespace CannotRun {

// The window could not be opened, or no number was looked up, because of
// where the program runs.
constexpr int kExitStatus = 2;

// The window finds no display to open on.
QString noDisplay();

// The browser engine would refuse to start: root's rights with its sandbox on.
QString asRootWithSandbox();

// `message` after the program's name, as it goes to standard error.
QString line(const QString& message);

// Writes line(message) to standard error on a line of its own, at once;
// what a terminal would act on is shown as escapes (TerminalText).
void report(const QString& message);

}  // namespace CannotRun
