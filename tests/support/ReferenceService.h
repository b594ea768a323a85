// The reference tracking service as its own process, as `scripts/run` starts
// it, on a free loopback port.
#pragma once

#include <QProcess>
#include <QString>

class ReferenceService {
 public:
  // Starts the service and waits until it names its address.
  ReferenceService();
  ~ReferenceService();

  // The address to query, "http://127.0.0.1:PORT"; empty when the service
  // did not start.
  const QString& base() const { return base_; }
  qint64 processId() const { return process_.processId(); }

 private:
  QProcess process_;
  QString base_;
};
