// What the browser engine reads from the process's environment when it
// starts: whether it runs at all here, and how much it logs. The engine
// starts long after main, so the program can check and adjust both first.
#pragma once

#include <QByteArray>

namespace ModAPI {

// The engine's command-line switches (QTWEBENGINE_CHROMIUM_FLAGS, separated
// by blanks) name `name`, with "--" or "-" before it and optionally
// "=value" after it, as the engine reads them.
bool HasEngineSwitch(const QByteArray& switches, const QByteArray& name);

// Adds "--log-level=3" (fatal errors only) to QTWEBENGINE_CHROMIUM_FLAGS,
// unless the switches there already choose a level. The engine passes the
// level on to its helper processes.
void QuietEngineLog();

// Whether the engine's sandbox is switched off: QTWEBENGINE_DISABLE_SANDBOX
// is set (to anything, as the engine reads it), or --no-sandbox is among
// QTWEBENGINE_CHROMIUM_FLAGS.
bool EngineSandboxSwitchedOff();

// The engine refuses to start with root's rights and its sandbox on: it
// then ends the whole process with a line of its own and status 1.
bool EngineRefusesToStart();

}  // namespace ModAPI
