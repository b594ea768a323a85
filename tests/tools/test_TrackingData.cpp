#include "TrackingData.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

using namespace TrackingService;

namespace {

const std::string kEvent = "shunfeng\tSF1001\t2026-12-05 14:32\t上海市 浦东新区\t已签收\n";

TEST(TrackingData, RejectsFaultyLinesWithTheirNumber) {
  struct Case {
    const char* what;
    std::string text;
    int line;
    const char* message;
  };
  const Case cases[] = {
      {"four fields", "ems\tE1\t2026-12-01 08:00\t北京市\n", 1, "found 4"},
      {"six fields", "ems\tE1\t2026-12-01 08:00\t北京市\t已揽收\tx\n", 1, "found 6"},
      {"empty code", "\tE1\t2026-12-01 08:00\t北京市\t已揽收\n", 1, "courier code"},
      {"empty number", "ems\t\t2026-12-01 08:00\t北京市\t已揽收\n", 1, "tracking number"},
      {"overlong number", "ems\t" + std::string(65, '1') + "\t2026-12-01 08:00\t北京市\t已揽收\n",
       1, "tracking number"},
      {"month 13", "ems\tE1\t2026-13-01 08:00\t北京市\t已揽收\n", 1, "bad time"},
      {"30 February", "ems\tE1\t2026-02-30 08:00\t北京市\t已揽收\n", 1, "bad time"},
      {"hour 24", "ems\tE1\t2026-12-01 24:00\t北京市\t已揽收\n", 1, "bad time"},
      {"one-digit hour", "ems\tE1\t2026-12-01 8:00\t北京市\t已揽收\n", 1, "bad time"},
      {"seconds", "ems\tE1\t2026-12-01 08:00:00\t北京市\t已揽收\n", 1, "bad time"},
      {"empty place", "ems\tE1\t2026-12-01 08:00\t\t已揽收\n", 1, "bad place"},
      {"GBK place", "ems\tE1\t2026-12-01 08:00\t\xB1\xB1\xBE\xA9\t已揽收\n", 1, "bad place"},
      {"control in status", "ems\tE1\t2026-12-01 08:00\t北京市\t已\x01揽收\n", 1, "bad status"},
      {"after comments, blanks and CRLF",
       "# head\r\n\r\n   \r\n" + kEvent + "  # indented comment\nems\tE1\n", 6, "found 2"},
  };
  for (const auto& c : cases) {
    const auto result = parseTrackingData(c.text);
    ASSERT_TRUE(result.error) << c.what;
    EXPECT_EQ(result.error->line, c.line) << c.what;
    EXPECT_NE(result.error->message.find(c.message), std::string::npos)
        << c.what << ": " << result.error->message;
    EXPECT_TRUE(result.shipments.empty()) << c.what;
  }
}

TEST(TrackingData, SkipsCommentsBlankLinesAndMarkAndAcceptsCrlf) {
  const auto result = parseTrackingData("\xEF\xBB\xBF# sample\r\n\r\n \t \n" + kEvent +
                                        "ems\tEA1 2&3\t2026-12-01 08:00\t北京市\t已揽收");
  ASSERT_FALSE(result.error) << result.error->message;
  ASSERT_EQ(result.shipments.size(), 2u);
  const auto& events = result.shipments.at({"ems", "EA1 2&3"});
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].status, "已揽收");  // last line without a line break
}

TEST(TrackingData, OrdersEventsNewestFirstWithLaterLinesWinningTies) {
  const auto result = parseTrackingData(
      "jd\tJD1\t2026-12-02 10:00\t武汉转运中心\t已到达\n"
      "jd\tJD1\t2026-11-30 23:59\t北京市\t已揽收\n"
      "zhongtong\tJD1\t2026-12-09 10:00\t别家\t别家的事件\n"
      "jd\tJD1\t2026-12-03 09:00\t武汉市\t派送中\n"
      "jd\tJD1\t2026-12-03 09:00\t武汉市\t已签收\n");
  ASSERT_FALSE(result.error);
  std::vector<std::string> statuses;
  for (const auto& event : result.shipments.at({"jd", "JD1"})) statuses.push_back(event.status);
  EXPECT_EQ(statuses, (std::vector<std::string>{"已签收", "派送中", "已到达", "已揽收"}));
  EXPECT_EQ(result.shipments.at({"zhongtong", "JD1"}).size(), 1u);
}

TEST(TrackingData, ReportsAnUnreadableFileWithoutLine) {
  for (const char* path : {"/nonexistent/shipments.tsv", "/tmp"}) {
    const auto result = loadTrackingData(path);
    ASSERT_TRUE(result.error) << path;
    EXPECT_EQ(result.error->line, 0) << path;
  }
}

TEST(TrackingData, PrintableUtf8) {
  struct Case {
    const char* bytes;
    bool printable;
    const char* exercises;
  };
  const Case cases[] = {
      {"AB&123 #%+", true, "ASCII punctuation and space"},
      {"上海市", true, "three-byte sequences"},
      {"\xF0\x9F\x93\xA6", true, "four-byte sequence"},
      {"\x7F", false, "DEL"},
      {"a\tb", false, "tab"},
      {"\xC2\x85", false, "C1 control"},
      {"\xC0\xAF", false, "overlong slash"},
      {"\xED\xA0\x80", false, "surrogate"},
      {"\xF4\x90\x80\x80", false, "above U+10FFFF"},
      {"\xE4\xB8", false, "truncated sequence"},
      {"\xB8\xAD", false, "stray continuation bytes (GBK)"},
  };
  for (const auto& c : cases) EXPECT_EQ(isPrintableUtf8(c.bytes), c.printable) << c.exercises;
}

std::string readFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The sample file serves the demo and the end-to-end tests: it must load, use
// courier codes that the sample catalogue offers, and hold the numbers that
// exercise the program's escaping.
TEST(TrackingData, SampleFileFitsTheSampleCatalogue) {
  const auto result = loadTrackingData(TRACKING_SERVICE_SAMPLE_DATA);
  ASSERT_FALSE(result.error) << result.error->line << ": " << result.error->message;
  EXPECT_GE(result.shipments.size(), 30u);

  const std::string catalogue = readFile(SAMPLE_CATALOGUE_SOURCE);
  const std::regex token("[^%,=\n]+");
  const std::set<std::string> catalogueWords(
      std::sregex_token_iterator(catalogue.begin(), catalogue.end(), token), {});
  std::set<std::string> codes;
  bool ampersand = false, space = false;
  for (const auto& [key, events] : result.shipments) {
    EXPECT_TRUE(catalogueWords.contains(key.first)) << key.first;
    codes.insert(key.first);
    ampersand |= key.second.find('&') != std::string::npos;
    space |= key.second.find(' ') != std::string::npos;
  }
  EXPECT_GE(codes.size(), 8u);
  EXPECT_TRUE(ampersand);
  EXPECT_TRUE(space);
}

}  // namespace
