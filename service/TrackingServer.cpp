#include "TrackingServer.h"

#include "EventsBody.h"
#include "ResultPage.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace TrackingService {
namespace {

constexpr const char* kHtml = "text/html; charset=utf-8";
constexpr const char* kJson = "application/json";
constexpr const char* kText = "text/plain; charset=utf-8";

// The library compresses every body the client accepts compressed, at its
// highest level: milliseconds for a page of a few kilobytes, longer than
// sending it takes. A body from a content provider of known length goes out
// as it is.
void setBody(httplib::Response& response, std::string body, const char* type) {
  const auto shared = std::make_shared<const std::string>(std::move(body));
  response.set_content_provider(
      shared->size(), type,
      [shared](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
        return sink.write(shared->data() + offset, length);
      });
}

void setPage(httplib::Response& response, std::string page) {
  setBody(response, std::move(page), kHtml);
}

// Decodes "+" and %XX escapes; nothing when an escape is not two hex digits.
std::optional<std::string> percentDecode(std::string_view text) {
  std::string decoded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      decoded += text[i] == '+' ? ' ' : text[i];
      continue;
    }
    unsigned byte = 0;
    const char* digits = text.data() + i + 1;
    if (i + 2 >= text.size() || std::from_chars(digits, digits + 2, byte, 16).ptr != digits + 2) {
      return std::nullopt;
    }
    decoded += static_cast<char>(byte);
    i += 2;
  }
  return decoded;
}

// Checks that `values`, all the values given for `key`, are one valid key.
std::string keyFault(std::string_view key, const std::vector<std::string>& values) {
  if (values.empty()) return "缺少参数 " + std::string(key);
  if (values.size() > 1) return "参数 " + std::string(key) + " 重复";
  if (!isValidKey(values.front())) return "参数 " + std::string(key) + " 的值无效";
  return {};
}

void answerQuery(EventStore& store, const httplib::Request& request, httplib::Response& response) {
  const auto query = readShipmentQuery(request.target);
  if (!query.fault.empty()) {
    response.status = 400;
    setPage(response, renderErrorPage(400, query.fault));
    return;
  }
  const auto found = store.lookup(query.code, query.number);
  if (!found.fault.empty()) {
    logMessage("cannot look up " + query.code + " " + query.number + ": " + found.fault);
    response.status = 503;
    setPage(response, renderErrorPage(503, "查询服务暂时不可用"));
    return;
  }
  setPage(response, found.events.empty()
                        ? renderNoRecordPage(query.code, query.number)
                        : renderShipmentPage(query.code, query.number, found.events));
}

void answerEvents(EventStore& store, const Tokens& tokens, const httplib::Request& request,
                  httplib::Response& response) {
  const std::string authorization = request.get_header_value("Authorization");
  const auto token = bearerToken(authorization);
  if (!token || !tokens.accepts(*token)) {
    response.status = 401;
    response.set_header("WWW-Authenticate", "Bearer");
    setBody(response, errorAnswer("缺少有效的访问令牌（Authorization: Bearer TOKEN）"), kJson);
    return;
  }
  const auto body = parseEventsBody(request.body);
  if (!body.fault.empty()) {
    response.status = 400;
    setBody(response, errorAnswer(body), kJson);
    return;
  }
  const auto stored = store.store(body.events);
  if (!stored.fault.empty()) {
    logMessage("cannot store " + eventCount(body.events.size()) + ": " + stored.fault);
    response.status = 503;
    setBody(response, errorAnswer("数据库暂时无法写入，事件没有保存，请稍后重发"), kJson);
    return;
  }
  response.status = 201;
  setBody(response, storedAnswer(stored), kJson);
}

void answerHealth(EventStore& store, httplib::Response& response) {
  const auto fault = store.check();
  if (!fault.empty()) {
    logMessage("health check: the database does not answer: " + fault);
    response.status = 503;
    setBody(response, "the database does not answer\n", kText);
    return;
  }
  setBody(response, "ok\n", kText);
}

// The methods each path takes.
struct Route {
  std::string_view path;
  std::string_view allow;
};
constexpr Route kRoutes[] = {
    {kQueryPath, "GET, HEAD"}, {kEventsPath, "POST"}, {kHealthPath, "GET, HEAD"}};

bool allows(const Route& route, std::string_view method) {
  for (std::string_view allow = route.allow; !allow.empty();) {
    const auto end = std::min(allow.find(", "), allow.size());
    if (allow.substr(0, end) == method) return true;
    allow.remove_prefix(std::min(end + 2, allow.size()));
  }
  return false;
}

// Answers every request that no route takes before routing, so that no such
// request reaches the server's own handler tables and their defaults (such
// as waiting for a request body that never comes).
httplib::Server::HandlerResponse screenRequest(const httplib::Request& request,
                                               httplib::Response& response) {
  const auto route = std::find_if(std::begin(kRoutes), std::end(kRoutes),
                                  [&](const Route& r) { return r.path == request.path; });
  if (route == std::end(kRoutes)) {
    response.status = 404;
  } else if (!allows(*route, request.method)) {
    response.status = 405;
    response.set_header("Allow", std::string(route->allow));
  } else {
    return httplib::Server::HandlerResponse::Unhandled;
  }
  return httplib::Server::HandlerResponse::Handled;
}

