#include "TrackingServer.h"

#include "ResultPage.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>
#include <vector>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace TrackingService {
namespace {

constexpr const char* kHtml = "text/html; charset=utf-8";

// The library compresses every body the client accepts compressed, at its
// highest level: milliseconds for a page of a few kilobytes, longer than
// sending it takes. A body from a content provider of known length goes out
// as it is.
void setPage(httplib::Response& response, std::string page) {
  const auto body = std::make_shared<const std::string>(std::move(page));
  response.set_content_provider(
      body->size(), kHtml, [body](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
        return sink.write(body->data() + offset, length);
      });
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

void answerQuery(const ShipmentTable& shipments, const httplib::Request& request,
                 httplib::Response& response) {
  const auto query = readShipmentQuery(request.target);
  if (!query.fault.empty()) {
    response.status = 400;
    setPage(response, renderErrorPage(400, query.fault));
    return;
  }
  const auto found = shipments.find({query.code, query.number});
  setPage(response, found == shipments.end()
                        ? renderNoRecordPage(query.code, query.number)
                        : renderShipmentPage(query.code, query.number, found->second));
}

// Answers every request that is not GET or HEAD on the query path before
// routing, so that no method reaches the server's own handler tables and
// their defaults (such as waiting for a request body that never comes).
httplib::Server::HandlerResponse screenRequest(const httplib::Request& request,
                                               httplib::Response& response) {
  if (request.path != kQueryPath) {
    response.status = 404;
  } else if (request.method != "GET" && request.method != "HEAD") {
    response.status = 405;
    response.set_header("Allow", "GET, HEAD");
  } else {
    return httplib::Server::HandlerResponse::Unhandled;
  }
  return httplib::Server::HandlerResponse::Handled;
}

// Gives every error answer that has no page yet (404, 405, the server's own
// 400 and 414) a page.
void fillErrorPage(const httplib::Request&, httplib::Response& response) {
  if (response.has_header("Content-Type")) return;
  const char* reason = response.status == 404   ? "找不到页面"
                       : response.status == 405 ? "不支持的请求方法"
                                                : "请求无效";
  setPage(response, renderErrorPage(response.status, reason));
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

void installHandlers(httplib::Server& server, const ShipmentTable& shipments) {
  server.set_pre_routing_handler(screenRequest);
  server.Get(std::string(kQueryPath),
             [&shipments](const httplib::Request& request, httplib::Response& response) {
               answerQuery(shipments, request, response);
             });
  server.set_error_handler(fillErrorPage);
}

void configureSocket(socket_t socket) {
  const int on = 1;
  setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

void useExclusivePortWithoutDelay(httplib::Server& server) {
  server.set_socket_options(configureSocket);
}

std::string formatLogLine(const httplib::Request& request, const httplib::Response& response) {
  return localTimeNow() + ' ' + escapeControlBytes(request.method) + ' ' +
         escapeControlBytes(request.target) + ' ' + std::to_string(response.status) + '\n';
}

}  // namespace TrackingService
