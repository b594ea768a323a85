// The program's command line. The window takes the whole text after the
// program name as its start-up argument; a command line that starts with one
// of the program's own options asks for something else: a lookup without a
// window, the help or the version.
#pragma once

#include <QString>
#include <QStringList>

namespace Arguments {

enum class Mode { Window, Help, Version, Lookup, UsageError };

// How many numbers a lookup keeps in flight at once, each on a hidden page
// of its own: 4 unless --jobs says otherwise, and never fewer than 1 or more
// than 16, a load that one service bears without noticing.
constexpr int kDefaultJobs = 4;
constexpr int kFewestJobs = 1;
constexpr int kMostJobs = 16;

struct Request {
  Mode mode = Mode::Window;
  bool json = false;        // Lookup: one JSON object per line
  int jobs = kDefaultJobs;  // Lookup: numbers in flight at once
  QString courier{};        // Lookup: COURIER as given: a display name, a code or kAutoCourier
  QStringList numbers{};    // Lookup: in order; kStandardInput stands for its lines
  QString error{};          // UsageError: what is wrong, one line
};

// The COURIER that stands for each number's own, found by its format.
inline const QString kAutoCourier = QStringLiteral("auto");
// The NUMBER that stands for the lines of standard input.
inline const QString kStandardInput = QStringLiteral("-");

// Reads `arguments`, those after the program name. Options count only when
// the first argument is one of them; "--" ends them, so that a number may
// start with "-". Help wins over everything, then the version. "--jobs N"
// (or "--jobs=N") takes a whole number, which is clamped to 1..16.
Request parse(const QStringList& arguments);

// What --help prints: the usage, the options, the exit statuses.
QString helpText();
// The usage lines printed with a usage error.
QString usageText();
// What --version prints.
QString versionText();

}  // namespace Arguments
