// courier-query-service: the courier-tracking web service that courier-query
// queries. See README.md and courier-query-service.8 for its options, its
// settings and its requests.
#include "Config.h"
#include "DatabaseAddress.h"
#include "ImportFile.h"
#include "Storage.h"
#include "Tokens.h"
#include "TrackingServer.h"

#include <QCoreApplication>

#include <httplib.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <thread>

using namespace TrackingService;

namespace {

std::string baseAddress(const std::string& host, int port) {
  const bool ipv6 = host.find(':') != std::string::npos;
  return "http://" + (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

// Blocks SIGINT and SIGTERM in the calling thread and in every thread started
// after it, and waits for them on a thread of its own: the first one stops
// `server`. Construct it before the server starts its workers; destroy it
// after the server's listen loop has returned.
class StopOnSignal {
 public:
  explicit StopOnSignal(httplib::Server& server) : server_(server) {
    sigemptyset(&signals_);
    sigaddset(&signals_, SIGINT);
    sigaddset(&signals_, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals_, nullptr);
    waiter_ = std::thread([this] { waitAndStop(); });
  }
  ~StopOnSignal() {
    done_ = true;
    pthread_kill(waiter_.native_handle(), SIGTERM);  // wakes the waiter when no signal came
    waiter_.join();
  }
  int received() const { return received_; }

 private:
  void waitAndStop() {
    int signal = 0;
    sigwait(&signals_, &signal);
    if (done_) return;
    received_ = signal;
    // The listen loop may not have begun yet, and stop() does nothing until it has.
    while (!server_.is_running() && !done_) std::this_thread::yield();
    server_.stop();
  }

  httplib::Server& server_;
  sigset_t signals_;
  std::atomic<bool> done_ = false;
  std::atomic<int> received_ = 0;
  std::thread waiter_;
};

std::optional<Tokens> readTokens(const Settings& settings) {
  if (settings.tokenFile.empty()) {
    logMessage("no TokenFile: POST /api/events refuses every request");
    return Tokens();
  }
  std::string fault;
  auto tokens = Tokens::read(settings.tokenFile, fault);
  if (!tokens) {
    logMessage(fault);
  } else {
    logMessage(std::to_string(tokens->size()) + (tokens->size() == 1 ? " token" : " tokens") +
               " from " + settings.tokenFile.string() + " may send events");
  }
  return tokens;
}

// Imports `file` when the database holds no event yet; false after a fault.
bool seed(Storage& storage, const std::filesystem::path& file) {
  std::string fault;
  if (!storage.isEmpty(fault)) {
    if (!fault.empty())
      logMessage("cannot read the " + storage.address().description() + ": " + fault);
    return fault.empty();
  }
  const auto outcome = importFile(storage, file);
  if (!outcome.fault.empty()) {
    logMessage(outcome.fault);
    return false;
  }
  logMessage("imported " + eventCount(outcome.stored.added) + " from " + file.string());
  return true;
}

int serve(const Settings& settings, Storage& storage) {
  const auto tokens = readTokens(settings);
  if (!tokens) return 1;
  httplib::Server server;
  configureServer(server, settings.threads);
  installHandlers(server, storage, *tokens, settings.answerDelay);
  StopOnSignal stopper(server);

  errno = 0;
  const int port = bindServer(server, settings.host, settings.port);
  if (port <= 0) {
    logMessage("cannot listen on " + baseAddress(settings.host, settings.port) +
               (errno ? std::string(": ") + std::strerror(errno) : std::string()));
    return 1;
  }
  logMessage(storage.address().description() + ", listening on " +
             baseAddress(settings.host, port));
  server.listen_after_bind();
  if (stopper.received() == 0) {
    logMessage("the server stopped accepting connections");
    return 1;
  }
  logMessage("stopped by signal " + std::to_string(stopper.received()));
  return 0;
}

int import(Storage& storage, const std::filesystem::path& file) {
  const auto outcome = importFile(storage, file);
  if (!outcome.fault.empty()) {
    logMessage(outcome.fault + "; nothing was imported");
    return 1;
  }
  std::cout << file.string() << ": " << eventCount(outcome.stored.added) << " added, "
            << outcome.stored.known << " already stored\n";
  return 0;
}

// Qt's own warnings (such as a database driver's about a lost connection)
// go to the log as single lines, as the service's own do.
void logQtMessage(QtMsgType, const QMessageLogContext&, const QString& message) {
  logMessage("Qt: " + message.simplified().toStdString());
}

std::unique_ptr<Storage> openStorage(const Settings& settings) {
  const auto address = parseDatabaseAddress(settings.database);
  if (!address.fault.empty()) {
    logMessage("Database " + settings.database + ": " + address.fault);
    return nullptr;
  }
  std::string fault;
  auto storage = Storage::open(address.address, fault);
  if (!storage) logMessage(fault);
  return storage;
}

}  // namespace

int main(int argc, char** argv) {
  // Qt SQL finds its database drivers through the application object.
  QCoreApplication application(argc, argv);
  qInstallMessageHandler(logQtMessage);
  const auto parsed = parseCommandLine(argc, argv);
  if (!parsed.fault.empty()) {
    std::cerr << "courier-query-service: " << parsed.fault << '\n' << kUsage;
    return 2;
  }
  const CommandLine& line = parsed.commandLine;
  if (line.command == Command::Help) {
    std::cout << kUsage;
    return 0;
  }
  std::string fault;
  const auto settings = resolveSettings(line, fault);
  if (!settings) {
    logMessage(fault);
    return 1;
  }
  const auto storage = openStorage(*settings);
  if (!storage) return 1;
  if (line.command == Command::Import) return import(*storage, line.importFile);
  if (line.seedFile && !seed(*storage, *line.seedFile)) return 1;
  return serve(*settings, *storage);
}
