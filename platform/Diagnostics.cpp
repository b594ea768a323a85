#include "Diagnostics.h"

#include "EngineEnvironment.h"

#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace ModAPI {
namespace {

QtMessageHandler& quietPrevious() {
  static QtMessageHandler handler = nullptr;
  return handler;
}

void dropBelowFatal(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtFatalMsg) quietPrevious()(type, context, message);
}

struct Explanation {
  QByteArray text;
  int status = 0;
  QtMessageHandler previous = nullptr;
};

Explanation& explained() {
  static Explanation explanation;
  return explanation;
}

void explainFatal(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  const Explanation& explanation = explained();
  if (type != QtFatalMsg || DiagnosticsWanted()) explanation.previous(type, context, message);
  if (type != QtFatalMsg) return;
  std::fwrite(explanation.text.constData(), 1, explanation.text.size(), stderr);
  std::fflush(nullptr);
  std::_Exit(explanation.status);
}

}  // namespace

bool DiagnosticsWanted() {
  const QByteArray value = qgetenv(kDebugVariable);
  return !value.isEmpty() && value != "0";
}

void InstallQuietDiagnostics() {
  if (DiagnosticsWanted()) return;
  quietPrevious() = qInstallMessageHandler(dropBelowFatal);
  QuietEngineLog();
}

FatalErrorExplained::FatalErrorExplained(const QString& explanation, int status) {
  explained() = {(explanation + QLatin1Char('\n')).toUtf8(), status,
                 qInstallMessageHandler(explainFatal)};
}

FatalErrorExplained::~FatalErrorExplained() {
  qInstallMessageHandler(explained().previous);
}

}  // namespace ModAPI
