#include "TempFiles.h"
#include "mTextUTF.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

#include <sys/stat.h>

using namespace mTextUTF;

namespace {

// "圆通快递" in GBK; its first half "圆通" alone is also valid UTF-8.
const QByteArray kYuantongGbk("\xD4\xB2\xCD\xA8\xBF\xEC\xB5\xDD");
const QByteArray kYuanGbk("\xD4\xB2\xCD\xA8");
const QString kYuantong = QString::fromUtf8("圆通快递");

class ReadTextFileTest : public ::testing::Test {
 protected:
  QString write(const QByteArray& bytes, const QString& name = QStringLiteral("catalogue.txt")) {
    return writeFile(dir_.filePath(name), bytes);
  }
  QTemporaryDir dir_;
};

struct FileCase {
  const char* what;
  QByteArray bytes;
  int32_t encodingIn;
  QString expected;
  int32_t encodingOut;
};

// UTF-16 units taken as they are: a leading U+FEFF and embedded NULs stay.
template <size_t N>
QString units(const char16_t (&text)[N]) {
  return QString(reinterpret_cast<const QChar*>(text), N - 1);
}

TEST_F(ReadTextFileTest, DecodesEveryEncodingByTheBytes) {
  const FileCase cases[] = {
      {"empty file", "", kDetect, "", kAnsi},
      {"empty file keeps a forced encoding", "", kUtf16LE, "", kUtf16LE},
      {"pure ASCII is ANSI, not UTF-8", "SF,abc\r\n", kDetect, "SF,abc\r\n", kAnsi},
      {"UTF-8 without a mark", "a" + kYuantong.toUtf8(), kDetect, "a" + kYuantong, kUtf8},
      {"GBK that breaks the UTF-8 pattern", kYuantongGbk, kDetect, kYuantong, kAnsi},
      {"GBK that happens to be valid UTF-8 decodes as UTF-8", kYuanGbk, kDetect,
       units(u"\u0532\u0368"), kUtf8},
      {"UTF-8 cut off inside a character is ANSI", "A\xE5\x9C", kDetect, units(u"A\u9366"), kAnsi},
      {"invalid GBK bytes become replacements", "a\xFF\x81", kDetect, units(u"a\uFFFD\uFFFD"),
       kAnsi},
      {"UTF-8 mark and text", "\xEF\xBB\xBF" + kYuantong.toUtf8(), kDetect, kYuantong,
       kUtf8WithMark},
      {"UTF-8 mark alone", "\xEF\xBB\xBF", kDetect, "", kUtf8WithMark},
      {"UTF-16 LE", QByteArray("\xFF\xFE\x41\x00\x5D\x57", 6), kDetect, units(u"A\u575D"),
       kUtf16LE},
      {"UTF-16 LE odd payload: 7 bytes give 4 units, the last with high byte 0",
       QByteArray("\xFF\xFE\x41\0B\0C\0\xE9", 9), kDetect, units(u"ABC\u00E9"), kUtf16LE},
      {"UTF-16 BE", QByteArray("\xFE\xFF\x00\x41\x57\x5D", 6), kDetect, units(u"A\u575D"),
       kUtf16BE},
      {"UTF-16 BE odd payload: 7 bytes give 3 units", QByteArray("\xFE\xFF\0A\0B\0C\0", 9), kDetect,
       "ABC", kUtf16BE},
      {"UTF-16 BE mark and one byte", QByteArray("\xFE\xFF\x41", 3), kDetect, "", kUtf16BE},
      {"UTF-16 LE text starting with U+0000 is taken as UTF-32 LE",
       QByteArray("\xFF\xFE\0\0A\0", 6), kDetect, "", kUtf32LE},
      {"FF FE alone counts as UTF-32 LE (missing bytes are zero)", "\xFF\xFE", kDetect, "",
       kUtf32LE},
      {"UTF-32 BE", QByteArray("\0\0\xFE\xFF\0\0\0A", 8), kDetect, "", kUtf32BE},
      {"forced UTF-8 on a file without mark", kYuantong.toUtf8(), kUtf8WithMark, kYuantong,
       kUtf8WithMark},
      {"forced UTF-8 mark on a marked file skips the mark", "\xEF\xBB\xBFZ", kUtf8WithMark, "Z",
       kUtf8WithMark},
      {"forced UTF-8 without mark decodes the mark as U+FEFF", "\xEF\xBB\xBFZ", kUtf8,
       units(u"\uFEFFZ"), kUtf8},
      {"forced ANSI decodes the UTF-8 mark as GBK: EF BB is one character, BF a bad lead",
       "\xEF\xBB\xBF\r\n", kAnsi, units(u"\u9518\uFFFD\r\n"), kAnsi},
      {"forced ANSI on GBK that looks like UTF-8", kYuanGbk, kAnsi, QString::fromUtf8("圆通"),
       kAnsi},
      {"forced UTF-16 LE on a UTF-16 BE file decodes the swapped mark",
       QByteArray("\xFE\xFF\0A", 4), kUtf16LE, units(u"\uFFFE\u4100"), kUtf16LE},
      {"forced UTF-16 LE reads a text that starts with U+0000", QByteArray("\xFF\xFE\0\0A\0", 6),
       kUtf16LE, units(u"\uFEFF\0A"), kUtf16LE},
      {"forced UTF-16 BE on ASCII", "abcd", kUtf16BE, units(u"\u6162\u6364"), kUtf16BE},
      {"forced UTF-32 gives nothing", "abcd", kUtf32BE, "", kUtf32BE},
  };
  for (const FileCase& c : cases) {
    SCOPED_TRACE(c.what);
    int32_t encoding = c.encodingIn;
    EXPECT_EQ(ReadTextFile(write(c.bytes), encoding), c.expected);
    EXPECT_EQ(encoding, c.encodingOut);
  }
}

TEST_F(ReadTextFileTest, UnknownEncodingsFailBeforeTheFileIsRead) {
  const QString path = write("abc");
  for (int32_t unknown : {-2, 7, INT32_MIN}) {
    int32_t encoding = unknown;
    EXPECT_TRUE(ReadTextFile(path, encoding).isEmpty());
    EXPECT_EQ(encoding, unknown);
  }
}

TEST_F(ReadTextFileTest, WhatCannotBeOpenedGivesNothingAndLeavesTheEncoding) {
  const QString fifo = dir_.filePath("fifo");
  ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  for (const QString& path : {dir_.filePath("missing.txt"), dir_.path(), fifo}) {
    int32_t encoding = kDetect;
    EXPECT_TRUE(ReadTextFile(path, encoding).isEmpty()) << qPrintable(path);
    EXPECT_EQ(encoding, kDetect);
  }
}

TEST_F(ReadTextFileTest, NonAsciiFileNamesOpen) {
  int32_t encoding = kDetect;
  EXPECT_EQ(ReadTextFile(write("abc", QString::fromUtf8("快递.ocx")), encoding), "abc");
}

// Large files cross every internal buffer; the byte that rules out UTF-8 is the
// very last one, so detection must scan the whole file.
TEST_F(ReadTextFileTest, LargeFilesDecodeWhole) {
  const QByteArray gbk = kYuanGbk.repeated(300000) + "\xBF\xEC";
  int32_t encoding = kDetect;
  EXPECT_EQ(ReadTextFile(write(gbk), encoding),
            QString::fromUtf8("圆通").repeated(300000) + QString::fromUtf8("快"));
  EXPECT_EQ(encoding, kAnsi);

  const QString text = (kYuantong + "\r\nSF,abc\r\n").repeated(100000);
  encoding = kDetect;
  EXPECT_EQ(ReadTextFile(write(text.toUtf8()), encoding), text);
  EXPECT_EQ(encoding, kUtf8);
}

// The file is decoded as one block whose size must fit a signed 32-bit
// count: from 2^31 bytes on nothing is read (sparse files, no disk used).
TEST_F(ReadTextFileTest, FilesOfTwoGigabytesOrMoreGiveNothing) {
  for (const qint64 size : {qint64(1) << 31, (qint64(1) << 32) + 4}) {
    const QString path = write("SF=shunfeng");
    ASSERT_TRUE(QFile::resize(path, size));
    int32_t encoding = kDetect;
    EXPECT_TRUE(ReadTextFile(path, encoding).isEmpty()) << size;
    EXPECT_EQ(encoding, kDetect) << size;
  }
}

struct BomCase {
  const char* what;
  uint8_t b0, b1, b2, b3;
  int32_t encoding;
  int length;
};

TEST(DetectTextBom, MarksInTestOrder) {
  const BomCase cases[] = {
      {"UTF-32 LE", 0xFF, 0xFE, 0x00, 0x00, kUtf32LE, 4},
      {"UTF-32 BE", 0x00, 0x00, 0xFE, 0xFF, kUtf32BE, 4},
      {"UTF-16 LE followed by a non-zero unit", 0xFF, 0xFE, 0x00, 0x01, kUtf16LE, 2},
      {"UTF-16 LE", 0xFF, 0xFE, 0x41, 0x00, kUtf16LE, 2},
      {"UTF-16 BE, even before zeros", 0xFE, 0xFF, 0x00, 0x00, kUtf16BE, 2},
      {"UTF-8, any fourth byte", 0xEF, 0xBB, 0xBF, 0xFF, kUtf8WithMark, 3},
      {"UTF-32 BE mark reversed", 0x00, 0x00, 0xFF, 0xFE, kAnsi, 0},
      {"UTF-8 mark cut short", 0xEF, 0xBB, 0x00, 0x00, kAnsi, 0},
      {"text", 'a', 'b', 'c', 'd', kAnsi, 0},
  };
  for (const BomCase& c : cases) {
    SCOPED_TRACE(c.what);
    int32_t encoding = kDetect;
    const uint32_t value = c.b0 | c.b1 << 8 | c.b2 << 16 | uint32_t(c.b3) << 24;
    EXPECT_EQ(DetectTextBom(value, encoding), c.length);
    EXPECT_EQ(encoding, c.encoding);
  }
}

int32_t detect(const QByteArray& bytes) {
  int32_t encoding = kDetect;
  DetectUtf8Text(bytes, encoding);
  return encoding;
}

TEST(DetectUtf8Text, JudgesTheShapeOfUtf8Only) {
  const struct {
    const char* what;
    QByteArray bytes;
    int32_t encoding;
  } cases[] = {
      {"nothing", "", kAnsi},
      {"ASCII", "abcdefghijklmnopq", kAnsi},
      {"two-byte character after a long ASCII run", "abcdefghijklmnop\xC3\xA9", kUtf8},
      {"three-byte character", "\xE5\x9C\x86", kUtf8},
      {"stray continuation byte", "a\x80", kAnsi},
      {"lead byte without its continuation", "\xE5\x9Cz", kAnsi},
      {"cut off at the end", "\xE5\x9C", kAnsi},
      {"overlong form passes", "\xC0\xAF", kUtf8},
      {"encoded surrogate passes", "\xED\xA0\x80", kUtf8},
      {"FF expects seven continuation bytes", "\xFF\x80\x80\x80\x80\x80\x80\x80", kUtf8},
      {"FF with six", "\xFF\x80\x80\x80\x80\x80\x80", kAnsi},
      {"GBK 圆通快递", kYuantongGbk, kAnsi},
      {"GBK 圆通", kYuanGbk, kUtf8},
  };
  for (const auto& c : cases) EXPECT_EQ(detect(c.bytes), c.encoding) << c.what;
}

// The rule written out byte by byte, as plainly as it reads.
int32_t referenceDetectUtf8(const QByteArray& bytes) {
  int expected = 0;
  bool allAscii = true;
  for (const char c : bytes) {
    const unsigned byte = static_cast<unsigned char>(c);
    if (byte >= 0x80) allAscii = false;
    if (expected == 0) {
      if (byte < 0x80) continue;
      int leadingOnes = 0;
      while (leadingOnes < 8 && (byte & (0x80u >> leadingOnes))) ++leadingOnes;
      if (leadingOnes == 1) return kAnsi;
      expected = leadingOnes - 1;
    } else {
      if ((byte & 0xC0) != 0x80) return kAnsi;
      --expected;
    }
  }
  if (expected > 0) return kAnsi;
  return allAscii ? kAnsi : kUtf8;
}

// Random text made of the pieces the detector tells apart: ASCII runs of every
// length (the fast path skips eight at a time), lead bytes of every kind with
// their continuation bytes, and now and then a broken or missing piece.
QByteArray structuredBytes(std::mt19937& random) {
  QByteArray bytes;
  const int pieces = int(random() % 6);
  for (int p = 0; p < pieces; ++p) {
    switch (random() % 5) {
      case 0:
      case 1:
        bytes.append(QByteArray(int(random() % 20), char('a' + random() % 26)));
        break;
      case 2: {
        const int leadingOnes = 2 + int(random() % 7);
        bytes.append(char(0xFF << (8 - leadingOnes)));
        for (int i = 0; i < leadingOnes - 1; ++i) bytes.append(char(0x80 | (random() % 0x40)));
        break;
      }
      case 3:
        bytes.append(char(0x80 + random() % 0x80));  // any high byte
        break;
      default:
        if (!bytes.isEmpty()) bytes.chop(1);  // cut the last piece short
    }
  }
  return bytes;
}

TEST(DetectUtf8Text, AgreesWithTheByteByByteRule) {
  std::mt19937 random(65001);
  for (int round = 0; round < 200000; ++round) {
    QByteArray bytes;
    if (round % 2) {
      bytes = structuredBytes(random);
    } else {
      bytes.resize(int(random() % 12));
      for (char& byte : bytes) byte = char(random());
    }
    ASSERT_EQ(detect(bytes), referenceDetectUtf8(bytes)) << bytes.toHex(' ').constData();
  }
}

}  // namespace
