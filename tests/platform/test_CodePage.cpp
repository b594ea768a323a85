#include "CodePage.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace ModAPI;

namespace {

// "圆通快递" in GBK and in UTF-8.
const QByteArray kYuantongGbk("\xD4\xB2\xCD\xA8\xBF\xEC\xB5\xDD");
const QString kYuantong = QString::fromUtf8("圆通快递");

int unitsNeeded(unsigned codePage, const QByteArray& bytes) {
  return MultiByteToWideChar(codePage, 0, bytes.constData(), int(bytes.size()), nullptr, 0);
}

int bytesNeeded(unsigned codePage, const std::u16string& text, bool* usedDefault = nullptr) {
  return WideCharToMultiByte(codePage, 0, text.data(), int(text.size()), nullptr, 0, usedDefault);
}

TEST(CodePage, GbkRoundTripsThroughBothNamesOfTheAnsiCodePage) {
  for (unsigned codePage : {CP_ACP, CP_GBK}) {
    EXPECT_EQ(FromCodePage(codePage, kYuantongGbk), kYuantong) << codePage;
    bool usedDefault = true;
    EXPECT_EQ(ToCodePage(codePage, kYuantong, &usedDefault), kYuantongGbk) << codePage;
    EXPECT_FALSE(usedDefault);
  }
}

TEST(CodePage, ByteEightyIsTheEuroSignInGbk) {
  EXPECT_EQ(FromCodePage(CP_GBK, "A\x80"), QString::fromUtf8("A€"));
  EXPECT_EQ(ToCodePage(CP_GBK, QString::fromUtf8("€")), QByteArray("\x80"));
}

TEST(CodePage, Utf8OutsideTheBasicPlaneGivesASurrogatePair) {
  const QByteArray grinning("\xF0\x9F\x98\x80");
  EXPECT_EQ(FromCodePage(CP_UTF8, grinning), QString::fromUtf16(u"\xD83D\xDE00"));
  EXPECT_EQ(ToCodePage(CP_UTF8, QString::fromUtf16(u"\xD83D\xDE00")), grinning);
}

TEST(CodePage, QueryThenConvertFollowsTheTwoCallContract) {
  const int needed = unitsNeeded(CP_GBK, kYuantongGbk);
  ASSERT_EQ(needed, 4);
  char16_t units[4] = {};
  EXPECT_EQ(MultiByteToWideChar(CP_GBK, 0, kYuantongGbk.constData(), 8, units, 4), 4);
  EXPECT_EQ(std::u16string(units, 4), u"圆通快递");

  const std::u16string text = u"圆通快递";
  ASSERT_EQ(bytesNeeded(CP_GBK, text), 8);
  char bytes[8] = {};
  EXPECT_EQ(WideCharToMultiByte(CP_GBK, 0, text.data(), 4, bytes, 8, nullptr), 8);
  EXPECT_EQ(QByteArray(bytes, 8), kYuantongGbk);
}

TEST(CodePage, ZeroOutputCountAsksForTheLengthAndLeavesTheBufferAlone) {
  char16_t unit = u'x';
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "ab", 2, &unit, 0), 2);
  EXPECT_EQ(unit, u'x');
  char byte = 'x';
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"ab", 2, &byte, 0, nullptr), 2);
  EXPECT_EQ(byte, 'x');
}

TEST(CodePage, FailuresReturnZero) {
  char16_t units[8];
  char bytes[8];
  // Output too small.
  EXPECT_EQ(MultiByteToWideChar(CP_GBK, 0, kYuantongGbk.constData(), 8, units, 3), 0);
  EXPECT_EQ(WideCharToMultiByte(CP_GBK, 0, u"圆通", 2, bytes, 3, nullptr), 0);
  // Empty input, a negative input count other than -1, negative output count.
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a", 0, units, 8), 0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a", -3, units, 8), 0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a", 1, units, -1), 0);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"a", 0, bytes, 8, nullptr), 0);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"a", -3, bytes, 8, nullptr), 0);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"a", 1, bytes, -1, nullptr), 0);
  // A code page this program does not know.
  EXPECT_EQ(MultiByteToWideChar(1252, 0, "a", 1, units, 8), 0);
  EXPECT_EQ(WideCharToMultiByte(1252, 0, u"a", 1, bytes, 8, nullptr), 0);
  EXPECT_TRUE(FromCodePage(CP_UTF8, QByteArray()).isEmpty());
  EXPECT_TRUE(ToCodePage(CP_UTF8, QString()).isEmpty());
}

