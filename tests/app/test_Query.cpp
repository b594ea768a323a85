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
  for (const Case& c : cases) EXPECT_EQ(Query::IsValidTrackingNumber(c.number), c.valid) << c.what;
}

TEST(QueryAddress, KeysAndValuesInOrder) {
  EXPECT_EQ(Query::QueryAddress("http://127.0.0.1:8765", "yuantong", "YT12345"),
            "http://127.0.0.1:8765/chaxun?com=yuantong&nu=YT12345");
}

TEST(QueryAddress, ValuesCannotAddKeys) {
  EXPECT_EQ(Query::QueryAddress("http://h", "a&b", " 1&nu=2#3%+"),
            "http://h/chaxun?com=a%26b&nu=%201%26nu%3D2%233%25%2B");
  EXPECT_EQ(Query::QueryAddress("http://h", "中", "x"), "http://h/chaxun?com=%E4%B8%AD&nu=x");
}

TEST(ServiceBase, FromTheEnvironmentWithoutTrailingSlash) {
  qputenv("COURIER_QUERY_SERVICE", "http://example.test:9/");
  EXPECT_EQ(Query::ServiceBase(), "http://example.test:9");
  qunsetenv("COURIER_QUERY_SERVICE");
  EXPECT_EQ(Query::ServiceBase(), "http://127.0.0.1:8765");
}

QList<HtmlElement> page(std::initializer_list<HtmlElement> body) {
  QList<HtmlElement> all{{"", ""}, {"", ""}};  // html, head
  all.append(body);
  return all;
}

TEST(FindResultText, LastMatchInAnyLetterCase) {
  EXPECT_EQ(Query::FindResultText(
                page({{"QUERYRESULT2", "first"}, {"x", "y"}, {"queryresult2", "last"}})),
            "last");
  EXPECT_EQ(Query::FindResultText(page({{"queryResult2", ""}})), "");
  EXPECT_EQ(Query::FindResultText(page({{"queryResult", "near miss"}})), std::nullopt);
}

TEST(FindResultText, PositionZeroIsNeverExamined) {
  EXPECT_EQ(Query::FindResultText({{"queryResult2", "html itself"}, {"", ""}}), std::nullopt);
}

TEST(FindResultText, EveryCarriageReturnBecomesTwoLineBreaks) {
  EXPECT_EQ(Query::FindResultText(page({{"queryResult2", "a\r\nb\rc"}})), "a\r\n\r\n\nb\r\n\r\nc");
}

TEST(FindResultText, ScansPastTheSixteenBitLimit) {
  QList<HtmlElement> all(40000);
  all.back() = {"queryResult2", "found"};
  EXPECT_EQ(Query::FindResultText(all), "found");
}

TEST(TimeLimit, TwentySecondsUnlessTheVariableGivesAPositiveNumber) {
  const struct {
    const char* value;
    qint64 ms;
  } cases[] = {{nullptr, 20000}, {"1500", 1500}, {"", 20000},   {"0", 20000},
               {"-5", 20000},    {"2s", 20000},  {"1e3", 20000}};
  for (const auto& c : cases) {
    if (c.value)
      qputenv("COURIER_QUERY_TIMEOUT_MS", c.value);
    else
      qunsetenv("COURIER_QUERY_TIMEOUT_MS");
    EXPECT_EQ(Query::TimeLimit().count(), c.ms) << (c.value ? c.value : "(not set)");
  }
  qunsetenv("COURIER_QUERY_TIMEOUT_MS");
}

TEST(FailureCause, OneLinePerWayALoadEnds) {
  using ModAPI::LoadStatus;
  EXPECT_EQ(Query::FailureCause({LoadStatus::Unreachable}), "无法连接查询服务");
  EXPECT_EQ(Query::FailureCause({LoadStatus::HttpError, 503}), "查询服务出错（HTTP 503）");
  EXPECT_EQ(Query::FailureCause({LoadStatus::TimedOut}), "查询超时");
  EXPECT_EQ(Query::FailureCause({LoadStatus::Loaded}), "页面中没有查询结果");
  EXPECT_EQ(Query::FailureCause({LoadStatus::NoDocument}), "页面中没有查询结果");
}

}  // namespace
