// The tracking service as its own process, as `scripts/run` starts it: on a
// free loopback port, with a fresh database of its own that holds the sample
// shipments.
#pragma once

#include "ServiceProcess.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

class ReferenceService {
 public:
  // Starts the service, with `options` added to its command line (such as
  // --delay-ms 200), and waits until it names its address.
  explicit ReferenceService(const std::vector<std::string>& options = {});

  // The address to query, "http://127.0.0.1:PORT"; empty when the service
  // did not start.
  const QString& base() const { return base_; }

 private:
  QTemporaryDir folder_;  // the database
  std::unique_ptr<ServiceProcess> process_;
  QString base_;
};
