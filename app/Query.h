// The tracking query: the number check, the query address, the search for
// the result element, and the runner that sends queries through a hidden
// browser. The window and the command-line lookup both query through it.
#pragma once

#include "ServiceAddress.h"
#include "WebBrowser.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <optional>

namespace Query {

inline const QString kLoadingText = QStringLiteral("正在加载。。。");
inline const QString kResultId = QStringLiteral("queryResult2");
constexpr uint32_t kResultColor = 0x000000;    // black
constexpr uint32_t kNoResultColor = 0x0000FF;  // red (0x00BBGGRR)

// The time a query may take: COURIER_QUERY_TIMEOUT_MS, a whole number of
// milliseconds above 0, or 20 s when the variable is not set or not such a
// number. A value beyond what a timer counts (about 24.8 days) is cut to
// that, rather than wrapping round to a few milliseconds.
std::chrono::milliseconds timeLimit();

// A number passes when it is not empty and each of its characters takes one
// byte in the ANSI code page (GBK): no Chinese or full-width characters, and
// nothing the code page cannot represent at all.
bool isValidTrackingNumber(const QString& number);

// The longest address the browser engine loads (2 MiB characters); a query
// whose address is longer is refused as its number is invalid.
constexpr qsizetype kMaxAddressLength = 2 * 1024 * 1024;

// base + "/chaxun?com=" + code + "&nu=" + number. Code and number are
// percent-encoded (all but letters, digits and "-._~"), so that "&", "#", "+",
// "%" or blanks in them stay part of their value and add no query keys.
QString queryAddress(const QString& base, const QString& code, const QString& number);

// The text of the last element from position 1 on whose id equals
// "queryResult2" in any letter case, with every CR replaced by CR LF CR LF;
// nothing when there is no such element.
std::optional<QString> findResultText(const QList<ModAPI::HtmlElement>& all);

// Whether the result area's text is an answer: neither empty nor the loading
// text. Anything else makes way for the red message.
bool isAnswer(const QString& text);

// The red message for a query that found nothing.
QString noResultMessage(const QString& courierName);

// What a screen reader says of a completed query: the first line of
// `resultText` that is not blank (any line end ends a line: the service's
// events come one a line), and after it `cause` (the status line) when there
// is one.
QString spokenOutcome(const QString& resultText, const QString& cause);

// The message box for a number that fails the check: its title and text.
QString invalidNumberTitle(const QString& courierName);
QString invalidNumberMessage(const QString& courierName);

// What a top-level document that completed holds for the query: the text
// of its result element, if it has one, how its load ended, and the service
// the latest query went to (empty before the first query).
struct Completion {
  std::optional<QString> resultText;
  ModAPI::LoadStatus status;
  ServiceAddress::Service service{};
};

// Why a query found nothing, in one short line: the service's address could
// not be used (its problem), the service could not be reached (at its host
// and port), answered with an HTTP error, took too long, or its page held no
// result.
QString failureCause(const Completion& completion);

// Sends queries through a hidden browser that it does not own, and reads
// every top-level document the browser completes; frame documents are left
// out.
class Runner : public QObject {
  Q_OBJECT

 public:
  explicit Runner(ModAPI::WebBrowser& browser, QObject* parent = nullptr);

  // Checks `number`; when it passes, loads the query address for courier
  // `code` from the service (ServiceAddress::find) with the time limit
  // (TimeLimit), both read now, and returns true. A number that fails is not
  // sent. When the service's address cannot be used, nothing goes out: the
  // empty page is loaded instead (which also abandons a load under way), and
  // its completion carries the service's problem.
  bool send(const QString& code, const QString& number);

 signals:
  // Every top-level completion, whichever load it ends: a query's, the
  // start-up page's, or one the page made by moving on by itself. Sent from
  // inside the browser's own completion: a handler that sends the next
  // query must do so from the event loop.
  void completed(const Query::Completion& completion);

 private:
  ModAPI::WebBrowser& browser_;
  ServiceAddress::Service service_;  // of the latest query
};

}  // namespace Query
