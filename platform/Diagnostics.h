// What the toolkit and the browser engine say for developers, and the
// toolkit's fatal errors. Users of the program read only its own texts on
// standard error; COURIER_QUERY_DEBUG brings the rest back.
#pragma once

#include <QByteArray>
#include <QString>

namespace ModAPI {

inline constexpr char kDebugVariable[] = "COURIER_QUERY_DEBUG";

// True when COURIER_QUERY_DEBUG is set to anything but "" or "0".
bool DiagnosticsWanted();

// Unless DiagnosticsWanted(): drops the toolkit's messages below fatal
// errors (its own and the engine's, which reach standard error through
// it), and has the engine log only its fatal errors (QuietEngineLog). Call
// at the start of main, before the application and the engine start. Texts
// the program writes to standard error itself are not touched, nor are
// what other libraries print there directly.
void InstallQuietDiagnostics();

// While one lives, a fatal error of the toolkit writes `explanation` (and
// a line end) to standard error and ends the process with `status`, instead
// of the toolkit's own message and abort: for the one call where such an
// error has a cause the user can mend, such as creating the application
// object without a display. With DiagnosticsWanted(), the toolkit's message
// comes first. Not nested.
class FatalErrorExplained {
 public:
  FatalErrorExplained(const QString& explanation, int status);
  ~FatalErrorExplained();
  FatalErrorExplained(const FatalErrorExplained&) = delete;
  FatalErrorExplained& operator=(const FatalErrorExplained&) = delete;
};

}  // namespace ModAPI
