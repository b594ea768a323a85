// Request handling of the reference tracking service, installed on a
// cpp-httplib server:
//   GET/HEAD /chaxun?com=CODE&nu=NUMBER  200, the shipment page or the
//                                        "no record" page
//   a malformed query                    400
//   other methods on /chaxun             405 with "Allow: GET, HEAD"
//   other paths, any method              404
// Requests the server itself cannot parse (an unknown method, a target longer
// than 8192 bytes) get its own 400 or 414.
// Every answer is an HTML page in UTF-8, sent uncompressed: the pages are a
// few kilobytes.
#pragma once

#include "TrackingData.h"

#include <httplib.h>

#include <string>
#include <string_view>

namespace TrackingService {

inline constexpr std::string_view kQueryPath = "/chaxun";

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

// Installs the handlers on `server`. `shipments` is read from the server's
// worker threads and must stay alive and unchanged while the server runs.
void installHandlers(httplib::Server& server, const ShipmentTable& shipments);

// The options of the listening socket, which the connections accepted from
// it inherit: SO_REUSEADDR alone, since the library's default adds
// SO_REUSEPORT, with which a second service binds a port that another one
// already listens on and the two share its connections; and TCP_NODELAY,
// since an answer goes out in two writes (head, then body) and without it the
// body of an answer on a kept-alive connection waits for the client's delayed
// acknowledgement of the head, some 40 ms.
void configureSocket(socket_t socket);
// Makes `server` bind its sockets with configureSocket.
void useExclusivePortWithoutDelay(httplib::Server& server);

// One line of the request log, ending in '\n': local time, method, request
// target and status, separated by spaces. Bytes of the target below 0x20 or
// equal to 0x7F are written as \xNN.
std::string formatLogLine(const httplib::Request& request, const httplib::Response& response);

}  // namespace TrackingService
