// Request handling of the tracking service, installed on a cpp-httplib
// server:
//   GET/HEAD /chaxun?com=CODE&nu=NUMBER  200, the shipment page or the
//                                        "no record" page; 400 for a
//                                        malformed query; 503 when the
//                                        database does not answer
//   POST /api/events                     201 once the events are committed;
//                                        401 without a valid bearer token;
//                                        400 for a bad body; 413 for a body
//                                        over kMaxEventsBodyBytes; 503 when
//                                        the database cannot store them
//   GET/HEAD /healthz                    200 when the database answers,
//                                        else 503
//   another method on these paths        405 with an Allow header
//   other paths, any method              404
// Requests the server itself cannot parse (an unknown method, a target longer
// than 8192 bytes) get its own 400 or 414. The pages are HTML in UTF-8, the
// answers of /api/events JSON, those of /healthz plain text; all are sent
// uncompressed: they are a few kilobytes at most. Faults of the database are
// logged on stderr.
#pragma once

#include "EventStore.h"
#include "Tokens.h"

#include <httplib.h>

#include <chrono>
#include <string>
#include <string_view>

namespace TrackingService {

inline constexpr std::string_view kQueryPath = "/chaxun";
inline constexpr std::string_view kEventsPath = "/api/events";
inline constexpr std::string_view kHealthPath = "/healthz";

// The query keys of a request for a shipment, read from the raw request
// target: "+" stands for a space and %XX for the byte XX; "com" and "nu" must
// each occur exactly once and hold a valid key (see isValidKey) after decoding.
// Other keys are ignored.
struct ShipmentQuery {
  std::string code;    // "com"
  std::string number;  // "nu"
  std::string fault;   // why the query is malformed; empty when it is sound
};
ShipmentQuery readShipmentQuery(std::string_view target);

// Installs the handlers on `server`. `store` and `tokens` are used from the
// server's worker threads and must outlive its listen loop. Each request
// waits `answerDelay` in its own thread before it is handled, so that
// requests at once are delayed together, as by a far network.
void installHandlers(httplib::Server& server, EventStore& store, const Tokens& tokens,
                     std::chrono::milliseconds answerDelay = {});

// The options of the listening socket, which the connections accepted from
// it inherit: SO_REUSEADDR alone, since the library's default adds
// SO_REUSEPORT, with which a second service binds a port that another one
// already listens on and the two share its connections; and TCP_NODELAY,
// since an answer goes out in two writes (head, then body) and without it the
// body of an answer on a kept-alive connection waits for the client's delayed
// acknowledgement of the head, some 40 ms.
void configureSocket(socket_t socket);
// A kept-alive connection serves up to this many requests, then the client
// connects anew: few enough that clients waiting for a thread get one soon,
// many enough that connecting costs little.
inline constexpr int kKeepAliveRequests = 100;

// Sets `server` up as the service runs it: `threads` request threads (a
// thread serves one connection at a time, for as long as it is kept alive,
// up to kKeepAliveRequests requests), and one line per request (see
// formatLogLine) on stderr.
void configureServer(httplib::Server& server, int threads);

// Binds `server` to `port` on `host`, or to a free port when `port` is 0,
// with sockets set up by configureSocket and a listen backlog of SOMAXCONN;
// returns the bound port, or -1.
int bindServer(httplib::Server& server, const std::string& host, int port);

// One line of the request log, ending in '\n': local time, method, request
// target and status, separated by spaces. Bytes of the target below 0x20 or
// equal to 0x7F are written as \xNN.
std::string formatLogLine(const httplib::Request& request, const httplib::Response& response);

// Writes "courier-query-service: MESSAGE" and a line break to stderr in one
// call, so that lines of several threads never interleave.
void logMessage(std::string_view message);

}  // namespace TrackingService
