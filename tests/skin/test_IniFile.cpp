// IniFile over real files: its error texts, the buffer size, null keys and
// values, and the two-read ReadInt.
#include "IniFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kNoFile = QStringLiteral("没有指定 INI 文件");
const QString kWriteFailed = QStringLiteral("写入失败");
const QString kUnreadable = QStringLiteral("不能读取");

class IniFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path = dir.filePath("Skin.ini");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    // 快递 in GBK: BF EC B5 DD.
    file.write("[Main]\r\nzero=0\r\none=1\r\nempty=\r\nname=\xBF\xEC\xB5\xDD\r\nlong=" +
               QByteArray(150, 'x') + "\r\n");
  }

  QTemporaryDir dir;
  QString path;
  IniFile ini;
};

TEST_F(IniFileTest, WithoutAFileNothingIsReadOrWritten) {
  EXPECT_TRUE(ini.ErrorMsg.isNull());
  EXPECT_EQ(ini.ReadString("Main", "one", 100), QString());
  EXPECT_EQ(ini.ErrorMsg, kNoFile);
  ini.ErrorMsg.clear();
  EXPECT_FALSE(ini.WriteString("Main", "one", "2"));
  EXPECT_EQ(ini.ErrorMsg, kNoFile);
  // ReadInt makes no file check: the key is simply not found.
  ini.ErrorMsg.clear();
  EXPECT_EQ(ini.ReadInt("Main", "one"), 0);
  EXPECT_EQ(ini.ErrorMsg, kUnreadable);
}

TEST_F(IniFileTest, PathIsUsedWithoutSurroundingSpaces) {
  ini.SpecifyIni("  " + path + "  ");
  EXPECT_EQ(ini.ReadString("Main", "one", 100), "1");
}

TEST_F(IniFileTest, ReadStringCutsToTheBufferSize) {
  ini.SpecifyIni(path);
  EXPECT_EQ(ini.ReadString("Main", "long", 100), QString(99, u'x'));
  EXPECT_EQ(ini.ReadString("Main", "long", 0), QString());
  EXPECT_EQ(ini.ReadString("Main", "empty", 100), QString());
  EXPECT_EQ(ini.ReadString("Main", "absent", 100), QString());
  EXPECT_TRUE(ini.ErrorMsg.isEmpty());
}

TEST_F(IniFileTest, DoubleByteValuesComeBackExactly) {
  ini.SpecifyIni(path);
  EXPECT_EQ(ini.ReadString("Main", "name", 100), QStringLiteral("快递"));
  EXPECT_TRUE(ini.WriteString("Main", "caption", QStringLiteral("圆通快递")));
  EXPECT_EQ(ini.ReadString("main", "CAPTION", 100), QStringLiteral("圆通快递"));
}

TEST_F(IniFileTest, NullKeyReadsTheKeyNames) {
  ini.SpecifyIni(path);
  EXPECT_EQ(ini.ReadString("Main", QString(), 100),
            QString::fromLatin1("zero\0one\0empty\0name\0long\0", 25));
}

TEST_F(IniFileTest, AFileCheckClearsAnOldError) {
  ini.SpecifyIni(path);
  ini.ErrorMsg = "old";
  ini.ReadString("Main", "absent", 100);
  EXPECT_TRUE(ini.ErrorMsg.isEmpty());
  ini.ErrorMsg = "old";
  EXPECT_TRUE(ini.WriteString("Main", "new", "v"));
  EXPECT_TRUE(ini.ErrorMsg.isEmpty());
}

TEST_F(IniFileTest, NullValueDeletesAKeyAndNullKeyTheSection) {
  ini.SpecifyIni(path);
  EXPECT_TRUE(ini.WriteString("Main", "one", QString()));
  EXPECT_EQ(ini.ReadString("Main", "one", 100), QString());
  EXPECT_EQ(ini.ReadString("Main", "zero", 100), "0");
  // An empty value is a value, not a deletion.
  EXPECT_TRUE(ini.WriteString("Main", "zero", ""));
  EXPECT_EQ(ini.ReadString("Main", QString(), 100).count(u'\0'), 4);
  EXPECT_TRUE(ini.WriteString("Main", QString(), QString()));
  EXPECT_EQ(ini.ReadString("Main", QString(), 100), QString());
}

TEST_F(IniFileTest, AFailedWriteSaysSo) {
  ini.SpecifyIni(dir.filePath("no/such/folder/Skin.ini"));
  EXPECT_FALSE(ini.WriteString("Main", "a", "1"));
  EXPECT_EQ(ini.ErrorMsg, kWriteFailed);
}

TEST_F(IniFileTest, ReadIntTellsZeroFromMissing) {
  ini.SpecifyIni(path);
  ini.ErrorMsg = "before";
  EXPECT_EQ(ini.ReadInt("Main", "zero"), 0);
  EXPECT_EQ(ini.ErrorMsg, "before");
  EXPECT_EQ(ini.ReadInt("Main", "one"), 1);
  EXPECT_EQ(ini.ErrorMsg, "before");
  EXPECT_EQ(ini.ReadInt("Main", "absent"), 0);
  EXPECT_EQ(ini.ErrorMsg, kUnreadable);
  // An empty value reads as missing: both defaults come back.
  ini.ErrorMsg.clear();
  EXPECT_EQ(ini.ReadInt("Main", "empty"), 0);
  EXPECT_EQ(ini.ErrorMsg, kUnreadable);
}

}  // namespace
