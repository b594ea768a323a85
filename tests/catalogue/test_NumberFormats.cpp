// Which couriers a number could belong to: the postal S10 check digit, the
// shipped formats over numbers shaped like real ones, and the formats file's
// own rules, where one bad line drops the whole file.
#include "LabelGroup.h"
#include "Module1.h"
#include "NumberFormats.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSet>
#include <QTemporaryDir>

using namespace NumberFormats;

namespace {

const QString kShippedFormats = QStringLiteral(PROJECT_SOURCE_DIR "/assets/number-formats.txt");

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  return file.readAll();
}

const Table& ShippedTable() {
  static const Loaded loaded = read(kShippedFormats);
  EXPECT_TRUE(loaded.problem.isEmpty()) << loaded.problem.toStdString();
  return loaded.table;
}

Table TableOf(const QByteArray& bytes) {
  const Loaded loaded = parse(bytes);
  EXPECT_TRUE(loaded.problem.isEmpty()) << loaded.problem.toStdString();
  return loaded.table;
}

TEST(S10CheckDigit, WeighsTheSerialAndFoldsTenAndEleven) {
  const struct {
    const char* serial;
    int check;
    const char* exercises;
  } cases[] = {
      {"47312482", 9, "the postal union's own example, AA473124829GB"},
      {"12345678", 5, "sum 204, remainder 6"},
      {"62512422", 3, "sum 140, remainder 8"},
      {"10000002", 5, "remainder 0: 11 becomes 5"},
      {"00000000", 5, "all zeros: remainder 0"},
      {"10000014", 0, "remainder 1: 10 becomes 0"},
      {"1234567", -1, "seven digits"},
      {"123456789", -1, "nine digits"},
      {"1234567A", -1, "a letter"},
      {"１２３４５６７８", -1, "full-width digits"},
      {"", -1, "nothing"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(s10CheckDigit(QString::fromUtf8(c.serial)), c.check) << c.exercises;
}

TEST(S10CheckDigit, ANumberHasItOnlyInTheWholeForm) {
  const struct {
    const char* number;
    bool valid;
    const char* exercises;
  } cases[] = {
      {"AA473124829GB", true, "the postal union's example"},
      {"EE123456785CN", true, "an EMS number"},
      {"CP100000025CN", true, "check digit 5 from remainder 0"},
      {"EE100000140CN", true, "check digit 0 from remainder 1"},
      {"EE123456784CN", false, "check digit one too low"},
      {"EE123456786CN", false, "check digit one too high"},
      {"EE100000141CN", false, "10 not folded to 0"},
      {"ee123456785cn", false, "lower-case letters: the caller normalises"},
      {"E1123456785CN", false, "a digit in a letter's place"},
      {"EE123456785C1", false, "a digit in the country's place"},
      {"EE12345678CN", false, "one digit short"},
      {"EE1234567855CN", false, "one digit more"},
      {"EE12345A785CN", false, "a letter among the digits"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(hasS10CheckDigit(QString::fromUtf8(c.number)), c.valid) << c.exercises;
}

// The shipped table over numbers shaped as the couriers print them. A
// number points at one courier or at none; never at two.
TEST(ShippedFormats, RealShapedNumbersPointAtTheirCourierOnly) {
  const struct {
    const char* number;
    const char* code;  // empty: no courier
    const char* exercises;
  } cases[] = {
      {"SF2122544101995", "shunfeng", "SF and 13 digits"},
      {"sf 2122 5441 0199 5", "shunfeng", "lower case and blanks, as read off a label"},
      {"\tSF2122544101995 ", "shunfeng", "tab and blank around it"},
      {"SF212254410199", "", "SF with 12 digits"},
      {"SF21225", "", "the start of a number is not a number"},
      {"YT1919210351806", "yuantong", "YT and 13 digits"},
      {"JD0012345678901", "jd", "JD and 13 digits"},
      {"JDVA12345678901", "jd", "JD, two letters and 11 digits"},
      {"JT2006472215106", "jtexpress", "JT and 13 digits"},
      {"DPK433978750940", "debangwuliu", "DPK and 12 digits"},
      {"EB625124223CN", "ems", "EMS in the S10 form"},
      {"EE100000140CN", "ems", "EMS with check digit 0"},
      {"ee 123 456 785 cn", "ems", "EMS typed in lower case with blanks"},
      {"EB625124225CN", "", "EMS with a wrong check digit"},
      {"CP100000025CN", "youzhengguonei", "a parcel in the S10 form"},
      {"CP100000024CN", "", "a parcel with a wrong check digit"},
      {"RA473124829CN", "", "a registered letter: no courier of the catalogue"},
      {"9846435315287", "youzhengguonei", "a domestic parcel, 98 and 11 digits"},
      {"79512416422961", "zhongtong", "14 digits from 7"},
      {"7710174254678", "shentong", "13 digits from 77"},
      {"4326073091939", "yunda", "13 digits from 43"},
      {"3100000000000", "yunda", "13 digits from 31"},
      {"553665034618", "huitongkuaidi", "12 digits from 5"},
      {"6194837836", "", "ten digits: a shape no courier owns"},
      {"SF2122544101995X", "", "a character after the number"},
      {"XSF2122544101995", "", "a character before it"},
      {"SF２１２２５４４１０１９９５", "", "full-width digits"},
      {"请输入 顺丰速运 单号", "", "the number box's prompt"},
      {"", "", "nothing"},
      {"  ", "", "blanks only"},
  };
  const Table& table = ShippedTable();
  for (const auto& c : cases) {
    const QStringList expected = *c.code ? QStringList{QString::fromUtf8(c.code)} : QStringList{};
    EXPECT_EQ(table.codesMatching(QString::fromUtf8(c.number)), expected) << c.exercises;
  }
}

QSet<QString> SampleCatalogueCouriers() {
  Module1::CourierLabels labels(Module1::CourierEntry{},
                                [](const QString&, bool) { return QSizeF(105, 210); });
  struct Host : Module1::CatalogueHost {
    explicit Host(Module1::LabelGroup& group) : group(group) {}
    Module1::LabelGroup& LB() override { return group; }
    float windowWidth() const override { return 9000; }
    Module1::LabelGroup& group;
  } host(labels);
  Module1::placeCatalogue(QString::fromUtf8(ReadAll(SAMPLE_CATALOGUE_SOURCE)), host, QString());
  QSet<QString> codes;
  for (const Module1::CourierEntry& label : labels.all())
    if (!label.isHeading()) codes.insert(label.Tag);
  return codes;
}

// A misspelt code would never mark anything.
TEST(ShippedFormats, EveryCodeIsACourierOfTheSampleCatalogue) {
  const QSet<QString> couriers = SampleCatalogueCouriers();
  ASSERT_FALSE(ShippedTable().isEmpty());
  for (const Format& format : ShippedTable().formats())
    EXPECT_TRUE(couriers.contains(format.code)) << format.code.toStdString();
}

// The demo's numbers: none may point at a courier other than its own.
TEST(ShippedFormats, NoSampleShipmentPointsAtAnotherCourier) {
  int pointed = 0;
  for (const QByteArray& line : ReadAll(TRACKING_SERVICE_SAMPLE_DATA).split('\n')) {
    const QList<QByteArray> fields = line.split('\t');
    if (line.startsWith('#') || fields.size() < 2) continue;
    const QStringList codes = ShippedTable().codesMatching(QString::fromUtf8(fields[1]));
    EXPECT_TRUE(codes.isEmpty() || codes == QStringList{QString::fromUtf8(fields[0])})
        << line.toStdString();
    pointed += !codes.isEmpty();
  }
  EXPECT_GT(pointed, 0);
}

TEST(FormatsFile, CommentsBlankLinesMarksAndLineEnds) {
  const Table table = TableOf(
      "\xEF\xBB\xBF# formats\r\n"
      "\r\n"
      "   # an indented comment\n"
      "a\tA\\d+\r"
      "  b   B\\d+  \n"
      "c C\\d+");
  EXPECT_EQ(table.codesMatching(u"A1"), QStringList{"a"});
  EXPECT_EQ(table.codesMatching(u"b22"), QStringList{"b"});
  EXPECT_EQ(table.codesMatching(u"C3"), QStringList{"c"});
  EXPECT_EQ(table.formats().size(), 3u);
}

TEST(FormatsFile, EachMatchingCourierOnceInTheOrderOfItsFirstLine) {
  const Table table = TableOf(
      "late \\d{4}\n"
      "early \\d+\n"
      "late X\\d+\n");
  EXPECT_EQ(table.codesMatching(u"1234"), (QStringList{"late", "early"}));
  EXPECT_EQ(table.codesMatching(u"123"), QStringList{"early"});
  EXPECT_EQ(table.codesMatching(u"x1"), QStringList{"late"});
}

TEST(FormatsFile, TheS10RuleAsksForTheS10FormWhateverTheExpression) {
  const Table table = TableOf("post .* s10\nloose .* S10\n");
  EXPECT_EQ(table.codesMatching(u"AA473124829GB"), (QStringList{"post", "loose"}));
  EXPECT_TRUE(table.codesMatching(u"AA473124828GB").isEmpty());
  EXPECT_TRUE(table.codesMatching(u"473124829").isEmpty());
}

// However the expression is written, text beyond the limit is not matched.
TEST(FormatsFile, TextBeyondTheLimitIsNoNumber) {
  const Table table = TableOf("any .*\n");
  const QString longest(kMaxNumberLength, u'1');
  EXPECT_EQ(table.codesMatching(longest), QStringList{"any"});
  EXPECT_EQ(table.codesMatching(QStringLiteral("  ") + longest + u' '), QStringList{"any"})
      << "blanks not counted";
  EXPECT_TRUE(table.codesMatching(longest + u'1').isEmpty());
}

TEST(FormatsFile, AMalformedLineDropsTheWholeFile) {
  const struct {
    QByteArray bytes;
    const char* problem;
    const char* exercises;
  } cases[] = {
      {"ok \\d+\nlonely\n", "第 2 行", "a code without an expression"},
      {"ok \\d+\n\nok \\d+ s10 extra\n", "第 3 行", "a field too many"},
      {"# c\nbad SF(\\d+\n", "第 2 行的正则表达式无效", "an unbalanced bracket"},
      {"ok \\d+ luhn\n", "第 1 行的校验规则“luhn”未知", "a rule that does not exist"},
      {"ok \\d+\nbad \xFF\\d+\n", "不是 UTF-8 文本", "bytes that are not UTF-8"},
  };
  for (const auto& c : cases) {
    const Loaded loaded = parse(c.bytes);
    EXPECT_TRUE(loaded.table.isEmpty()) << c.exercises;
    EXPECT_TRUE(loaded.problem.contains(QString::fromUtf8(c.problem)))
        << c.exercises << ": " << loaded.problem.toStdString();
  }
}

TEST(FormatsFile, AFileThatCannotBeReadGivesNoFormatsAndSaysWhy) {
  QTemporaryDir dir;
  const QString missing = dir.filePath("number-formats.txt");
  Loaded loaded = read(missing);
  EXPECT_TRUE(loaded.table.isEmpty());
  EXPECT_TRUE(loaded.problem.contains(missing)) << loaded.problem.toStdString();

  loaded = read(dir.path());
  EXPECT_TRUE(loaded.table.isEmpty()) << "a directory";
  EXPECT_FALSE(loaded.problem.isEmpty());

  QFile large(missing);
  ASSERT_TRUE(large.open(QIODevice::WriteOnly));
  ASSERT_TRUE(large.resize(kMaxFileSize + 1));
  large.close();
  loaded = read(missing);
  EXPECT_TRUE(loaded.table.isEmpty()) << "a file beyond the size limit";
  EXPECT_TRUE(loaded.problem.contains(missing)) << loaded.problem.toStdString();
}

TEST(FormatsFile, AnEmptyFileIsReadWithoutProblemAndMatchesNothing) {
  QTemporaryDir dir;
  QFile empty(dir.filePath("number-formats.txt"));
  ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
  empty.close();
  const Loaded loaded = read(empty.fileName());
  EXPECT_TRUE(loaded.problem.isEmpty()) << loaded.problem.toStdString();
  EXPECT_TRUE(loaded.table.codesMatching(u"SF2122544101995").isEmpty());
}

}  // namespace
