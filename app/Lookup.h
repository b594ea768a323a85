// Lookups without a window: numbers looked up, each with its courier,
// through the window's own query path (Query::Runner on a hidden browser),
// each answered with the text the window would show for it.
#pragma once

#include "NumberFormats.h"
#include "Query.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace Lookup {

enum class Status { Found, NoResult, InvalidNumber, Unreachable, Timeout };

// "found", "no-result", "invalid-number", "unreachable" or "timeout".
QString statusName(Status status);

struct Courier {
  QString name;  // the display name
  QString code;
};

// A number and the courier it is looked up with.
struct Item {
  Courier courier;
  QString number;
};

struct Answer {
  Courier courier;
  QString number;
  Status status = Status::NoResult;
  // What the window shows for the number, with LF line breaks: the result
  // as the result area shows it, the red message, or the text of the
  // invalid-number message box.
  QString text;
  // The window's status line under the red message; empty otherwise.
  QString cause;
};

// The courier `wanted` names in the catalogue `catalogueText`, read as the
// window reads it: the courier with that display name, else the one with
// that code, both compared exactly. Of several, the last one counts, as the
// window selects the last label with a name. Headings are not couriers.
std::optional<Courier> findCourier(const QString& wanted, const QString& catalogueText);

// Every number with `courier`, in order.
std::vector<Item> withCourier(const Courier& courier, const QStringList& numbers);

// The numbers, each with the one courier of the catalogue `catalogueText`
// whose format it matches (formats whose code no courier of the catalogue
// has do not count), or, when any number matches none or several, no items
// and `error`: which numbers, and for several the couriers' display names
// and codes, so that none is looked up with a guess.
struct AutoCouriers {
  std::vector<Item> items;
  QString error;
};
AutoCouriers resolveAuto(const QStringList& numbers, const NumberFormats::Table& formats,
                         const QString& catalogueText);

// The numbers on the lines of `input`, which is UTF-8 (a byte-order mark at
// its start is dropped). A line ends at CR LF, at a lone CR or at a lone LF,
// whichever a spreadsheet wrote, and a last line without an end counts too.
// Everything else stays as it is, as the window sends a number unchanged:
// blanks around a number are kept, and an empty line is an empty number.
QStringList numbersFromLines(const QByteArray& input);

// The answer for a number the check refused, and for one whose query's
// page completed.
Answer refused(const Courier& courier, const QString& number);
Answer fromCompletion(const Courier& courier, const QString& number,
                      const Query::Completion& completion);

// A readable block: the courier, the number and the outcome on one line,
// then the text indented, then an empty line. What a terminal would act on
// is shown as escapes (TerminalText::shown).
QByteArray asText(const Answer& answer);
// One line of JSON: courier, code, number, status, text and cause. Besides
// the escapes JSON requires, what a terminal would act on and the line and
// paragraph separators (where some readers of JSON lines split lines) are
// written as \uNNNN, which every JSON reader reads back as the same text.
QByteArray asJson(const Answer& answer);

// Looks the numbers up on up to `jobs` hidden browsers at once, each page
// with its own engine profile, renderer and time limit: a page that is idle
// takes the next number not yet sent, and its completion (or time-out)
// answers that number alone. The answers come out in input order, each as
// soon as every number before it has its own. With one job, each query's
// page completes before the next number is sent.
class Run : public QObject {
  Q_OBJECT

 public:
  Run(std::vector<Item> items, int jobs);
  ~Run() override;

  // Starts with the first numbers once the event loop runs.
  void start();
  // Sends no further number and gives no further answer: called from
  // `answered`; pages still loading are left to be closed with the run, and
  // `finished` does not come.
  void stop();
  // Whether numbers are left whose answers did not come out.
  bool numbersLeft() const { return given_ < items_.size(); }

 signals:
  void answered(const Lookup::Answer& answer);
  // Every number has its answer.
  void finished();

 private:
  struct Page;

  void sendMore();
  Page* idlePage();
  void complete(Page& page, const Query::Completion& completion);
  void giveReadyAnswers();

  const std::vector<Item> items_;
  const size_t jobs_;
  std::vector<std::unique_ptr<Page>> pages_;    // made as numbers need them, at most jobs_
  std::vector<std::optional<Answer>> answers_;  // by item, until given
  size_t sent_ = 0;                             // items taken so far
  size_t given_ = 0;                            // answers that came out
  enum class State { Running, Stopped, Finished } state_ = State::Running;
};

}  // namespace Lookup
