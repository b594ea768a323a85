#include "ImportFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

using namespace TrackingService;

namespace {

struct Read {
  std::vector<ShipmentEvent> events;
  std::optional<ImportError> error;
};

Read readAll(const std::string& text, ImportFormat format) {
  std::istringstream in(text);
  ImportReader reader(in, format);
  Read read;
  for (ShipmentEvent event; reader.next(event);) read.events.push_back(event);
  read.error = reader.error();
  return read;
}

const std::string kEvent = "shunfeng\tSF1001\t2026-12-05 14:32\t上海市 浦东新区\t已签收\n";

TEST(ImportFile, FormatFollowsTheFileName) {
  EXPECT_EQ(formatOf("/data/events.csv"), ImportFormat::Csv);
  EXPECT_EQ(formatOf("EXPORT.CSV"), ImportFormat::Csv);
  EXPECT_EQ(formatOf("events.tsv"), ImportFormat::Tsv);
  EXPECT_EQ(formatOf("events.csv.txt"), ImportFormat::Tsv);
  EXPECT_EQ(formatOf("events"), ImportFormat::Tsv);
}

TEST(ImportFile, ReadsTabSeparatedLinesInOrderSkippingCommentsBlanksMarkAndHeader) {
  const auto read =
      readAll("\xEF\xBB\xBF# sample\r\n\r\n \t \ncom\tnu\ttime\tplace\tstatus\n" + kEvent +
                  "  # indented comment\n" + "ems\tEA1 2&3\t2026-12-01 08:00\t北京市\t\"已揽收\"",
              ImportFormat::Tsv);
  ASSERT_FALSE(read.error) << read.error->message;
  ASSERT_EQ(read.events.size(), 2u);
  EXPECT_EQ(read.events[0].number, "SF1001");
  EXPECT_EQ(read.events[0].event.place, "上海市 浦东新区");
  EXPECT_EQ(read.events[1].number, "EA1 2&3");
  EXPECT_EQ(read.events[1].event.status, "\"已揽收\"");  // quotes are text in TSV
  EXPECT_TRUE(read.events[1].id.empty());
}

TEST(ImportFile, ReadsCommaSeparatedLinesWithQuotedFields) {
  const auto read = readAll(
      "com,nu,time,place,status\r\n"
      "yuantong,\"AB,123\",2026-12-01 08:00,\"北京市 \"\"朝阳\"\"区\",已揽收\r\n"
      "yuantong,YT 1,2026-12-01 09:00,北京市,\"\"\n"
      "yuantong,YT\"2,2026-12-01 09:00,北京市,\"到达，待派送\"\n",
      ImportFormat::Csv);
  ASSERT_TRUE(read.error);  // the empty quoted status
  EXPECT_EQ(read.error->line, 3);
  EXPECT_EQ(read.error->message, "bad status (empty)");

  const auto sound = readAll(
      "yuantong,\"AB,123\",2026-12-01 08:00,\"北京市 \"\"朝阳\"\"区\",已揽收\n"
      "yuantong,YT\"2,2026-12-01 09:00,北京市,\"到达，待派送\"\n",
      ImportFormat::Csv);
  ASSERT_FALSE(sound.error) << sound.error->message;
  ASSERT_EQ(sound.events.size(), 2u);
  EXPECT_EQ(sound.events[0].number, "AB,123");
  EXPECT_EQ(sound.events[0].event.place, "北京市 \"朝阳\"区");
  EXPECT_EQ(sound.events[1].number, "YT\"2");  // a quote inside an unquoted field is text
  EXPECT_EQ(sound.events[1].event.status, "到达，待派送");
}

TEST(ImportFile, StopsAtTheFirstFaultyLineAndNamesIt) {
  struct Case {
    const char* what;
    ImportFormat format;
    std::string text;
    int line;
    const char* message;
  };
  const Case cases[] = {
      {"four fields", ImportFormat::Tsv, "ems\tE1\t2026-12-01 08:00\t北京市\n", 1,
       "expected 5 fields separated by tabs (code, number, time, place, status), found 4"},
      {"six fields", ImportFormat::Tsv, "ems\tE1\t2026-12-01 08:00\t北京市\t已揽收\tx\n", 1,
       "found 6"},
      {"commas in a TSV file", ImportFormat::Tsv, "ems,E1,2026-12-01 08:00,北京市,已揽收\n", 1,
       "found 1"},
      {"tabs in a CSV file", ImportFormat::Csv, kEvent, 1, "separated by commas"},
      {"unclosed quote", ImportFormat::Csv, "ems,\"E1,2026-12-01 08:00,北京市,已揽收\n", 1,
       "a quoted field does not end on its line"},
      {"text after a quote", ImportFormat::Csv, "ems,\"E1\"x,2026-12-01 08:00,北京市,已揽收\n", 1,
       "text after a closing quote"},
      {"bad time", ImportFormat::Csv, "ems,E1,2026-12-01T08:00,北京市,已揽收\n", 1, "bad time"},
      {"header after data", ImportFormat::Tsv, kEvent + "com\tnu\ttime\tplace\tstatus\n", 2,
       "bad time \"time\""},
      {"after comments, blanks and CRLF", ImportFormat::Tsv,
       "# head\r\n\r\n   \r\n" + kEvent + "  # indented comment\nems\tE1\n", 6, "found 2"},
  };
  for (const auto& c : cases) {
    const auto read = readAll(c.text, c.format);
    ASSERT_TRUE(read.error) << c.what;
    EXPECT_EQ(read.error->line, c.line) << c.what;
    EXPECT_NE(read.error->message.find(c.message), std::string::npos)
        << c.what << ": " << read.error->message;
  }
}

std::string readFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The sample file serves the demo and the end-to-end tests: it must import,
// use courier codes that the sample catalogue offers, and hold the numbers
// that exercise the program's escaping.
TEST(ImportFile, SampleFileFitsTheSampleCatalogue) {
  const auto read = readAll(readFile(SERVICE_SAMPLE_DATA), formatOf(SERVICE_SAMPLE_DATA));
  ASSERT_FALSE(read.error) << read.error->line << ": " << read.error->message;
  std::set<std::pair<std::string, std::string>> shipments;
  for (const auto& event : read.events) shipments.emplace(event.code, event.number);
  EXPECT_GE(shipments.size(), 30u);

  const std::string catalogue = readFile(SAMPLE_CATALOGUE_SOURCE);
  const std::regex token("[^%,=\n]+");
  const std::set<std::string> catalogueWords(
      std::sregex_token_iterator(catalogue.begin(), catalogue.end(), token), {});
  std::set<std::string> codes;
  bool ampersand = false, space = false;
  for (const auto& [code, number] : shipments) {
    EXPECT_TRUE(catalogueWords.contains(code)) << code;
    codes.insert(code);
    ampersand |= number.find('&') != std::string::npos;
    space |= number.find(' ') != std::string::npos;
  }
  EXPECT_GE(codes.size(), 8u);
  EXPECT_TRUE(ampersand);
  EXPECT_TRUE(space);
}

}  // namespace
