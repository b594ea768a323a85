// Units, colours and fonts of the window design: twips (15 to the pixel),
// colours as 0x00BBGGRR with 0x800000nn naming a system colour, and the
// design's font names, which are Windows fonts that Linux desktops lack.
#pragma once

#include <QColor>
#include <QFont>
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

// Maps the design's Windows font names ("微软雅黑", "宋体") to installed CJK
// fonts, keeping the names in the design untouched.
void InstallFontSubstitutes();

}  // namespace ModAPI
