// The platform's profile functions against real files: the Windows rules for
// names, values, buffers and the meaning of null arguments.
#include "Profile.h"
#include "TempFiles.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>

using namespace ModAPI;

namespace {

class ProfileTest : public ::testing::Test {
 protected:
  QByteArray file(const char* name = "test.ini") const { return dir.filePath(name).toLocal8Bit(); }

  void write(const QByteArray& bytes) const { writeFile(QString::fromLocal8Bit(file()), bytes); }

  QByteArray contents() const {
    QFile in(QString::fromLocal8Bit(file()));
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("<missing>");
  }

  // The value as GetPrivateProfileStringA copies it, with its result.
  std::pair<QByteArray, unsigned> read(const char* section, const char* key, unsigned size = 64,
                                       const char* defaultValue = nullptr) const {
    std::array<char, 256> buffer;
    buffer.fill('#');
    const unsigned n =
        GetPrivateProfileStringA(section, key, defaultValue, buffer.data(), size, file());
    return {QByteArray(buffer.data(), n), n};
  }

  QTemporaryDir dir;
};

TEST_F(ProfileTest, FindsNamesCaseInsensitivelyAndCleansValues) {
  write(
      "; comment\r\n[Main]\r\n  Width =  42  \r\nquoted=\" a b \"\r\nsingle='x'\r\n"
      "nested=\"'y'\"\r\nodd=\"z'\r\n[Other]\r\nWidth=7\r\n");
  const struct {
    const char* section;
    const char* key;
    const char* value;  // what the case exercises is in the key
  } cases[] = {
      {"main", "WIDTH", "42"},      // case of both names, blanks around key and value
      {"MAIN", "quoted", " a b "},  // one pair of double quotes goes, inner blanks stay
      {"Main", "single", "x"},      // single quotes too
      {"Main", "nested", "'y'"},    // only one pair
      {"Main", "odd", "\"z'"},      // unmatched quotes stay
      {"other", "width", "7"},      // the second section has its own keys
  };
  for (const auto& c : cases) {
    EXPECT_EQ(read(c.section, c.key).first, QByteArray(c.value)) << c.key;
  }
}

// Names with double-byte characters compare case-insensitively as the
// characters they decode to: Greek and Cyrillic letters have cases.
TEST_F(ProfileTest, NamesBeyondAsciiCompareAsDecodedCharacters) {
  write("[\xA6\xB8]\r\nkey\xA7\xA5=1\r\nkey=2\r\n[Omega]\r\nx=3\r\n");  // [Ω] keyД
  EXPECT_EQ(read("\xA6\xD8", "KEY\xA7\xD5").first, "1");                // [ω] KEYд
  EXPECT_EQ(read("\xA6\xD8", "KEY").first, "2");
  EXPECT_EQ(read("\xA6\xD8", "KEY\xA7").first, "");  // half a character is no match
  EXPECT_EQ(read("OMEGA", "X").first, "3");
  EXPECT_EQ(read("\xA6\xB8x", "key").first, "");
}

// Windows ends a profile line at CR LF, at a lone CR and at a lone LF.
TEST_F(ProfileTest, EveryLineEndEndsALine) {
  const struct {
    const char* what;
    QByteArray bytes;
  } files[] = {
      {"CR LF", "[Main]\r\nA=1\r\nB=2\r\n"},
      {"LF", "[Main]\nA=1\nB=2\n"},
      {"CR alone", "[Main]\rA=1\rB=2\r"},
      {"mixed, last line unended", "[Main]\rA=1\nB=2"},
      {"LF CR is two line ends", "[Main]\n\rA=1\n\rB=2\n\r"},
  };
  for (const auto& f : files) {
    SCOPED_TRACE(f.what);
    write(f.bytes);
    EXPECT_EQ(read("Main", "A").first, "1");
    EXPECT_EQ(read("Main", "B").first, "2");
    EXPECT_EQ(read("Main", nullptr).first, QByteArray("A\0B\0", 4));
  }
}

TEST_F(ProfileTest, WritingKeepsTheFilesLineEnds) {
  write("[Main]\rA=1\r");
  ASSERT_NE(WritePrivateProfileStringA("Main", "B", "2", file()), 0);
  EXPECT_EQ(contents(), "[Main]\rA=1\rB=2\r");
  write("[Main]\r\nA=1\r\n");
  ASSERT_NE(WritePrivateProfileStringA("Main", "A", "3", file()), 0);
  EXPECT_EQ(contents(), "[Main]\r\nA=3\r\n");
}

TEST_F(ProfileTest, MissingEntriesGiveTheDefaultWithoutTrailingBlanks) {
  write("[Main]\r\nkey=value\r\n");
  EXPECT_EQ(read("Main", "absent", 64, "fallback  ").first, "fallback");
  EXPECT_EQ(read("Absent", "key", 64, " x").first, " x");
  EXPECT_EQ(read("Main", "absent").second, 0u);
  std::array<char, 8> buffer{};
  EXPECT_EQ(GetPrivateProfileStringA("Main", "key", nullptr, buffer.data(), 8, "/no/such/file.ini"),
            0u);
}

TEST_F(ProfileTest, CutsValuesToTheBufferAtWholeCharacters) {
  // "圆通" in GBK is D4 B2 CD A8: a cut after three bytes would split a character.
  write("[Main]\r\nlatin=abcdef\r\ngbk=\xD4\xB2\xCD\xA8\r\n");
  EXPECT_EQ(read("Main", "latin", 4), std::make_pair(QByteArray("abc"), 3u));
  EXPECT_EQ(read("Main", "gbk", 5), std::make_pair(QByteArray("\xD4\xB2\xCD\xA8"), 4u));
  EXPECT_EQ(read("Main", "gbk", 4), std::make_pair(QByteArray("\xD4\xB2"), 2u));
  EXPECT_EQ(read("Main", "latin", 1).second, 0u);

  std::array<char, 4> untouched;
  untouched.fill('#');
  EXPECT_EQ(GetPrivateProfileStringA("Main", "latin", nullptr, untouched.data(), 0, file()), 0u);
  EXPECT_EQ(untouched[0], '#');
}

TEST_F(ProfileTest, NullKeyListsTheKeysAndNullSectionTheSections) {
  write("[Main]\r\nalpha=1\r\nbeta=2\r\n[Second]\r\n");
  EXPECT_EQ(read("main", nullptr), std::make_pair(QByteArray("alpha\0beta\0", 11), 11u));
  EXPECT_EQ(read(nullptr, nullptr), std::make_pair(QByteArray("Main\0Second\0", 12), 12u));
  // A list cut to the buffer ends in two NULs.
  std::array<char, 8> buffer;
  buffer.fill('#');
  EXPECT_EQ(GetPrivateProfileStringA("Main", nullptr, nullptr, buffer.data(), 5, file()), 3u);
  EXPECT_EQ(QByteArray(buffer.data(), 5), QByteArray("alp\0\0", 5));
}

TEST_F(ProfileTest, WritingCreatesFileAndSection) {
  ASSERT_NE(WritePrivateProfileStringA("Main", "Key", "value", file()), 0);
  EXPECT_EQ(contents(), "[Main]\r\nKey=value\r\n");
  ASSERT_NE(WritePrivateProfileStringA("Other", "n", "1", file()), 0);
  EXPECT_EQ(contents(), "[Main]\r\nKey=value\r\n[Other]\r\nn=1\r\n");
}

TEST_F(ProfileTest, WritingChangesOnlyTheLinesItConcerns) {
  // A byte sequence that is no valid GBK must survive a write elsewhere.
  write("[Main]\n; keep me\nKey=old\nraw=\xFF\xFE\x80\n\n[Next]\nx=1\n");
  ASSERT_NE(WritePrivateProfileStringA("MAIN", "key", "new", file()), 0);
  ASSERT_NE(WritePrivateProfileStringA("Main", "added", "2", file()), 0);
  EXPECT_EQ(contents(), "[Main]\n; keep me\nkey=new\nraw=\xFF\xFE\x80\nadded=2\n\n[Next]\nx=1\n");
}

TEST_F(ProfileTest, NullValueDeletesTheKeyAndNullKeyTheSection) {
  write("[Main]\r\na=1\r\nb=2\r\n[Next]\r\nc=3\r\n");
  ASSERT_NE(WritePrivateProfileStringA("Main", "A", nullptr, file()), 0);
  EXPECT_EQ(contents(), "[Main]\r\nb=2\r\n[Next]\r\nc=3\r\n");
  ASSERT_NE(WritePrivateProfileStringA("main", nullptr, nullptr, file()), 0);
  EXPECT_EQ(contents(), "[Next]\r\nc=3\r\n");
  // Deleting what is not there succeeds and creates nothing.
  EXPECT_NE(WritePrivateProfileStringA("Main", "gone", nullptr, file("absent.ini")), 0);
  EXPECT_FALSE(QFile::exists(dir.filePath("absent.ini")));
}

TEST_F(ProfileTest, WritingFailsForReadOnlyFilesAndMissingFolders) {
  write("[Main]\r\na=1\r\n");
  QFile::setPermissions(QString::fromLocal8Bit(file()), QFileDevice::ReadOwner);
  EXPECT_EQ(WritePrivateProfileStringA("Main", "a", "2", file()), 0);
  EXPECT_EQ(contents(), "[Main]\r\na=1\r\n");
  EXPECT_EQ(WritePrivateProfileStringA("Main", "a", "2", file("missing/test.ini")), 0);
  EXPECT_EQ(WritePrivateProfileStringA(nullptr, "a", "2", file()), 0);
}

TEST_F(ProfileTest, IntegersAreTheLeadingDecimalDigits) {
  write("[Main]\r\nplain=42\r\nsuffix=17px\r\nnegative=-5\r\nword=abc\r\nempty=\r\nzero=0\r\n");
  const struct {
    const char* key;
    unsigned expected;
  } cases[] = {
      {"plain", 42}, {"suffix", 17}, {"negative", 0},
      {"word", 0},   {"empty", 99},  // an empty value reads as the default
      {"zero", 0},   {"absent", 99},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GetPrivateProfileIntA("Main", c.key, 99, file()), c.expected) << c.key;
  }
}

}  // namespace
