#include "TestServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <utility>

namespace {

constexpr auto kHoldBound = std::chrono::seconds(20);

}  // namespace

TestServer::TestServer() {
  // The engine keeps connections open; idle ones must not take every worker.
  server_.new_task_queue = [] { return new httplib::ThreadPool(32); };
  server_.set_keep_alive_max_count(1);
  server_.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
    Count(request);
    return httplib::Server::HandlerResponse::Unhandled;
  });
}

TestServer::~TestServer() {
  Release();
  server_.stop();
  if (thread_.joinable()) thread_.join();
}

void TestServer::Serve(const std::string& path, const std::string& body, const std::string& type) {
  server_.Get(path, [body, type](const httplib::Request&, httplib::Response& response) {
    response.set_content(body, type);
  });
}

void TestServer::Hold(const std::string& path, const std::string& body) {
  server_.Get(path, [this, body](const httplib::Request& request, httplib::Response& response) {
    WaitForRelease(request.path);
    response.set_content(body, "text/html");
  });
}

void TestServer::WaitForRelease(const std::string& path) {
  std::unique_lock lock(mutex_);
  released_.wait_for(lock, kHoldBound, [this, &path] { return IsReleased(path); });
}

void TestServer::Drip(const std::string& path, const std::string& body) {
  server_.Get(path, [this, body](const httplib::Request&, httplib::Response& response) {
    response.set_chunked_content_provider(
        "text/html", [this, body](size_t offset, httplib::DataSink& sink) {
          if (offset == body.size()) {
            sink.done();
            return true;
          }
          std::unique_lock lock(mutex_);
          if (released_.wait_for(lock, std::chrono::seconds(1), [this] { return allReleased_; }))
            return false;
          return sink.write(body.data() + offset, 1);
        });
  });
}

void TestServer::Fail(const std::string& path, int status, const std::string& body) {
  server_.Get(path, [status, body](const httplib::Request&, httplib::Response& response) {
    response.status = status;
    response.set_content(body, "text/html");
  });
}

void TestServer::Attachment(const std::string& path, const std::string& body) {
  server_.Get(path, [body](const httplib::Request&, httplib::Response& response) {
    response.set_header("Content-Disposition", "attachment; filename=\"data.bin\"");
    response.set_content(body, "application/octet-stream");
  });
}

void TestServer::Redirect(const std::string& path, const std::string& to) {
  server_.Get(path, [to](const httplib::Request&, httplib::Response& response) {
    response.set_redirect(to);
  });
}

void TestServer::Handle(const std::string& path, httplib::Server::Handler handler) {
  server_.Get(path, std::move(handler));
}

void TestServer::Start() {
  port_ = server_.bind_to_any_port("127.0.0.1");
  thread_ = std::thread([this] { server_.listen_after_bind(); });
}

void TestServer::Release() {
  {
    std::lock_guard lock(mutex_);
    allReleased_ = true;
  }
  released_.notify_all();
}

void TestServer::Release(const std::string& path) {
  {
    std::lock_guard lock(mutex_);
    released_paths_.insert(path);
  }
  released_.notify_all();
}

bool TestServer::IsReleased(const std::string& path) const {
  return allReleased_ || released_paths_.count(path) > 0;
}

int TestServer::Hits(const std::string& path) {
  std::lock_guard lock(mutex_);
  return hits_[path];
}

int TestServer::Hits() {
  std::lock_guard lock(mutex_);
  int total = 0;
  for (const auto& [path, count] : hits_) total += count;
  return total;
}

std::multimap<std::string, std::string> TestServer::LastParams(const std::string& path) {
  std::lock_guard lock(mutex_);
  return params_[path];
}

void TestServer::Count(const httplib::Request& request) {
  std::lock_guard lock(mutex_);
  ++hits_[request.path];
  params_[request.path] = {request.params.begin(), request.params.end()};
}

QString TestServer::Url(const std::string& path) const {
  return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(QString::fromStdString(path));
}

// Binds a socket to a free port and closes it again without listening.
QString TestServer::RefusedUrl() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  bind(fd, reinterpret_cast<sockaddr*>(&address), length);
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  close(fd);
  return QStringLiteral("http://127.0.0.1:%1/chaxun").arg(ntohs(address.sin_port));
}
