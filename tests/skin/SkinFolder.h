// Skin folders for the tests: made under "Skin/" beside the test executable,
// where the skin engine looks, and removed again by the destructor.
#pragma once

#include "Handles.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

#include <memory>

class SkinFolder {
 public:
  SkinFolder();

  // The name to hand to VBDirectUI::Skin.
  QString name() const;
  QString path(const QString& file) const;

  void writePicture(const QString& file, const QImage& image, const char* format = "BMP") const;
  void writeIni(const QByteArray& text) const;
  // A frame picture, the 5-glyph sprite sheet of 151 x 60 below and
  // "Skin.ini" with `ini`; the background picture only when `withBack`.
  void writeSkin(const QByteArray& ini, bool withBack = true) const;

 private:
  std::unique_ptr<QTemporaryDir> dir_;
};

// The colour of a pixel of a surface (GetPixel's 0x00BBGGRR as a QColor).
QColor pixelAt(ModAPI::HDC dc, int x, int y);

// A picture filled with one colour.
QImage plainPicture(int width, int height, QColor colour);

// The test skins' frame colour, and the colour of glyph `slot` (0 close,
// 1 restore, 2 maximise, 3 minimise, 4 help, counted from the right) in sprite
// row `row` (0 normal, 1 hover, 2 pressed) of their sprite sheet, whose close
// glyph is 39 and the others 28 pixels wide, each row 20 high.
QColor frameColour();
QColor glyphColour(int slot, int row);
