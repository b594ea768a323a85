#include "TrackingData.h"

#include <algorithm>
#include <chrono>
#include <fstream>
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

std::vector<std::string_view> splitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  for (std::size_t tab = line.find('\t'); tab != std::string_view::npos;
       tab = line.find('\t', start)) {
    fields.push_back(line.substr(start, tab - start));
    start = tab + 1;
  }
  fields.push_back(line.substr(start));
  return fields;
}

bool isDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int toNumber(std::string_view digits) {
  int value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

// "YYYY-MM-DD HH:MM" naming a real calendar day and a time of day.
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

bool isBlankOrComment(std::string_view line) {
  const auto first = line.find_first_not_of(" \t");
  return first == std::string_view::npos || line[first] == '#';
}

// Checks one event line; returns the fault or an empty string.
std::string checkEventFields(const std::vector<std::string_view>& fields) {
  if (fields.size() != 5) {
    return "expected 5 tab-separated fields (code, number, time, place, status), found " +
           std::to_string(fields.size());
  }
  if (!isValidKey(fields[0])) return "bad courier code";
  if (!isValidKey(fields[1])) return "bad tracking number";
  if (!isEventTime(fields[2]))
    return "bad time \"" + std::string(fields[2]) + "\", expected YYYY-MM-DD HH:MM";
  if (fields[3].empty() || !isPrintableUtf8(fields[3])) return "bad place";
  if (fields[4].empty() || !isPrintableUtf8(fields[4])) return "bad status";
  return {};
}

void sortNewestFirst(ShipmentTable& shipments) {
  for (auto& [key, events] : shipments) {
    std::stable_sort(
        events.begin(), events.end(),
        [](const TrackingEvent& a, const TrackingEvent& b) { return a.time < b.time; });
    std::reverse(events.begin(), events.end());
  }
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

LoadResult parseTrackingData(std::string_view text) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  LoadResult result;
  int lineNumber = 0;
  while (!text.empty()) {
    const auto end = text.find('\n');
    auto line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++lineNumber;
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (isBlankOrComment(line)) continue;
    const auto fields = splitFields(line);
    if (auto fault = checkEventFields(fields); !fault.empty()) {
      return {{}, DataError{lineNumber, std::move(fault)}};
    }
    result.shipments[{std::string(fields[0]), std::string(fields[1])}].push_back(
        {std::string(fields[2]), std::string(fields[3]), std::string(fields[4])});
  }
  sortNewestFirst(result.shipments);
  return result;
}

LoadResult loadTrackingData(const std::filesystem::path& file) {
  const LoadResult unreadable{{}, DataError{0, "cannot read the file"}};
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return unreadable;
  std::ifstream in(file, std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  return !in.is_open() || in.bad() ? unreadable : parseTrackingData(text);
}

}  // namespace TrackingService
