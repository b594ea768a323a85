// Units, colours, fonts and pictures of the window design: twips (15 to the
// pixel), colours as 0x00BBGGRR with 0x800000nn naming a system colour, the
// design's font names, which are Windows fonts that Linux desktops lack, and
// its pictures on screens of any density.
#pragma once

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QPixmap>
#include <QString>

#include <cstdint>

namespace ModAPI {

constexpr int kTwipsPerPixel = 15;

inline int TwipsToPixels(double twips) {
  return qRound(twips / kTwipsPerPixel);
}
inline float PixelsToTwips(int pixels) {
  return static_cast<float>(pixels * kTwipsPerPixel);
}

// The design's colour value as a QColor; system colours come from the palette.
QColor OleColor(uint32_t value);

// A font of the design: `points` at 96 dpi, so that its pixel size is the one
// the design was made with on any screen.
QFont DesignFont(const QString& family, double points, bool bold = false);

// The design's picture at `path` for the highest density of the screens: its
// larger version ("P1@2x.bmp" beside "P1.bmp") where there is one and the
// density is above 1, scaled smoothly to the density where that differs from
// the picture's; its size in logical pixels is that of the picture at `path`.
QPixmap DesignPicture(const QString& path);
// A pointer of the pixel-art picture at `path` with its hot spot in the
// picture's pixels, enlarged by whole pixels only (twice from a density of 2,
// three times from 3), so that it stays sharp and near its size on the screen.
QCursor DesignCursor(const QString& path, QPoint hotSpot);

// Maps the design's Windows font names ("微软雅黑", "宋体") to installed CJK
// fonts, keeping the names in the design untouched.
void InstallFontSubstitutes();

}  // namespace ModAPI
