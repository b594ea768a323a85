#include "ImportFile.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>

namespace TrackingService {
namespace {

// Events go to the database this many at a time.
constexpr std::size_t kEventsPerBatch = 4096;

constexpr std::array<std::string_view, 5> kColumns = {"com", "nu", "time", "place", "status"};

bool isBlankOrComment(std::string_view line) {
  const auto first = line.find_first_not_of(" \t");
  return first == std::string_view::npos || line[first] == '#';
}

bool namesTheColumns(const std::vector<std::string>& fields) {
  return std::equal(fields.begin(), fields.end(), kColumns.begin(), kColumns.end());
}

std::vector<std::string> splitAtTabs(std::string_view line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (auto tab = line.find('\t'); tab != std::string_view::npos; tab = line.find('\t', start)) {
    fields.emplace_back(line.substr(start, tab - start));
    start = tab + 1;
  }
  fields.emplace_back(line.substr(start));
  return fields;
}

// Reads the quoted field that starts at `pos` (on its opening quote) into
// `field` and moves `pos` past the closing quote; false when the line ends
// first.
bool readQuoted(std::string_view line, std::size_t& pos, std::string& field) {
  for (++pos; pos < line.size(); ++pos) {
    if (line[pos] != '"') {
      field += line[pos];
    } else if (pos + 1 < line.size() && line[pos + 1] == '"') {
      field += '"';
      ++pos;
    } else {
      ++pos;
      return true;
    }
  }
  return false;
}

SplitLine splitAtCommas(std::string_view line) {
  SplitLine split;
  std::size_t pos = 0;
  while (true) {
    std::string field;
    if (pos < line.size() && line[pos] == '"') {
      if (!readQuoted(line, pos, field)) return {{}, "a quoted field does not end on its line"};
      if (pos < line.size() && line[pos] != ',') return {{}, "text after a closing quote"};
    } else {
      const auto comma = std::min(line.find(',', pos), line.size());
      field = line.substr(pos, comma - pos);
      pos = comma;
    }
    split.fields.push_back(std::move(field));
    if (pos == line.size()) return split;
    ++pos;  // past the comma
  }
}

}  // namespace

ImportFormat formatOf(const std::filesystem::path& file) {
  std::string extension = file.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  return extension == ".csv" ? ImportFormat::Csv : ImportFormat::Tsv;
}

SplitLine splitImportLine(std::string_view line, ImportFormat format) {
  if (format == ImportFormat::Tsv) return {splitAtTabs(line), {}};
  return splitAtCommas(line);
}

ImportReader::ImportReader(std::istream& in, ImportFormat format) : in_(in), format_(format) {}

bool ImportReader::fail(std::string message) {
  error_ = ImportError{line_, std::move(message)};
  return false;
}

bool ImportReader::next(ShipmentEvent& event) {
  std::string text;
  while (!error_ && std::getline(in_, text)) {
    ++line_;
    std::string_view line = text;
    if (line_ == 1 && line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (isBlankOrComment(line)) continue;
    auto split = splitImportLine(line, format_);
    if (!split.fault.empty()) return fail(split.fault);
    const bool first = !seenData_;
    seenData_ = true;
    if (first && namesTheColumns(split.fields)) continue;
    auto& fields = split.fields;
    if (fields.size() != kColumns.size()) {
      return fail("expected 5 fields separated by " +
                  std::string(format_ == ImportFormat::Tsv ? "tabs" : "commas") +
                  " (code, number, time, place, status), found " + std::to_string(fields.size()));
    }
    event = {std::move(fields[0]),
             std::move(fields[1]),
             {std::move(fields[2]), std::move(fields[3]), std::move(fields[4])},
             {}};
    if (auto fault = eventFault(event)) return fail(std::move(fault->message));
    return true;
  }
  if (!error_ && in_.bad()) {
    line_ = 0;
    return fail("cannot read the file");
  }
  return false;
}

ImportOutcome importFile(Storage& storage, const std::filesystem::path& file) {
  const std::string name = file.string();
  std::error_code error;
  std::ifstream in;
  if (std::filesystem::is_regular_file(file, error)) in.open(file, std::ios::binary);
  if (!in.is_open()) return {{}, name + ": cannot read the file"};
  ImportReader reader(in, formatOf(file));
  ImportOutcome outcome;
  outcome.stored = storage.storeAll([&](std::vector<ShipmentEvent>& batch) {
    for (ShipmentEvent event; batch.size() < kEventsPerBatch && reader.next(event);) {
      batch.push_back(std::move(event));
    }
    if (reader.error()) return Storage::Feed::Abandon;
    return batch.size() < kEventsPerBatch ? Storage::Feed::Done : Storage::Feed::More;
  });
  if (const auto& fault = reader.error()) {
    outcome = {
        {}, name + (fault->line ? ":" + std::to_string(fault->line) : "") + ": " + fault->message};
  } else if (!outcome.stored.fault.empty()) {
    outcome.fault = "cannot import " + name + " into the " + storage.address().description() +
                    ": " + outcome.stored.fault;
  }
  return outcome;
}

}  // namespace TrackingService
