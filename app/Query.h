// The tracking query's pure parts: the number check, the query address and
// the search for the result element.
#pragma once

#include "WebBrowser.h"

#include <QString>

#include <chrono>
#include <optional>

namespace Query {

inline const QString kLoadingText = QStringLiteral("正在加载。。。");
inline const QString kResultId = QStringLiteral("queryResult2");
constexpr uint32_t kResultColor = 0x000000;    // black
constexpr uint32_t kNoResultColor = 0x0000FF;  // red (0x00BBGGRR)

// The tracking service's base address: COURIER_QUERY_SERVICE, or the
// reference service on loopback; without trailing slashes.
QString ServiceBase();

// The time a query may take: COURIER_QUERY_TIMEOUT_MS, a whole number of
// milliseconds above 0, or 20 s when the variable is not set or not such a
// number.
std::chrono::milliseconds TimeLimit();

// A number passes when it is not empty and each of its characters takes one
// byte in the ANSI code page (GBK): no Chinese or full-width characters, and
// nothing the code page cannot represent at all.
bool IsValidTrackingNumber(const QString& number);

// base + "/chaxun?com=" + code + "&nu=" + number. Code and number are
// percent-encoded (all but letters, digits and "-._~"), so that "&", "#", "+",
// "%" or blanks in them stay part of their value and add no query keys.
QString QueryAddress(const QString& base, const QString& code, const QString& number);

// The text of the last element from position 1 on whose id equals
// "queryResult2" in any letter case, with every CR replaced by CR LF CR LF;
// nothing when there is no such element.
std::optional<QString> FindResultText(const QList<ModAPI::HtmlElement>& all);

// The red message for a query that found nothing.
QString NoResultMessage(const QString& courierName);

// Why a query found nothing, in one short line, from the way its page's load
// ended: the service could not be reached, answered with an HTTP error, took
// too long, or its page held no result.
QString FailureCause(const ModAPI::LoadStatus& status);

}  // namespace Query
