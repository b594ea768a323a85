// The couriers' tracking-number formats: which couriers a typed number could
// belong to. The formats are data, the file "number-formats.txt" beside the
// catalogue, UTF-8, one format per line:
//
//   # a comment line
//   shunfeng   SF\d{13}
//   ems        E[A-Z]\d{9}[A-Z]{2}   s10
//
// Fields are separated by blanks or tabs: the courier code (the catalogue's
// code), a regular expression that must match the whole number, and
// optionally a check-digit rule ("s10"). A courier may have several lines.
// The expression sees the number with its blanks removed and its letters in
// upper case, so "sf 1234 …" is seen as "SF1234…". No widgets: the window's
// hint and the command line's `auto` courier both ask this table.
#pragma once

#include <QByteArray>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <utility>
#include <vector>

namespace NumberFormats {

inline const QString kFileName = QStringLiteral("number-formats.txt");

// Text longer than this once its blanks are gone is no number of any
// courier; it is not matched at all, so a pasted page costs nothing.
constexpr qsizetype kMaxNumberLength = 40;
// A formats file beyond this size is not read.
constexpr qint64 kMaxFileSize = 1 << 20;

// The check digit of the postal S10 form for eight serial digits: weights
// 8 6 4 2 3 5 9 7, then 11 − (sum mod 11), where 10 becomes 0 and 11
// becomes 5. -1 when `serial` is not eight ASCII digits.
int s10CheckDigit(QStringView serial);
// True when `number` is two letters A–Z, eight serial digits, their check
// digit and two letters A–Z.
bool hasS10CheckDigit(QStringView number);

// The number as the expressions see it: ASCII blanks and tabs removed,
// ASCII letters in upper case.
QString normalized(QStringView text);

enum class CheckRule { None, S10 };

struct Format {
  QString code;
  QRegularExpression pattern;  // anchored: it matches whole numbers only
  CheckRule check = CheckRule::None;
};

class Table {
 public:
  Table() = default;
  explicit Table(std::vector<Format> formats) : formats_(std::move(formats)) {}

  bool isEmpty() const { return formats_.empty(); }
  const std::vector<Format>& formats() const { return formats_; }

  // The codes whose format `text` matches as a complete number, in the
  // order of their first line, each once. Nothing for empty text.
  QStringList codesMatching(QStringView text) const;

 private:
  std::vector<Format> formats_;
};

// A table as read, or why there is none: `problem` is one line for the
// user, empty when the file was read whole.
struct Loaded {
  Table table;
  QString problem;
};

// Parses the file's bytes. The first malformed line (a field missing or one
// too many, an invalid expression, an unknown rule) or bytes that are not
// UTF-8 drop the whole file: an `auto` courier chosen from part of the table
// could be the wrong one.
Loaded parse(const QByteArray& bytes);

// Reads and parses the file at `path`; a missing, unreadable or oversized
// file gives an empty table with its problem.
Loaded read(const QString& path);

// "number-formats.txt" beside the program, where the catalogue lies.
QString filePath();

}  // namespace NumberFormats