struct DecodeCase {
  const char* what;
  unsigned codePage;
  QByteArray bytes;
  std::u16string expected;
};

void ExpectDecodes(const DecodeCase& c) {
  SCOPED_TRACE(c.what);
  const int needed = unitsNeeded(c.codePage, c.bytes);
  EXPECT_EQ(needed, int(c.expected.size()));
  std::u16string units(c.expected.size(), u'\0');
  EXPECT_EQ(MultiByteToWideChar(c.codePage, 0, c.bytes.constData(), int(c.bytes.size()),
                                units.data(), int(units.size())),
            needed);
  EXPECT_EQ(units, c.expected);
}

TEST(CodePage, InvalidGbkBytesBecomeOneReplacementEach) {
  const DecodeCase cases[] = {
      {"byte that no GBK sequence starts with", CP_GBK, "a\xFFz", u"a\uFFFDz"},
      {"GBK lead byte cut off at the end", CP_GBK, "a\x81", u"a\uFFFD"},
      {"GBK lead byte with a bad trail: the trail survives", CP_GBK, "\x81 a", u"\uFFFD a"},
  };
  for (const DecodeCase& c : cases) ExpectDecodes(c);
}

// Expected outputs from the Unicode standard, chapter 3, "U+FFFD Substitution
// of Maximal Subparts": Table 3-8 and the section's examples of non-shortest
// forms, surrogates, other ill-formed and truncated sequences. Windows does
// the same for code page 65001 without MB_ERR_INVALID_CHARS.
TEST(CodePage, Utf8ReplacesEachMaximalIllFormedSubpartOnce) {
  const DecodeCase cases[] = {
      {"Table 3-8: mixed truncations and stray trail bytes", CP_UTF8,
       "\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64",
       u"a\uFFFD\uFFFD\uFFFDb\uFFFDc\uFFFD\uFFFDd"},
      {"non-shortest forms: one per byte", CP_UTF8, "\xC0\xAF\xE0\x80\xBF\xF0\x81\x82\x41",
       u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFDA"},
      {"encoded surrogates: one per byte", CP_UTF8, "\xED\xA0\x80\xED\xBF\xBF\xED\xAF\x41",
       u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFDA"},
      {"above U+10FFFF, FF, stray trail bytes", CP_UTF8, "\xF4\x91\x92\x93\xFF\x41\x80\xBF\x42",
       u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFDA\uFFFD\uFFFDB"},
      {"truncated sequences: one each", CP_UTF8, "\xE1\x80\xE2\xF0\x91\x92\xF1\xBF\x41",
       u"\uFFFD\uFFFD\uFFFD\uFFFDA"},
      {"3-byte sequence cut off at the end is one subpart", CP_UTF8, "a\xE5\x9C", u"a\uFFFD"},
      {"4-byte sequence cut off at the end is one subpart", CP_UTF8, "\xF0\x9F\x98", u"\uFFFD"},
      {"a lead byte alone at the end", CP_UTF8, "z\xC3", u"z\uFFFD"},
      {"lead byte F8 starts nothing", CP_UTF8, "\xF8\x88\x80\x80\x80",
       u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"C1 is always overlong", CP_UTF8, "\xC1\xBF", u"\uFFFD\uFFFD"},
      {"the valid extremes of each length", CP_UTF8,
       "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xF0\x90\x80\x80\xF4\x8F\xBF\xBF",
       u"\x7F\x80\u07FF\u0800\uD7FF\uE000\U00010000\U0010FFFF"},
  };
  for (const DecodeCase& c : cases) ExpectDecodes(c);
}

// A source count of -1 means "up to and including the NUL" (the NUL is
// converted too); other negative counts fail as before.
TEST(CodePage, CountMinusOneRunsThroughTheTerminatingNul) {
  for (unsigned codePage : {CP_GBK, CP_UTF8}) {
    SCOPED_TRACE(codePage);
    EXPECT_EQ(MultiByteToWideChar(codePage, 0, "ab", -1, nullptr, 0), 3);
    char16_t units[3] = {u'x', u'x', u'x'};
    EXPECT_EQ(MultiByteToWideChar(codePage, 0, "ab", -1, units, 3), 3);
    EXPECT_EQ(std::u16string(units, 3), std::u16string(u"ab\0", 3));
    EXPECT_EQ(MultiByteToWideChar(codePage, 0, "ab", -1, units, 2), 0) << "no room for the NUL";
    EXPECT_EQ(MultiByteToWideChar(codePage, 0, "", -1, units, 3), 1) << "the NUL alone";
    EXPECT_EQ(MultiByteToWideChar(codePage, 0, "ab", -2, units, 3), 0);

    EXPECT_EQ(WideCharToMultiByte(codePage, 0, u"ab", -1, nullptr, 0, nullptr), 3);
    char bytes[3] = {'x', 'x', 'x'};
    EXPECT_EQ(WideCharToMultiByte(codePage, 0, u"ab", -1, bytes, 3, nullptr), 3);
    EXPECT_EQ(QByteArray(bytes, 3), QByteArray("ab\0", 3));
    EXPECT_EQ(WideCharToMultiByte(codePage, 0, u"ab", -2, bytes, 3, nullptr), 0);
  }
  char16_t units[4];
  EXPECT_EQ(MultiByteToWideChar(CP_GBK, 0, kYuantongGbk.constData(), -1, units, 4), 0)
      << "four characters and the NUL need five units";
}

struct EncodeCase {
  const char* what;
  unsigned codePage;
  std::u16string text;
  QByteArray expected;
  bool usedDefault;
};

TEST(CodePage, UnrepresentableCharactersBecomeQuestionMarks) {
  const EncodeCase cases[] = {
      {"plain text", CP_GBK, u"A圆", "A\xD4\xB2", false},
      {"a question mark of the text is no replacement", CP_GBK, u"a?b", "a?b", false},
      {"Hangul and Thai are not in GBK", CP_GBK, u"a한ก", "a??", true},
      {"a character outside the basic plane counts once", CP_GBK, u"\xD83D\xDE00z", "?z", true},
      {"lone high surrogate before a letter", CP_GBK, u"\xD800Z", "?Z", true},
      {"lone low surrogate at the end", CP_GBK, u"A\xDC00", "A?", true},
      {"lone high surrogate at the end", CP_UTF8, u"A\xD800", "A?", true},
      {"reversed surrogate pair", CP_UTF8, u"\xDE00\xD83D", "??", true},
  };
  for (const EncodeCase& c : cases) {
    SCOPED_TRACE(c.what);
    bool usedDefault = !c.usedDefault;
    const int needed = bytesNeeded(c.codePage, c.text, &usedDefault);
    EXPECT_EQ(needed, int(c.expected.size()));
    EXPECT_EQ(usedDefault, c.usedDefault);
    QByteArray bytes(needed, '\0');
    usedDefault = !c.usedDefault;
    EXPECT_EQ(WideCharToMultiByte(c.codePage, 0, c.text.data(), int(c.text.size()), bytes.data(),
                                  needed, &usedDefault),
              needed);
    EXPECT_EQ(bytes, c.expected);
    EXPECT_EQ(usedDefault, c.usedDefault);
  }
}

// The length query measures through a small scratch buffer; FromCodePage
// converts in one pass into a buffer of one unit per byte. Both must agree on
// any input, including inputs far longer than the scratch buffer and full of
// bad sequences.
TEST(CodePage, QueryAgreesWithConversionOnRandomInput) {
  std::mt19937 random(936);
  for (int round = 0; round < 200; ++round) {
    const int length = round < 190 ? int(random() % 64) + 1 : 100000 + int(random() % 1000);
    QByteArray bytes(length, Qt::Uninitialized);
    for (char& byte : bytes)
      byte = char(random() % 4 == 0 ? random() % 0x80 : 0x80 + random() % 0x80);
    for (unsigned codePage : {CP_GBK, CP_UTF8}) {
      const QString text = FromCodePage(codePage, bytes);
      ASSERT_EQ(text.size(), unitsNeeded(codePage, bytes)) << round;
      // Decoded text is valid UTF-16, so it converts back without loss when
      // nothing was replaced.
      if (!text.contains(QChar(0xFFFD))) {
        ASSERT_EQ(ToCodePage(codePage, text), bytes) << round;
      }
    }
  }
}

TEST(CodePage, LongTextConvertsWhole) {
  const QString text = kYuantong.repeated(50000);
  const QByteArray gbk = kYuantongGbk.repeated(50000);
  EXPECT_EQ(ToCodePage(CP_GBK, text), gbk);
  EXPECT_EQ(FromCodePage(CP_GBK, gbk), text);
  EXPECT_EQ(FromCodePage(CP_UTF8, text.toUtf8()), text);
}

}  // namespace
