// The desktop's side of the shell seams.
#pragma once

namespace ModAPI {

// Installs the real message box. When COURIER_QUERY_SHELL_LOG names a file,
// the message box and the opener of web addresses instead append one line
// each to that file ("messagebox<TAB>title<TAB>text", "open<TAB>address") and
// return at once, so that whole-program tests run without blocking or
// starting a browser. Ending the program is left as it is.
void InstallDesktopShell();

}  // namespace ModAPI
