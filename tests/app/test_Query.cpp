// The number check, the query address and the result search, without a
// browser: the end-to-end tests run them against real pages.
#include "Query.h"

#include <gtest/gtest.h>

namespace {

using ModAPI::HtmlElement;

TEST(TrackingNumber, OneByteCharactersOnly) {
  struct Case {
    const char* what;
    QString number;
    bool valid;
  } const cases[] = {
      {"empty", "", false},
      {"the prompt", "请输入 圆通快递 单号", false},
      {"full-width digits", "１２３４５", false},
      {"ASCII digits", "12345", true},
      {"blanks around digits", "  12345 ", true},
      {"letters and punctuation", "YT-123&x=1#", true},
      {"accented letter (two bytes in GBK)", "12é", false},
      {"outside GBK altogether", "12\U0001F600", false},
      {"a lone surrogate", QString(QChar(0xD800)), false},
  };
  for (const Case& c : cases) EXPECT_EQ(Query::isValidTrackingNumber(c.number), c.valid) << c.what;
}

// The first line that is not blank, whichever line end ends it, then the cause.
TEST(SpokenOutcome, FirstLineThenTheCause) {
  EXPECT_EQ(Query::spokenOutcome("已签收\r\n\r\n派送中", ""), "已签收");
  EXPECT_EQ(Query::spokenOutcome("\r\n  \r\n 已揽收 \r\n已签收", ""), "已揽收")
      << "blank lines are not read";
  EXPECT_EQ(Query::spokenOutcome("a 1\nb", ""), "a 1") << "a lone LF";
  EXPECT_EQ(Query::spokenOutcome("a\r\r\n\r\nb", ""), "a") << "a lone CR";
  EXPECT_EQ(Query::spokenOutcome("查询不到结果！", "查询超时"), "查询不到结果！ 查询超时");
  EXPECT_EQ(Query::spokenOutcome("", "查询超时"), "查询超时");
  EXPECT_EQ(Query::spokenOutcome("\r\n", ""), "");
}

TEST(QueryAddress, KeysAndValuesInOrder) {
  EXPECT_EQ(Query::queryAddress("http://127.0.0.1:8765", "yuantong", "YT12345"),
            "http://127.0.0.1:8765/chaxun?com=yuantong&nu=YT12345");
}

TEST(QueryAddress, ValuesCannotAddKeys) {
  EXPECT_EQ(Query::queryAddress("http://h", "a&b", " 1&nu=2#3%+"),
            "http://h/chaxun?com=a%26b&nu=%201%26nu%3D2%233%25%2B");
  EXPECT_EQ(Query::queryAddress("http://h", "中", "x"), "http://h/chaxun?com=%E4%B8%AD&nu=x");
}

QList<HtmlElement> page(std::initializer_list<HtmlElement> body) {
  QList<HtmlElement> all{{"", ""}, {"", ""}};  // html, head
  all.append(body);
  return all;
}

TEST(FindResultText, LastMatchInAnyLetterCase) {
  EXPECT_EQ(Query::findResultText(
                page({{"QUERYRESULT2", "first"}, {"x", "y"}, {"queryresult2", "last"}})),
            "last");
  EXPECT_EQ(Query::findResultText(page({{"queryResult2", ""}})), "");
  EXPECT_EQ(Query::findResultText(page({{"queryResult", "near miss"}})), std::nullopt);
}

TEST(FindResultText, PositionZeroIsNeverExamined) {
  EXPECT_EQ(Query::findResultText({{"queryResult2", "html itself"}, {"", ""}}), std::nullopt);
}

TEST(FindResultText, EveryCarriageReturnBecomesTwoLineBreaks) {
  EXPECT_EQ(Query::findResultText(page({{"queryResult2", "a\r\nb\rc"}})), "a\r\n\r\n\nb\r\n\r\nc");
}

TEST(FindResultText, ScansPastTheSixteenBitLimit) {
  QList<HtmlElement> all(40000);
  all.back() = {"queryResult2", "found"};
  EXPECT_EQ(Query::findResultText(all), "found");
}

TEST(TimeLimit, TwentySecondsUnlessTheVariableGivesAPositiveNumber) {
  const struct {
    const char* value;
    qint64 ms;
  } cases[] = {{nullptr, 20000},
               {"1500", 1500},
               {"", 20000},
               {"0", 20000},
               {"-5", 20000},
               {"2s", 20000},
               {"1e3", 20000},
               // Past 32 bits the limit is cut, not wrapped to 0 or 1 s.
               {"2147483647", 2147483647},
               {"2147483648", 2147483647},
               {"4294967296", 2147483647},
               {"4294968296", 2147483647}};
  for (const auto& c : cases) {
    if (c.value)
      qputenv("COURIER_QUERY_TIMEOUT_MS", c.value);
    else
      qunsetenv("COURIER_QUERY_TIMEOUT_MS");
    EXPECT_EQ(Query::timeLimit().count(), c.ms) << (c.value ? c.value : "(not set)");
  }
  qunsetenv("COURIER_QUERY_TIMEOUT_MS");
}

// Each way a load ends, after a query to the default service, and before
// any query (the start-up page), when there is no service to name.
TEST(FailureCause, OneLinePerWayALoadEnds) {
  using ModAPI::LoadStatus;
  const ServiceAddress::Service service{"http://127.0.0.1:8765", {}, {}};
  const auto cause = [&](LoadStatus status) {
    return Query::failureCause({std::nullopt, status, service});
  };
  EXPECT_EQ(cause({LoadStatus::Unreachable}), "无法连接查询服务 127.0.0.1:8765");
  EXPECT_EQ(cause({LoadStatus::HttpError, 503}), "查询服务出错（HTTP 503）");
  EXPECT_EQ(cause({LoadStatus::TimedOut}), "查询超时");
  EXPECT_EQ(cause({LoadStatus::RendererGone}), "查询页面意外关闭");
  EXPECT_EQ(cause({LoadStatus::TooManyRedirects}), "查询服务重定向过多");
  EXPECT_EQ(cause({LoadStatus::Loaded}), "页面中没有查询结果");
  EXPECT_EQ(cause({LoadStatus::NoDocument}), "页面中没有查询结果");
  EXPECT_EQ(Query::failureCause({std::nullopt, {LoadStatus::Unreachable}}), "无法连接查询服务");
}

// A service whose address cannot be used is the cause, however the empty
// page loaded in its place ended.
TEST(FailureCause, AnUnusableServiceIsItsOwnProblem) {
  const ServiceAddress::Service service{"file:", "COURIER_QUERY_SERVICE", "地址无效"};
  for (const auto outcome : {ModAPI::LoadStatus::Loaded, ModAPI::LoadStatus::NoDocument})
    EXPECT_EQ(Query::failureCause({std::nullopt, {outcome}, service}), "地址无效");
}

}  // namespace
