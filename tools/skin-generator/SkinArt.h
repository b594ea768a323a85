// The pictures and the description of the skin "QQ2010": a light frame with a
// blue caption band and rounded corners, and white caption-button glyphs.
#pragma once

#include <QByteArray>
#include <QImage>

namespace SkinArt {

// "main.bmp": the frame, cut into nine slices by the values of SkinIni().
// Both pictures are drawn with `scale` pixels to each skin pixel: 2 for
// their larger versions for high-density screens ("main@2x.bmp").
QImage framePicture(int scale = 1);
// "SysButton.bmp": from the right the close glyph, then restore, maximise,
// minimise and help; rows normal, hover, pressed.
QImage buttonSheet(int scale = 1);
// "bkg.jpg": a soft picture blended faintly over the whole window.
QImage backgroundPicture();
// "Skin.ini", in CRLF lines.
QByteArray skinIni();

}  // namespace SkinArt
