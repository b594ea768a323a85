#include "SkinFolder.h"

#include "Shell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

SkinFolder::SkinFolder() {
  const QString skins = ModAPI::AppPath() + "/Skin";
  QDir().mkpath(skins);
  dir_ = std::make_unique<QTemporaryDir>(skins + "/test-XXXXXX");
  EXPECT_TRUE(dir_->isValid());
}

QString SkinFolder::name() const {
  return QFileInfo(dir_->path()).fileName();
}

QString SkinFolder::path(const QString& file) const {
  return dir_->filePath(file);
}

void SkinFolder::writePicture(const QString& file, const QImage& image, const char* format) const {
  ASSERT_TRUE(image.save(path(file), format));
}

void SkinFolder::writeIni(const QByteArray& text) const {
  QFile file(path("Skin.ini"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(text);
}

void SkinFolder::writeSkin(const QByteArray& ini, bool withBack) const {
  writePicture("main.bmp", Plain(60, 59, Qt::blue));
  writePicture("SysButton.bmp", Plain(151, 60, Qt::green));
  if (withBack) writePicture("bkg.jpg", Plain(300, 200, Qt::white), "JPEG");
  writeIni(ini);
}

QImage Plain(int width, int height, QColor colour) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}
