#include "TrackingData.h"

#include <algorithm>
#include <chrono>
#include <iterator>

namespace TrackingService {
namespace {

constexpr char32_t kInvalid = 0xFFFFFFFF;

// The lead bytes of multi-byte UTF-8 sequences: the bits that mark them, the
// number of continuation bytes and the smallest code point not overlong.
struct LeadByte {
  unsigned char mask;
  unsigned char marker;
  int continuations;
  char32_t minimum;
};
constexpr LeadByte kLeadBytes[] = {
    {0xE0, 0xC0, 1, 0x80}, {0xF0, 0xE0, 2, 0x800}, {0xF8, 0xF0, 3, 0x10000}};

// Decodes the code point that starts at `pos` and moves `pos` past it; returns
// kInvalid for a malformed, overlong or surrogate sequence.
char32_t nextCodePoint(std::string_view text, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos++]);
  if (lead < 0x80) return lead;
  const auto kind = std::find_if(std::begin(kLeadBytes), std::end(kLeadBytes),
                                 [lead](const LeadByte& k) { return (lead & k.mask) == k.marker; });
  if (kind == std::end(kLeadBytes)) return kInvalid;
  char32_t value = lead & ~kind->mask;
  for (int i = 0; i < kind->continuations; ++i) {
    if (pos == text.size()) return kInvalid;
    const auto next = static_cast<unsigned char>(text[pos++]);
    if ((next & 0xC0) != 0x80) return kInvalid;
    value = (value << 6) | (next & 0x3F);
  }
  const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
  if (value < kind->minimum || value > 0x10FFFF || surrogate) return kInvalid;
  return value;
}

bool isControl(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

bool isDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int toNumber(std::string_view digits) {
  int value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

// "bad NAME (why)" when `value` is empty (unless it may be), longer than
// `limit` bytes or not printable UTF-8; empty when it is none of these.
std::string fieldFault(std::string_view name, std::string_view value, std::size_t limit,
                       bool mayBeEmpty = false) {
  std::string why;
  if (value.empty() && !mayBeEmpty) {
    why = "empty";
  } else if (value.size() > limit) {
    why = "over " + std::to_string(limit) + " bytes";
  } else if (!isPrintableUtf8(value)) {
    why = "not UTF-8, or a control character";
  }
  return why.empty() ? why : "bad " + std::string(name) + " (" + why + ")";
}

}  // namespace

bool isPrintableUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const char32_t c = nextCodePoint(text, pos);
    if (c == kInvalid || isControl(c)) return false;
  }
  return true;
}

bool isValidKey(std::string_view value) {
  return !value.empty() && value.size() <= kMaxKeyBytes && isPrintableUtf8(value);
}

bool isEventTime(std::string_view time) {
  if (time.size() != 16 || time[4] != '-' || time[7] != '-' || time[10] != ' ' || time[13] != ':') {
    return false;
  }
  const auto year = time.substr(0, 4), month = time.substr(5, 2), day = time.substr(8, 2),
             hour = time.substr(11, 2), minute = time.substr(14, 2);
  if (!isDigits(year) || !isDigits(month) || !isDigits(day) || !isDigits(hour) ||
      !isDigits(minute)) {
    return false;
  }
  const std::chrono::year_month_day date{std::chrono::year{toNumber(year)},
                                         std::chrono::month{unsigned(toNumber(month))},
                                         std::chrono::day{unsigned(toNumber(day))}};
  return date.ok() && toNumber(hour) < 24 && toNumber(minute) < 60;
}

std::optional<EventFault> eventFault(const ShipmentEvent& event) {
  struct Field {
    std::string_view field;
    const char* name;
    const std::string& value;
    std::size_t limit;
    bool mayBeEmpty = false;
  };
  const Field keys[] = {{"com", "courier code", event.code, kMaxKeyBytes},
                        {"nu", "tracking number", event.number, kMaxKeyBytes}};
  const Field texts[] = {{"place", "place", event.event.place, kMaxTextBytes},
                         {"status", "status", event.event.status, kMaxTextBytes},
                         {"id", "id", event.id, kMaxIdBytes, true}};
  const auto firstFault = [](const auto& fields) -> std::optional<EventFault> {
    for (const Field& f : fields) {
      if (auto message = fieldFault(f.name, f.value, f.limit, f.mayBeEmpty); !message.empty()) {
        return EventFault{f.field, std::move(message)};
      }
    }
    return std::nullopt;
  };
  if (auto fault = firstFault(keys)) return fault;
  if (!isEventTime(event.event.time)) {
    return EventFault{"time", "bad time \"" + event.event.time + "\", expected YYYY-MM-DD HH:MM"};
  }
  return firstFault(texts);
}

std::string eventCount(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " event" : " events");
}

}  // namespace TrackingService
