#include "SkinFolder.h"

#include "Gdi.h"
#include "Shell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

// Glyphs from the right: close 39 pixels wide, then four of 28.
QImage spriteSheet() {
  QImage sheet(151, 60, QImage::Format_RGB32);
  QPainter painter(&sheet);
  int right = sheet.width();
  for (int slot = 0; slot < 5; ++slot) {
    const int width = slot == 0 ? 39 : 28;
    for (int row = 0; row < 3; ++row)
      painter.fillRect(right - width, 20 * row, width, 20, glyphColour(slot, row));
    right -= width;
  }
  return sheet;
}

}  // namespace

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
  writePicture("main.bmp", plainPicture(60, 59, frameColour()));
  writePicture("SysButton.bmp", spriteSheet());
  if (withBack) writePicture("bkg.jpg", plainPicture(300, 200, Qt::white), "JPEG");
  writeIni(ini);
}

QColor frameColour() {
  return QColor(0, 0, 255);
}

QColor glyphColour(int slot, int row) {
  return QColor(30 + 50 * slot, 40 + 80 * row, 90);
}

QColor pixelAt(ModAPI::HDC dc, int x, int y) {
  const quint32 c = ModAPI::GetPixel(dc, x, y);
  return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

QImage plainPicture(int width, int height, QColor colour) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}
