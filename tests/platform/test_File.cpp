#include "File.h"
#include "TempFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using ModAPI::InputFile;

namespace {

class InputFileTest : public ::testing::Test {
 protected:
  QString write(const QString& name, const QByteArray& bytes) {
    return writeFile(dir_.filePath(name), bytes);
  }
  QTemporaryDir dir_;
};

TEST_F(InputFileTest, ReadsSeeksAndReportsTheSize) {
  InputFile file(write(QString::fromUtf8("快递.txt"), "0123456789"));
  ASSERT_TRUE(file.isOpen());
  EXPECT_EQ(file.size(), 10);
  char buffer[16] = {};
  EXPECT_EQ(file.read(buffer, 4), 4);
  EXPECT_EQ(QByteArray(buffer, 4), "0123");
  EXPECT_EQ(file.read(buffer, 16), 6);  // short read at the end
  EXPECT_EQ(QByteArray(buffer, 6), "456789");
  EXPECT_EQ(file.read(buffer, 16), 0);
  ASSERT_TRUE(file.seek(8));
  EXPECT_EQ(file.read(buffer, 16), 2);
  EXPECT_EQ(QByteArray(buffer, 2), "89");
  EXPECT_FALSE(file.seek(-1));
}

TEST_F(InputFileTest, OthersMayWriteWhileItIsOpen) {
  const QString path = write("shared.txt", "abc");
  InputFile file(path);
  ASSERT_TRUE(file.isOpen());
  QFile writer(path);
  ASSERT_TRUE(writer.open(QIODevice::Append));
  writer.write("def");
  writer.close();
  EXPECT_EQ(file.size(), 6);
}

TEST_F(InputFileTest, OnlyExistingRegularFilesOpen) {
  const QString fifo = dir_.filePath("fifo");
  ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  // A pipe without a writer would block a plain open; it must fail at once.
  for (const QString& path : {dir_.filePath("missing.txt"), dir_.path(), fifo}) {
    InputFile file(path);
    EXPECT_FALSE(file.isOpen()) << qPrintable(path);
    EXPECT_EQ(file.size(), -1);
    char byte;
    EXPECT_EQ(file.read(&byte, 1), -1);
    EXPECT_FALSE(file.seek(0));
  }
}

}  // namespace
