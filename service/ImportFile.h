// The files that `courier-query-service import` reads: UTF-8 text, one event
// per line, five fields
//   courier code, tracking number, time "YYYY-MM-DD HH:MM", place, status
// separated by tabs (TSV) or by commas (CSV, where a field may be enclosed in
// double quotes and "" inside them stands for one). Blank lines and lines
// whose first non-blank character is '#' are skipped, and so is a first line
// that names the columns, "com nu time place status", in either format. Lines
// end in LF or CRLF; a UTF-8 byte-order mark at the start is skipped. Fields
// are taken as they stand, without trimming.
#pragma once

#include "Storage.h"
#include "TrackingData.h"

#include <filesystem>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace TrackingService {

enum class ImportFormat { Tsv, Csv };

// CSV when the file's name ends in ".csv", in any letter case; TSV otherwise.
ImportFormat formatOf(const std::filesystem::path& file);

struct ImportError {
  int line = 0;  // 1-based; 0 when the file as a whole is at fault
  std::string message;
};

// Reads the events of one file, line by line, in file order.
class ImportReader {
 public:
  ImportReader(std::istream& in, ImportFormat format);

  // Reads the next event into `event`. False at the end of the input, and at
  // the first faulty line or a read fault, which error() then describes;
  // after that it reads nothing more.
  bool next(ShipmentEvent& event);
  const std::optional<ImportError>& error() const { return error_; }

 private:
  bool fail(std::string message);

  std::istream& in_;
  ImportFormat format_;
  int line_ = 0;
  bool seenData_ = false;  // a line other than blanks and comments was read
  std::optional<ImportError> error_;
};

// Splits one line into its fields, or says what is wrong with it.
struct SplitLine {
  std::vector<std::string> fields;
  std::string fault;  // empty when the line could be split
};
SplitLine splitImportLine(std::string_view line, ImportFormat format);

struct ImportOutcome {
  EventStore::Stored stored;
  std::string fault;  // "FILE:LINE: …", "FILE: …" or the database's fault; empty on success
};
// Reads `file` (in the format its name gives) into `storage` in one
// transaction: a faulty line, a read fault or a fault of the database
// imports nothing.
ImportOutcome importFile(Storage& storage, const std::filesystem::path& file);

}  // namespace TrackingService