// Gives every error answer that has no body yet (404, 405, the server's own
// 400, 413 and 414) one: JSON on the events' path, a page elsewhere.
void fillErrorPage(const httplib::Request& request, httplib::Response& response) {
  if (response.has_header("Content-Type")) return;
  const char* reason = response.status == 404   ? "找不到页面"
                       : response.status == 405 ? "不支持的请求方法"
                       : response.status == 413 ? "请求体太大"
                                                : "请求无效";
  if (request.path == kEventsPath) {
    const std::string limit = response.status == 413
                                  ? "，至多 " + std::to_string(kMaxEventsBodyBytes) + " 字节"
                                  : std::string();
    setBody(response, errorAnswer(reason + limit), kJson);
  } else {
    setPage(response, renderErrorPage(response.status, reason));
  }
}

std::string localTimeNow() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm parts{};
  localtime_r(&now, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
  return text;
}

std::string escapeControlBytes(std::string_view text) {
  std::string escaped;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      char code[5];
      std::snprintf(code, sizeof code, "\\x%02X", byte);
      escaped += code;
    } else {
      escaped += c;
    }
  }
  return escaped;
}

}  // namespace

ShipmentQuery readShipmentQuery(std::string_view target) {
  const auto mark = target.find('?');
  auto rest = mark == std::string_view::npos ? std::string_view() : target.substr(mark + 1);
  std::vector<std::string> codes, numbers;
  while (!rest.empty()) {
    const auto end = std::min(rest.find('&'), rest.size());
    const auto pair = rest.substr(0, end);
    rest.remove_prefix(std::min(end + 1, rest.size()));
    const auto equals = std::min(pair.find('='), pair.size());
    const auto key = percentDecode(pair.substr(0, equals));
    const auto value = percentDecode(pair.substr(std::min(equals + 1, pair.size())));
    if (!key || !value) return {{}, {}, "查询串中有无效的百分号编码"};
    if (*key == "com") codes.push_back(*value);
    if (*key == "nu") numbers.push_back(*value);
  }
  if (auto fault = keyFault("com", codes); !fault.empty()) return {{}, {}, fault};
  if (auto fault = keyFault("nu", numbers); !fault.empty()) return {{}, {}, fault};
  return {codes.front(), numbers.front(), {}};
}

void installHandlers(httplib::Server& server, EventStore& store, const Tokens& tokens,
                     std::chrono::milliseconds answerDelay) {
  server.set_pre_routing_handler(
      [answerDelay](const httplib::Request& request, httplib::Response& response) {
        std::this_thread::sleep_for(answerDelay);
        return screenRequest(request, response);
      });
  server.Get(std::string(kQueryPath),
             [&store](const httplib::Request& request, httplib::Response& response) {
               answerQuery(store, request, response);
             });
  server.Post(std::string(kEventsPath),
              [&store, &tokens](const httplib::Request& request, httplib::Response& response) {
                answerEvents(store, tokens, request, response);
              });
  server.Get(std::string(kHealthPath),
             [&store](const httplib::Request&, httplib::Response& response) {
               answerHealth(store, response);
             });
  server.set_payload_max_length(kMaxEventsBodyBytes);
  server.set_error_handler(fillErrorPage);
}

void configureSocket(socket_t socket) {
  const int on = 1;
  setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

void configureServer(httplib::Server& server, int threads) {
  server.new_task_queue = [threads] { return new httplib::ThreadPool(std::size_t(threads)); };
  server.set_keep_alive_max_count(kKeepAliveRequests);
  server.set_logger([](const httplib::Request& request, const httplib::Response& response) {
    const auto line = formatLogLine(request, response);
    std::fwrite(line.data(), 1, line.size(), stderr);  // one call per line: no interleaving
  });
}

int bindServer(httplib::Server& server, const std::string& host, int port) {
  socket_t listening = INVALID_SOCKET;
  server.set_socket_options([&listening](socket_t socket) {
    configureSocket(socket);
    listening = socket;
  });
  const int bound =
      port == 0 ? server.bind_to_any_port(host) : (server.bind_to_port(host, port) ? port : -1);
  server.set_socket_options(configureSocket);
  // The library listens with a backlog of 5 connections: beyond it, each
  // client of a burst waits a second for its connection's retry.
  if (bound > 0) ::listen(listening, SOMAXCONN);
  return bound;
}

std::string formatLogLine(const httplib::Request& request, const httplib::Response& response) {
  return localTimeNow() + ' ' + escapeControlBytes(request.method) + ' ' +
         escapeControlBytes(request.target) + ' ' + std::to_string(response.status) + '\n';
}

void logMessage(std::string_view message) {
  const std::string line = "courier-query-service: " + std::string(message) + '\n';
  std::fwrite(line.data(), 1, line.size(), stderr);
}

}  // namespace TrackingService
