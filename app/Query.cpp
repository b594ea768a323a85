#include "Query.h"

#include "CodePage.h"

#include <QUrl>

namespace Query {

QString ServiceBase() {
  QString base =
      qEnvironmentVariable("COURIER_QUERY_SERVICE", QStringLiteral("http://127.0.0.1:8765"));
  while (base.endsWith(QLatin1Char('/'))) base.chop(1);
  return base;
}

std::chrono::milliseconds TimeLimit() {
  bool isNumber = false;
  const qint64 ms = qEnvironmentVariable("COURIER_QUERY_TIMEOUT_MS").toLongLong(&isNumber);
  if (!isNumber || ms <= 0) return ModAPI::WebBrowser::kDefaultTimeLimit;
  return std::chrono::milliseconds(ms);
}

bool IsValidTrackingNumber(const QString& number) {
  if (number.isEmpty()) return false;
  bool unrepresentable = false;
  const QByteArray bytes = ModAPI::ToCodePage(ModAPI::CP_ACP, number, &unrepresentable);
  return !unrepresentable && bytes.size() == number.size();
}

QString QueryAddress(const QString& base, const QString& code, const QString& number) {
  const auto encode = [](const QString& value) {
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
  };
  return base + QStringLiteral("/chaxun?com=") + encode(code) + QStringLiteral("&nu=") +
         encode(number);
}

// The scan starts at position 1 and reads every element, however many there
// are: the document's first element (position 0) is never the result.
std::optional<QString> FindResultText(const QList<ModAPI::HtmlElement>& all) {
  std::optional<QString> text;
  const QString wanted = kResultId.toUpper();
  for (qsizetype i = 1; i < all.size(); ++i) {
    if (all[i].id.toUpper() != wanted) continue;
    text = all[i].innerText;
    text->replace(QLatin1Char('\r'), QLatin1String("\r\n\r\n"));
  }
  return text;
}

bool IsAnswer(const QString& text) {
  return !text.isEmpty() && text != kLoadingText;
}

QString NoResultMessage(const QString& courierName) {
  return QStringLiteral("查询不到结果，请您确认输入的是 ") + courierName +
         QStringLiteral(" 订单号！");
}

QString InvalidNumberTitle(const QString& courierName) {
  return courierName + QStringLiteral("订单查询");
}

QString InvalidNumberMessage(const QString& courierName) {
  return QStringLiteral("请输入正确的 ") + courierName + QStringLiteral(" 订单号！");
}

QString FailureCause(const ModAPI::LoadStatus& status) {
  switch (status.outcome) {
    case ModAPI::LoadStatus::Unreachable:
      return QStringLiteral("无法连接查询服务");
    case ModAPI::LoadStatus::HttpError:
      return QStringLiteral("查询服务出错（HTTP %1）").arg(status.httpStatus);
    case ModAPI::LoadStatus::TimedOut:
      return QStringLiteral("查询超时");
    case ModAPI::LoadStatus::Loaded:
    case ModAPI::LoadStatus::NoDocument:
      break;
  }
  return QStringLiteral("页面中没有查询结果");
}

Runner::Runner(ModAPI::WebBrowser& browser, QObject* parent) : QObject(parent), browser_(browser) {
  connect(&browser_, &ModAPI::WebBrowser::DocumentComplete, this,
          [this](ModAPI::BrowserObject pDisp, const QString&, const ModAPI::LoadStatus& status) {
            if (pDisp == browser_.TopLevelObject())
              emit Completed({FindResultText(browser_.All()), status});
          });
}

bool Runner::Send(const QString& code, const QString& number) {
  if (!IsValidTrackingNumber(number)) return false;
  browser_.setTimeLimit(TimeLimit());
  browser_.Navigate(QueryAddress(ServiceBase(), code, number));
  return true;
}

}  // namespace Query
