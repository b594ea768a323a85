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
QImage SpriteSheet() {
  QImage sheet(151, 60, QImage::Format_RGB32);
  QPainter painter(&sheet);
  int right = sheet.width();
  for (int slot = 0; slot < 5; ++slot) {
    const int width = slot == 0 ? 39 : 28;
    for (int row = 0; row < 3; ++row)
      painter.fillRect(right - width, 20 * row, width, 20, GlyphColour(slot, row));
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
  writePicture("main.bmp", Plain(60, 59, FrameColour()));
  writePicture("SysButton.bmp", SpriteSheet());
  if (withBack) writePicture("bkg.jpg", Plain(300, 200, Qt::white), "JPEG");
  writeIni(ini);
}

QColor FrameColour() {
  return QColor(0, 0, 255);
}

QColor GlyphColour(int slot, int row) {
  return QColor(30 + 50 * slot, 40 + 80 * row, 90);
}

QColor PixelAt(ModAPI::HDC dc, int x, int y) {
  const quint32 c = ModAPI::GetPixel(dc, x, y);
  return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

QImage Plain(int width, int height, QColor colour) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}
