// The shell operations of the platform: the command line, the application
// directory, files, the message box, opening a web address and ending the
// program. The last three leave the process or block it, so they go through
// replaceable seams that tests swap for recorders.
#pragma once

#include <QString>

#include <functional>

namespace ModAPI {

// Everything after the program name on the command line, as one unparsed
// string (the arguments joined by single blanks on systems that pass argv).
QString CommandLineText();

// The directory that holds the executable, without a trailing separator.
QString AppPath();

// True when `path` names a regular file (after following links). Directories,
// pipes, sockets and devices count as missing: reading them would block or
// make no sense.
bool IsNormalFile(const QString& path);

// True when `path` names a regular file that this process may open for
// reading. Root may read what its mode forbids; a read the system refuses
// (permissions, a file system's error) makes it false.
bool IsReadableFile(const QString& path);

// The seams. Each member may be replaced; the defaults of this library suit a
// process without a display (the message goes to stderr) until the desktop
// layer installs the real message box.
struct ShellSeams {
  // A modal message box with the OK button only and no icon; returns when closed.
  std::function<void(const QString& title, const QString& text)> messageBox;
  // Opens a web address in the desktop's browser, minimised where the desktop
  // can, without waiting for it.
  std::function<void(const QString& address)> openAddressMinimized;
  // Ends the program at once with `status`: no further events run.
  std::function<void(int status)> endProgram;
};

ShellSeams& Shell();
ShellSeams DefaultShell();

inline void MsgBox(const QString& title, const QString& text) {
  Shell().messageBox(title, text);
}
inline void OpenAddressMinimized(const QString& address) {
  Shell().openAddressMinimized(address);
}
inline void EndProgram(int status) {
  Shell().endProgram(status);
}

// The application's title, shown on its message boxes.
QString AppTitle();

// The vendor's home page: COURIER_QUERY_HOMEPAGE, or the built-in address.
QString VendorHomePage();

}  // namespace ModAPI
