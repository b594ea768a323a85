#include "EngineEnvironment.h"

#include "Process.h"

#include <QList>
#include <QtGlobal>

namespace ModAPI {
namespace {

constexpr char kEngineSwitches[] = "QTWEBENGINE_CHROMIUM_FLAGS";

}  // namespace

bool HasEngineSwitch(const QByteArray& switches, const QByteArray& name) {
  for (QByteArray word : switches.simplified().split(' ')) {
    if (!word.startsWith('-')) continue;
    word = word.mid(word.startsWith("--") ? 2 : 1);
    if (word == name || word.startsWith(name + '=')) return true;
  }
  return false;
}

void QuietEngineLog() {
  const QByteArray switches = qgetenv(kEngineSwitches);
  if (HasEngineSwitch(switches, "log-level")) return;
  qputenv(kEngineSwitches, (switches + " --log-level=3").trimmed());
}

bool EngineSandboxSwitchedOff() {
  return qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX") ||
         HasEngineSwitch(qgetenv(kEngineSwitches), "no-sandbox");
}

bool EngineRefusesToStart() {
  return RunsWithRootsRights() && !EngineSandboxSwitchedOff();
}

}  // namespace ModAPI
