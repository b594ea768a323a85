// The pictures and the description of the skin "QQ2010": a light frame with a
// blue caption band and rounded corners, and white caption-button glyphs.
#pragma once

#include <QByteArray>
#include <QImage>

namespace SkinArt {

// "main.bmp": the frame, cut into nine slices by the values of SkinIni().
QImage framePicture();
// "SysButton.bmp": from the right the close glyph, then restore, maximise,
// minimise and help; rows normal, hover, pressed.
QImage buttonSheet();
// "bkg.jpg": a soft picture blended faintly over the whole window.
QImage backgroundPicture();
// "Skin.ini", in CRLF lines.
QByteArray skinIni();

}  // namespace SkinArt
