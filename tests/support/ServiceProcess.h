// The built tracking service, courier-query-service, as its own process. A
// thread of its own reads everything the service writes on stderr, so that
// its log never fills the pipe, whatever the test does meanwhile, and so
// that a test can wait for a line of it.
#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <csignal>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class ServiceProcess {
 public:
  // Starts `binary` with `arguments`, and `environment` (NAME=VALUE) added to
  // the test's own, and waits until the service names the address it listens
  // on or ends.
  ServiceProcess(const std::string& binary, const std::vector<std::string>& arguments,
                 const std::vector<std::string>& environment = {});
  // Stops the service with SIGTERM when it still runs.
  ~ServiceProcess();
  ServiceProcess(const ServiceProcess&) = delete;
  ServiceProcess& operator=(const ServiceProcess&) = delete;

  // "http://127.0.0.1:PORT", as the service named it; empty when it did not
  // start.
  const std::string& base() const { return base_; }
  int port() const { return port_; }
  pid_t pid() const { return pid_; }

  // Everything it wrote on stderr so far.
  std::string log() const;
  // Waits until its log holds `text`, at most `boundMs`; false when it does
  // not by then.
  bool waitForLog(const std::string& text, int boundMs = 30000) const;

  // Sends `signal`, waits for the end and returns its exit status, or 128
  // plus the signal that ended it.
  int stop(int signal = SIGTERM);

 private:
  void readLog(int pipe);

  pid_t pid_ = -1;
  std::string base_;
  int port_ = 0;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::string log_;
  bool ended_ = false;  // its stderr reached its end
  std::thread reader_;
};
