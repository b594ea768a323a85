// The shipments the reference tracking service answers for, and the text file
// they are kept in: one event per line, five tab-separated fields
//   courier code, tracking number, time "YYYY-MM-DD HH:MM", place, status
// with '#' starting a comment line and blank lines ignored.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace TrackingService {

struct TrackingEvent {
  std::string time;  // "YYYY-MM-DD HH:MM"; sorts like the moment it names
  std::string place;
  std::string status;
};

// Courier code and tracking number, both compared byte for byte.
using ShipmentKey = std::pair<std::string, std::string>;
// Every shipment's events, newest first. Events with the same time keep the
// reverse of their file order: a file lists a shipment's events as they happen.
using ShipmentTable = std::map<ShipmentKey, std::vector<TrackingEvent>>;

// The longest courier code or tracking number, in bytes, that the data file
// and the queries accept.
inline constexpr std::size_t kMaxKeyBytes = 64;

struct DataError {
  int line = 0;  // 1-based; 0 when the file as a whole is at fault
  std::string message;
};

struct LoadResult {
  ShipmentTable shipments;  // empty when `error` is set
  std::optional<DataError> error;
};

// True when `text` is well-formed UTF-8 (no overlong forms, surrogates or code
// points above U+10FFFF) without control characters (U+0000..U+001F, U+007F,
// U+0080..U+009F).
bool isPrintableUtf8(std::string_view text);

// True when `value` may be a courier code or tracking number: 1..kMaxKeyBytes
// bytes of printable UTF-8.
bool isValidKey(std::string_view value);

// Parses the text of a data file (lines end in LF or CRLF; a UTF-8 byte-order
// mark at the start is skipped). Stops at the first faulty line.
LoadResult parseTrackingData(std::string_view text);

// Reads and parses the data file at `file`; a file that cannot be read gives
// an error with line 0.
LoadResult loadTrackingData(const std::filesystem::path& file);

}  // namespace TrackingService
