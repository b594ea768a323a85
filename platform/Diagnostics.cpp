#include "Diagnostics.h"

#include "EngineEnvironment.h"

#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace ModAPI {
namespace {

QtMessageHandler& QuietPrevious() {
  static QtMessageHandler handler = nullptr;
  return handler;
}

void DropBelowFatal(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtFatalMsg) QuietPrevious()(type, context, message);
}

struct Explanation {
  QByteArray text;
  int status = 0;
  QtMessageHandler previous = nullptr;
};

Explanation& Explained() {
  static Explanation explanation;
  return explanation;
}

void ExplainFatal(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  const Explanation& explanation = Explained();
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
  QuietPrevious() = qInstallMessageHandler(DropBelowFatal);
  QuietEngineLog();
}

FatalErrorExplained::FatalErrorExplained(const QString& explanation, int status) {
  Explained() = {(explanation + QLatin1Char('\n')).toUtf8(), status,
                 qInstallMessageHandler(ExplainFatal)};
}

FatalErrorExplained::~FatalErrorExplained() {
  qInstallMessageHandler(Explained().previous);
}

}  // namespace ModAPI
