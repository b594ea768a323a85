// A real HTTP server on a free loopback port for the browser and query tests.
// Routes are registered before Start(); a held route answers only once it is
// released (or its bound passes), which lets a test keep a load in flight.
// A dripping route sends its page a byte a second.
#pragma once

#include <httplib.h>

#include <QString>

#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>

class TestServer {
 public:
  TestServer();
  ~TestServer();

  void Serve(const std::string& path, const std::string& body,
             const std::string& type = "text/html; charset=utf-8");
  void Hold(const std::string& path, const std::string& body);
  // Answers at once but sends `body` one byte per second, until all is sent,
  // the browser goes away or the server stops.
  void Drip(const std::string& path, const std::string& body);
  // Answers `status` with `body` as an HTML page.
  void Fail(const std::string& path, int status, const std::string& body);
  // Answers with a file to save instead of a page.
  void Attachment(const std::string& path, const std::string& body);
  void Redirect(const std::string& path, const std::string& to);
  // Answers with `handler`, which may hold its request with WaitForRelease.
  void Handle(const std::string& path, httplib::Server::Handler handler);
  void Start();

  // Holds the calling request until `path` is released (or the bound passes).
  void WaitForRelease(const std::string& path);

  // Releases every held route, or the one at `path`.
  void Release();
  void Release(const std::string& path);
  int Hits(const std::string& path);
  int Hits();  // every request so far
  // The query keys and values of the last request for `path`, decoded.
  std::multimap<std::string, std::string> LastParams(const std::string& path);
  QString Url(const std::string& path) const;

  // An address on a loopback port where nothing listens.
  static QString RefusedUrl();

 private:
  void Count(const httplib::Request& request);
  bool IsReleased(const std::string& path) const;

  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable released_;
  bool allReleased_ = false;
  std::set<std::string> released_paths_;
  std::map<std::string, int> hits_;
  std::map<std::string, std::multimap<std::string, std::string>> params_;
};
