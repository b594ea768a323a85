// The JSON of POST /api/events. The body is one event, an object, or an
// array of one or more of them. An event has the string members com, nu,
// time ("YYYY-MM-DD HH:MM"), place and status, and may have an id: a string,
// or a whole number that stands for its decimal digits. Other members are
// refused, so that a misspelt one is not silently dropped. The answers are
// JSON objects too.
#pragma once

#include "EventStore.h"
#include "TrackingData.h"

#include <string>
#include <string_view>
#include <vector>

namespace TrackingService {

// The body of POST /api/events may be up to this many bytes; a longer one
// is answered 413.
inline constexpr std::size_t kMaxEventsBodyBytes = 1 << 20;

struct EventsBody {
  std::vector<ShipmentEvent> events;  // empty when the body is at fault
  // What is wrong, in Chinese; empty when the body is sound.
  std::string fault;
  int index = -1;     // the faulty event's place in the array, from 0; -1 for none
  std::string field;  // the faulty member; empty for none
};
EventsBody parseEventsBody(std::string_view body);

// {"error": FAULT} with "index" and "field" when the body names them.
std::string errorAnswer(const EventsBody& body);
// {"error": MESSAGE}.
std::string errorAnswer(std::string_view message);
// {"added": N, "known": M}: the events that were new and those already stored.
std::string storedAnswer(const EventStore::Stored& stored);

}  // namespace TrackingService
