#include "Lookup.h"

#include "LineEnds.h"
#include "Module1.h"
#include "TerminalText.h"
#include "TextBoxText.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaObject>

#include <algorithm>
#include <utility>

namespace Lookup {
namespace {

// The catalogue's labels without a window: only captions and tags matter,
// so every caption measures nothing.
class Catalogue final : public Module1::CatalogueHost {
 public:
  explicit Catalogue(const QString& text) { Module1::placeCatalogue(text, *this, QString()); }

  const std::vector<Module1::CourierEntry>& labels() const { return labels_.all(); }

  Module1::LabelGroup& LB() override { return labels_; }
  float windowWidth() const override { return 9000; }

 private:
  Module1::CourierLabels labels_{Module1::CourierEntry{},
                                 [](const QString&, bool) { return QSizeF(); }};
};

std::optional<Courier> lastCourier(const std::vector<Module1::CourierEntry>& labels,
                                   QString Module1::CourierEntry::*field, const QString& wanted) {
  for (auto label = labels.rbegin(); label != labels.rend(); ++label) {
    if (!label->isHeading() && (*label).*field == wanted)
      return Courier{label->Caption, label->Tag};
  }
  return std::nullopt;
}

// A number as an error names it: quoted, so that an empty one shows, cut
// short where it is longer than any courier's number, and on one line as
// a terminal shows it.
QString quoted(const QString& number) {
  const bool tooLong = number.size() > NumberFormats::kMaxNumberLength;
  const QString shown =
      TerminalText::shown(tooLong ? number.first(NumberFormats::kMaxNumberLength) : number);
  return QStringLiteral("“") + shown + (tooLong ? QStringLiteral("…") : QString()) +
         QStringLiteral("”");
}

QString namesAndCodes(const std::vector<Courier>& couriers) {
  QStringList names;
  for (const Courier& courier : couriers)
    names += courier.name + QStringLiteral("（") + courier.code + QStringLiteral("）");
  return names.join(QStringLiteral("、"));
}

// Why `number` has not one courier among `couriers`, the catalogue's
// couriers whose format it matches.
QString autoProblem(const QString& number, const std::vector<Courier>& couriers) {
  if (couriers.empty())
    return QStringLiteral("单号") + quoted(number) +
           QStringLiteral("与哪家快递公司的单号格式都不相符");
  return QStringLiteral("单号") + quoted(number) +
         QStringLiteral("与多家快递公司的单号格式相符：") + namesAndCodes(couriers);
}

// A long list of such numbers names the first few and counts the rest.
QString autoError(const QStringList& problems) {
  constexpr qsizetype kMostListed = 10;
  QString error = QStringLiteral("无法按单号格式确定快递公司，请在 --lookup 后写出快递公司：");
  for (const QString& problem : problems.first(std::min(problems.size(), kMostListed)))
    error += QStringLiteral("\n  ") + problem;
  if (problems.size() > kMostListed)
    error += QStringLiteral("\n  另有 %1 个单号同样无法确定").arg(problems.size() - kMostListed);
  return error;
}

// A server error keeps the number from its answer; other pages without a
// result, the client errors among them, are the service's answer to it.
Status statusWithoutResult(const ModAPI::LoadStatus& load) {
  switch (load.outcome) {
    case ModAPI::LoadStatus::TimedOut:
      return Status::Timeout;
    case ModAPI::LoadStatus::Unreachable:
    case ModAPI::LoadStatus::RendererGone:
    case ModAPI::LoadStatus::TooManyRedirects:
      return Status::Unreachable;
    case ModAPI::LoadStatus::HttpError:
      return load.httpStatus >= 500 ? Status::Unreachable : Status::NoResult;
    case ModAPI::LoadStatus::Loaded:
    case ModAPI::LoadStatus::NoDocument:
      break;
  }
  return Status::NoResult;
}

// The word for the outcome in the readable block: the status line's text
// where the window shows one.
QString outcome(const Answer& answer) {
  switch (answer.status) {
    case Status::Found:
      return QStringLiteral("已查到");
    case Status::InvalidNumber:
      return QStringLiteral("单号无效");
    default:
      return answer.cause;
  }
}

// Qt's writer escapes only the C0 controls; U+2028 and U+2029 end lines
// for some readers. Outside strings JSON holds ASCII alone, so every such
// character stands in a string, where an escape means the same.
QByteArray withJsonEscapes(const QByteArray& json) {
  QString escaped;
  for (const QChar c : QString::fromUtf8(json)) {
    if (TerminalText::isControl(c) || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
      escaped += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    else
      escaped += c;
  }
  return escaped.toUtf8();
}

}  // namespace

QString statusName(Status status) {
  static constexpr const char* kNames[] = {"found", "no-result", "invalid-number", "unreachable",
                                           "timeout"};
  return QString::fromLatin1(kNames[static_cast<int>(status)]);
}

std::optional<Courier> findCourier(const QString& wanted, const QString& catalogueText) {
  const Catalogue catalogue(catalogueText);
  if (auto byName = lastCourier(catalogue.labels(), &Module1::CourierEntry::Caption, wanted))
    return byName;
  return lastCourier(catalogue.labels(), &Module1::CourierEntry::Tag, wanted);
}

std::vector<Item> withCourier(const Courier& courier, const QStringList& numbers) {
  std::vector<Item> items;
  items.reserve(numbers.size());
  for (const QString& number : numbers) items.push_back({courier, number});
  return items;
}

AutoCouriers resolveAuto(const QStringList& numbers, const NumberFormats::Table& formats,
                         const QString& catalogueText) {
  const Catalogue catalogue(catalogueText);
  std::vector<Item> items;
  QStringList problems;
  for (const QString& number : numbers) {
    std::vector<Courier> couriers;
    for (const QString& code : formats.codesMatching(number)) {
      if (auto courier = lastCourier(catalogue.labels(), &Module1::CourierEntry::Tag, code))
        couriers.push_back(std::move(*courier));
    }
    if (couriers.size() == 1)
      items.push_back({std::move(couriers.front()), number});
    else
      problems += autoProblem(number, couriers);
  }
  if (!problems.isEmpty()) return {{}, autoError(problems)};
  return {std::move(items), {}};
}

QStringList numbersFromLines(const QByteArray& input) {
  return ModAPI::splitLines(QString::fromUtf8(input));  // drops a byte-order mark at the start
}

Answer refused(const Courier& courier, const QString& number) {
  return {courier, number, Status::InvalidNumber, Query::invalidNumberMessage(courier.name), {}};
}

Answer fromCompletion(const Courier& courier, const QString& number,
                      const Query::Completion& completion) {
  const QString result = completion.resultText.value_or(QString());
  if (Query::isAnswer(result))
    return {courier, number, Status::Found, FormControls::shownInTextBox(result), {}};
  // A service whose address went bad during the run was not asked at all.
  const Status status = completion.service.problem.isEmpty()
                            ? statusWithoutResult(completion.status)
                            : Status::Unreachable;
  return {courier, number, status, Query::noResultMessage(courier.name),
          Query::failureCause(completion)};
}

QByteArray asText(const Answer& answer) {
  QString block = TerminalText::shown(answer.courier.name + QLatin1Char(' ') + answer.number +
                                      QStringLiteral("：") + outcome(answer)) +
                  QLatin1Char('\n');
  for (const QString& line : answer.text.split(QLatin1Char('\n')))
    block += (line.isEmpty() ? line : QStringLiteral("  ") + TerminalText::shown(line)) +
             QLatin1Char('\n');
  return (block + QLatin1Char('\n')).toUtf8();
}

QByteArray asJson(const Answer& answer) {
  const QJsonObject object{
      {QStringLiteral("courier"), answer.courier.name},
      {QStringLiteral("code"), answer.courier.code},
      {QStringLiteral("number"), answer.number},
      {QStringLiteral("status"), statusName(answer.status)},
      {QStringLiteral("text"), answer.text},
      {QStringLiteral("cause"), answer.cause},
  };
  return withJsonEscapes(QJsonDocument(object).toJson(QJsonDocument::Compact)) + '\n';
}

// A hidden browser of the run, with the query path on it and the number it
// waits for.
struct Run::Page {
  ModAPI::WebBrowser browser;
  Query::Runner query{browser};
  std::optional<size_t> item;  // the item whose page is loading
};

Run::Run(std::vector<Item> items, int jobs)
    : items_(std::move(items)), jobs_(size_t(std::max(jobs, 1))), answers_(items_.size()) {}

Run::~Run() = default;

void Run::start() {
  QMetaObject::invokeMethod(this, &Run::sendMore, Qt::QueuedConnection);
}

void Run::stop() {
  state_ = State::Stopped;
}

// Numbers the check refuses are answered at once; each one that passes
// goes out on an idle page, until none is idle. A page's completion brings
// the run back here.
void Run::sendMore() {
  giveReadyAnswers();
  while (state_ == State::Running && sent_ < items_.size()) {
    Page* page = idlePage();
    if (!page) return;
    const size_t item = sent_++;
    const auto& [courier, number] = items_[item];
    if (page->query.send(courier.code, number)) {
      page->item = item;
    } else {
      answers_[item] = refused(courier, number);
      giveReadyAnswers();
    }
  }
}

// An idle page, made when every page is busy and the run may have another.
Run::Page* Run::idlePage() {
  for (const auto& page : pages_)
    if (!page->item) return page.get();
  if (pages_.size() == jobs_) return nullptr;
  auto& page = pages_.emplace_back(std::make_unique<Page>());
  connect(
      &page->query, &Query::Runner::completed, this,
      [this, &page = *page](const Query::Completion& completion) { complete(page, completion); });
  return page.get();
}

// Completions of a page that waits for nothing (the page moving on by
// itself) are not answers. The browser is still inside its completion
// here: further numbers go out from the event loop.
void Run::complete(Page& page, const Query::Completion& completion) {
  if (!page.item) return;
  const size_t item = *std::exchange(page.item, std::nullopt);
  const auto& [courier, number] = items_[item];
  answers_[item] = fromCompletion(courier, number, completion);
  giveReadyAnswers();
  QMetaObject::invokeMethod(this, &Run::sendMore, Qt::QueuedConnection);
}

// The answers that every number before them has, in input order; each one
// given is let go. The last one finishes the run.
void Run::giveReadyAnswers() {
  while (state_ == State::Running && given_ < items_.size() && answers_[given_]) {
    const Answer answer = *std::exchange(answers_[given_], std::nullopt);
    ++given_;
    emit answered(answer);
  }
  if (state_ == State::Running && given_ == items_.size()) {
    state_ = State::Finished;
    emit finished();
  }
}

}  // namespace Lookup
