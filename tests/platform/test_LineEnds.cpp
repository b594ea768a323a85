// The one rule for line ends: CR LF, a lone CR and a lone LF each end a line.
#include "LineEnds.h"

#include <gtest/gtest.h>

using ModAPI::splitLines;
using ModAPI::withLfLineEnds;

namespace {

struct Case {
  const char* text;
  QStringList lines;
  const char* withLf;
};

// Each case, as text and as bytes: the two must split alike.
const Case kCases[] = {
    {"", {}, ""},
    {"a", {"a"}, "a"},
    {"a\n", {"a"}, "a\n"},                                 // an end at the end starts no line
    {"\n", {""}, "\n"},                                    // but the line before it counts
    {"a\r\nb\rc\nd", {"a", "b", "c", "d"}, "a\nb\nc\nd"},  // the three ends, mixed
    {"a\n\r\nb", {"a", "", "b"}, "a\n\nb"},                // LF, then CR LF: two ends
    {"a\r\r\nb", {"a", "", "b"}, "a\n\nb"},                // a lone CR before a pair
    {"a\n\rb", {"a", "", "b"}, "a\n\nb"},                  // LF CR is no pair
    {"a\r\n\r\n", {"a", ""}, "a\n\n"},
    {"\r", {""}, "\n"},
};

TEST(LineEnds, TextAndBytesSplitAtEveryKindOfEnd) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(QByteArray(c.text).toPercentEncoding().toStdString());
    EXPECT_EQ(splitLines(QString::fromLatin1(c.text)), c.lines);
    QByteArrayList bytes;
    for (const QString& line : c.lines) bytes += line.toLatin1();
    EXPECT_EQ(splitLines(QByteArray(c.text)), bytes);
    EXPECT_EQ(withLfLineEnds(QString::fromLatin1(c.text)), QString::fromLatin1(c.withLf));
  }
}

// Text outside ASCII passes through; GBK bytes hold no CR or LF inside a
// character.
TEST(LineEnds, KeepsEverythingButTheEnds) {
  EXPECT_EQ(splitLines(QStringLiteral("顺丰\r\n圆通")), QStringList({"顺丰", "圆通"}));
  const QByteArray gbk("\xcb\xb3\xb7\xe1\r\n\xd4\xb2", 8);
  EXPECT_EQ(splitLines(gbk), QByteArrayList({"\xcb\xb3\xb7\xe1", "\xd4\xb2"}));
  EXPECT_EQ(withLfLineEnds(QStringLiteral(" a \t")), " a \t");
}

}  // namespace
