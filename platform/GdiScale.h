// Scaling a picture to another pixel density.
#pragma once

#include <QImage>
#include <QPoint>

namespace ModAPI {

// Pixel densities and the offsets between pictures and surfaces are counted
// in 1/kDensitySteps of a pixel, which holds every usual screen scale exactly
// (1.25, 1.5, 1.75, 2, ...); all the arithmetic on them is whole-numbered.
constexpr qint64 kDensitySteps = 120;

// The picture enlarged or reduced by `factor` (in steps: 180 for 1.5) by
// area: each new pixel is the average of the picture's pixels it covers,
// weighted by how much of it each one covers. At whole factors every new
// pixel lies within one old pixel and keeps its colour exactly; colours are
// blended only where an old pixel's edge crosses a new pixel.
//
// New pixel k covers the old picture from (k + phase) / factor on (`phase`
// in steps, -119 to 119 on each axis), so that a picture copied to a place
// of another phase on the surface can be scaled for it. There are enough new
// pixels to cover the whole picture and one more, across and down. A new
// pixel that reaches before the picture's start or past its end averages what
// it covers of it; beyond the end the last pixels repeat. The result is in
// the display format (32-bit RGB); a null picture or a factor below one step
// gives a null image.
QImage ScaledByArea(const QImage& picture, qint64 factor, QPoint phase = {});

}  // namespace ModAPI
