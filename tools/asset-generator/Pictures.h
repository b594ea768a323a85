#pragma once

#include <QImage>

// The window design's pictures. Each function draws one picture at its design
// size, with `scale` pixels to each design pixel (2 for high-density
// screens); the result depends only on the installed fonts, never on time or
// chance.
namespace Pictures {

// Family of the face the button captions are drawn in; it must be installed.
inline constexpr char kCaptionFamily[] = "WenQuanYi Micro Hei";

QImage courierButton(int scale = 1);       // P1, 158 x 40
QImage queryButton(int scale = 1);         // SSCMD, 103 x 40
QImage numberFrame(int scale = 1);         // Image4 (and SSBG), 274 x 40
QImage focusedNumberFrame(int scale = 1);  // Image3, 275 x 42
QImage backButton(int scale = 1);          // Back, 102 x 27

// The custom pointer, 32 x 32 with alpha; its hot spot is kHandHotSpot.
QImage handPointer();
inline constexpr int kHandHotSpotX = 5;
inline constexpr int kHandHotSpotY = 0;

// The program icon drawn for a square of side pixels, with alpha.
QImage programIcon(int side);

}  // namespace Pictures
