#include "IcoFile.h"

#include <QBuffer>
#include <QImage>
#include <QtEndian>

namespace {

constexpr int kDirectorySize = 6;
constexpr int kEntrySize = 16;

void appendLe16(QByteArray& out, quint16 value) {
  char bytes[2];
  qToLittleEndian(value, bytes);
  out.append(bytes, 2);
}

void appendLe32(QByteArray& out, quint32 value) {
  char bytes[4];
  qToLittleEndian(value, bytes);
  out.append(bytes, 4);
}

QByteArray toPng(const QImage& image) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.convertToFormat(QImage::Format_ARGB32).save(&buffer, "PNG");
  return png;
}

// The directory stores a side of 256 as 0, since the field is one byte.
char sideByte(int side) {
  return static_cast<char>(side == 256 ? 0 : side);
}

}  // namespace

namespace IcoFile {

QByteArray encode(const QList<QImage>& images) {
  QList<QByteArray> pngs;
  for (const QImage& image : images) pngs.append(toPng(image));

  QByteArray out;
  appendLe16(out, 0);  // reserved
  appendLe16(out, 1);  // resource type: icon
  appendLe16(out, static_cast<quint16>(images.size()));

  quint32 offset = kDirectorySize + kEntrySize * images.size();
  for (int i = 0; i < images.size(); ++i) {
    out.append(sideByte(images[i].width()));
    out.append(sideByte(images[i].height()));
    out.append('\0');    // no palette
    out.append('\0');    // reserved
    appendLe16(out, 1);  // colour planes
    appendLe16(out, 32);
    appendLe32(out, static_cast<quint32>(pngs[i].size()));
    appendLe32(out, offset);
    offset += pngs[i].size();
  }
  for (const QByteArray& png : pngs) out.append(png);
  return out;
}

}  // namespace IcoFile
