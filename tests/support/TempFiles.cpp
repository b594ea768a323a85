#include "TempFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

QString writeFile(const QString& path, const QByteArray& bytes) {
  EXPECT_TRUE(QDir().mkpath(QFileInfo(path).path())) << path.toStdString();
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
  EXPECT_EQ(file.write(bytes), bytes.size()) << path.toStdString();
  return path;
}
