#pragma once

#include <QByteArray>
#include <QList>

class QImage;

namespace IcoFile {

// Returns an ICO container holding one PNG-compressed entry per image, in the
// given order. Every image must be square with a side of 1 to 256 pixels.
QByteArray encode(const QList<QImage>& images);

}  // namespace IcoFile
