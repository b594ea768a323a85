// The events the tracking service answers for, and the rules every event
// obeys, whether it comes from an imported file or over HTTP.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace TrackingService {

// One event of a shipment, as a query's page lists it.
struct TrackingEvent {
  std::string time;  // "YYYY-MM-DD HH:MM"; sorts like the moment it names
  std::string place;
  std::string status;
};

// One event with the shipment it belongs to: what an import file's line or
// an event sent over HTTP holds.
struct ShipmentEvent {
  std::string code;    // courier code, compared byte for byte
  std::string number;  // tracking number, compared byte for byte
  TrackingEvent event;
  std::string id;  // the sender's own id for the event; empty when it gave none
};

// The longest courier code or tracking number, in bytes, that imports, events
// and queries accept.
inline constexpr std::size_t kMaxKeyBytes = 64;
// The longest place or status, in bytes: an event's fields together must fit
// in one entry of the database's index.
inline constexpr std::size_t kMaxTextBytes = 1000;
// The longest event id, in bytes.
inline constexpr std::size_t kMaxIdBytes = 128;

// True when `text` is well-formed UTF-8 (no overlong forms, surrogates or code
// points above U+10FFFF) without control characters (U+0000..U+001F, U+007F,
// U+0080..U+009F).
bool isPrintableUtf8(std::string_view text);

// True when `value` may be a courier code or tracking number: 1..kMaxKeyBytes
// bytes of printable UTF-8.
bool isValidKey(std::string_view value);

// True for "YYYY-MM-DD HH:MM" naming a real calendar day and a time of day.
bool isEventTime(std::string_view time);

// What is wrong with an event: the field at fault, by the name that imports
// and events over HTTP give it ("com", "nu", "time", "place", "status",
// "id"), and a few English words ("bad courier code (empty)", "bad time
// \"…\", expected YYYY-MM-DD HH:MM", …).
struct EventFault {
  std::string_view field;
  std::string message;
};

// The first fault of `event`, or nothing when it is sound: code and number
// valid keys, a real time, place and status 1..kMaxTextBytes bytes of
// printable UTF-8, the id empty or up to kMaxIdBytes of them.
std::optional<EventFault> eventFault(const ShipmentEvent& event);

// "1 event", "N events": for the log and the import's report.
std::string eventCount(std::size_t count);

}  // namespace TrackingService
