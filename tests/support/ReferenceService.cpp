#include "ReferenceService.h"

// The service names its address at the end of its first line on stderr, and
// then logs a line per request there, which is read and dropped so that its
// pipe never fills.
ReferenceService::ReferenceService() {
  process_.setReadChannel(QProcess::StandardError);
  process_.start(QStringLiteral(COURIER_QUERY_TRACKING_SERVICE),
                 {QStringLiteral("--port"), QStringLiteral("0")});
  while (process_.canReadLine() || process_.waitForReadyRead(10000)) {
    const QString line = QString::fromUtf8(process_.readLine());
    const qsizetype at = line.lastIndexOf(QLatin1String("http://"));
    if (at >= 0) {
      base_ = line.mid(at).trimmed();
      break;
    }
  }
  QObject::connect(&process_, &QProcess::readyReadStandardError,
                   [this] { process_.readAllStandardError(); });
}

ReferenceService::~ReferenceService() {
  process_.terminate();
  process_.waitForFinished();
}
