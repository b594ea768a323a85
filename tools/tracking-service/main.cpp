// tracking-service: the reference courier-tracking web service that
// courier-query queries on loopback. See README.md for options and data format.
#include "TrackingData.h"
#include "TrackingServer.h"

#include <httplib.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <thread>

namespace {

constexpr const char* kUsage =
    "usage: tracking-service [--host ADDR] [--port N] [--data FILE]\n"
    "  --host ADDR  address to listen on (default 127.0.0.1)\n"
    "  --port N     port to listen on, 0 for any free one (default 8765)\n"
    "  --data FILE  shipment data (default: shipments.tsv beside the executable)\n"
    "  --help       show this text\n";

struct Options {
  std::string host = "127.0.0.1";
  int port = 8765;
  std::filesystem::path data;
  bool help = false;
};

std::filesystem::path defaultDataFile() {
  std::error_code error;
  const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
  return executable.parent_path() / "shipments.tsv";
}

std::optional<int> parsePort(std::string_view text) {
  int port = -1;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
  if (error != std::errc() || end != text.data() + text.size() || port < 0 || port > 65535) {
    return std::nullopt;
  }
  return port;
}

// Parses the command line; on a fault writes it to stderr and returns nothing.
std::optional<Options> parseOptions(int argc, char** argv) {
  Options options;
  options.data = defaultDataFile();
  for (int i = 1; i < argc; ++i) {
    const std::string_view option = argv[i];
    if (option == "--help" || option == "-h") {
      options.help = true;
      continue;
    }
    if (option != "--host" && option != "--port" && option != "--data") {
      std::cerr << "tracking-service: unknown option \"" << option << "\"\n" << kUsage;
      return std::nullopt;
    }
    if (i + 1 == argc) {
      std::cerr << "tracking-service: " << option << " needs a value\n" << kUsage;
      return std::nullopt;
    }
    const std::string_view value = argv[++i];
    if (option == "--host") {
      options.host = value;
    } else if (option == "--data") {
      options.data = value;
    } else if (const auto port = parsePort(value)) {
      options.port = *port;
    } else {
      std::cerr << "tracking-service: bad port \"" << value << "\", expected 0..65535\n";
      return std::nullopt;
    }
  }
  return options;
}

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

// Binds `server` to `port`, or to a free port when `port` is 0; returns the
// bound port, or -1.
int bindServer(httplib::Server& server, const std::string& host, int port) {
  if (port == 0) return server.bind_to_any_port(host);
  return server.bind_to_port(host, port) ? port : -1;
}

int serve(const Options& options, const TrackingService::ShipmentTable& shipments) {
  httplib::Server server;
  TrackingService::installHandlers(server, shipments);
  TrackingService::useExclusivePortWithoutDelay(server);
  server.set_logger([](const httplib::Request& request, const httplib::Response& response) {
    const auto line = TrackingService::formatLogLine(request, response);
    std::fwrite(line.data(), 1, line.size(), stderr);  // one call per line: no interleaving
  });
  StopOnSignal stopper(server);

  errno = 0;
  const int port = bindServer(server, options.host, options.port);
  if (port <= 0) {
    std::cerr << "tracking-service: cannot listen on " << baseAddress(options.host, options.port)
              << (errno ? std::string(": ") + std::strerror(errno) : std::string()) << '\n';
    return 1;
  }
  std::cerr << "tracking-service: " << shipments.size() << " shipments from "
            << options.data.string() << ", listening on " << baseAddress(options.host, port)
            << std::endl;
  server.listen_after_bind();
  if (stopper.received() == 0) {
    std::cerr << "tracking-service: the server stopped accepting connections\n";
    return 1;
  }
  std::cerr << "tracking-service: stopped by signal " << stopper.received() << std::endl;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const auto options = parseOptions(argc, argv);
  if (!options) return 2;
  if (options->help) {
    std::cout << kUsage;
    return 0;
  }
  const auto loaded = TrackingService::loadTrackingData(options->data);
  if (loaded.error) {
    std::cerr << "tracking-service: " << options->data.string();
    if (loaded.error->line > 0) std::cerr << ':' << loaded.error->line;
    std::cerr << ": " << loaded.error->message << '\n';
    return 1;
  }
  return serve(*options, loaded.shipments);
}
