#include "Query.h"

#include "CodePage.h"
#include "LineEnds.h"

#include <QUrl>

#include <algorithm>

namespace Query {

std::chrono::milliseconds timeLimit() {
  bool isNumber = false;
  const qint64 ms = qEnvironmentVariable("COURIER_QUERY_TIMEOUT_MS").toLongLong(&isNumber);
  if (!isNumber || ms <= 0) return ModAPI::WebBrowser::kDefaultTimeLimit;
  return std::min(std::chrono::milliseconds(ms), ModAPI::WebBrowser::kLongestTimeLimit);
}

bool isValidTrackingNumber(const QString& number) {
  if (number.isEmpty()) return false;
  bool unrepresentable = false;
  const QByteArray bytes = ModAPI::ToCodePage(ModAPI::CP_ACP, number, &unrepresentable);
  return !unrepresentable && bytes.size() == number.size();
}

QString queryAddress(const QString& base, const QString& code, const QString& number) {
  const auto encode = [](const QString& value) {
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
  };
  return base + QStringLiteral("/chaxun?com=") + encode(code) + QStringLiteral("&nu=") +
         encode(number);
}

// The scan starts at position 1 and reads every element, however many there
// are: the document's first element (position 0) is never the result.
std::optional<QString> findResultText(const QList<ModAPI::HtmlElement>& all) {
  std::optional<QString> text;
  const QString wanted = kResultId.toUpper();
  for (qsizetype i = 1; i < all.size(); ++i) {
    if (all[i].id.toUpper() != wanted) continue;
    text = all[i].innerText;
    text->replace(QLatin1Char('\r'), QLatin1String("\r\n\r\n"));
  }
  return text;
}

bool isAnswer(const QString& text) {
  return !text.isEmpty() && text != kLoadingText;
}

QString noResultMessage(const QString& courierName) {
  return QStringLiteral("查询不到结果，请您确认输入的是 ") + courierName +
         QStringLiteral(" 订单号！");
}

QString spokenOutcome(const QString& resultText, const QString& cause) {
  QString line;
  for (const QString& held : ModAPI::splitLines(resultText)) {
    line = held.trimmed();
    if (!line.isEmpty()) break;
  }
  if (cause.isEmpty()) return line;
  return line.isEmpty() ? cause : line + u' ' + cause;
}

QString invalidNumberTitle(const QString& courierName) {
  return courierName + QStringLiteral("订单查询");
}

QString invalidNumberMessage(const QString& courierName) {
  return QStringLiteral("请输入正确的 ") + courierName + QStringLiteral(" 订单号！");
}

QString failureCause(const Completion& completion) {
  const ServiceAddress::Service& service = completion.service;
  if (!service.problem.isEmpty()) return service.problem;
  const ModAPI::LoadStatus& status = completion.status;
  switch (status.outcome) {
    case ModAPI::LoadStatus::Unreachable:
      return service.base.isEmpty()
                 ? QStringLiteral("无法连接查询服务")
                 : QStringLiteral("无法连接查询服务 ") + ServiceAddress::hostAndPort(service.base);
    case ModAPI::LoadStatus::HttpError:
      return QStringLiteral("查询服务出错（HTTP %1）").arg(status.httpStatus);
    case ModAPI::LoadStatus::TimedOut:
      return QStringLiteral("查询超时");
    case ModAPI::LoadStatus::RendererGone:
      return QStringLiteral("查询页面意外关闭");
    case ModAPI::LoadStatus::TooManyRedirects:
      return QStringLiteral("查询服务重定向过多");
    case ModAPI::LoadStatus::Loaded:
    case ModAPI::LoadStatus::NoDocument:
      break;
  }
  return QStringLiteral("页面中没有查询结果");
}

Runner::Runner(ModAPI::WebBrowser& browser, QObject* parent) : QObject(parent), browser_(browser) {
  browser_.setTextReadFor(kResultId);
  connect(&browser_, &ModAPI::WebBrowser::DocumentComplete, this,
          [this](ModAPI::BrowserObject pDisp, const QString&, const ModAPI::LoadStatus& status) {
            if (pDisp == browser_.TopLevelObject())
              emit completed({findResultText(browser_.All()), status, service_});
          });
}

bool Runner::send(const QString& code, const QString& number) {
  if (!isValidTrackingNumber(number)) return false;
  service_ = ServiceAddress::find();
  const QString address = service_.problem.isEmpty() ? queryAddress(service_.base, code, number)
                                                     : QStringLiteral("about:blank");
  // The engine drops an address this long without a word, and the query
  // would wait out its whole time limit for nothing.
  if (address.size() > kMaxAddressLength) return false;
  browser_.setTimeLimit(timeLimit());
  browser_.Navigate(address);
  return true;
}

}  // namespace Query
