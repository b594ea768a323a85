// asset-generator ASSETS-DIR: writes the window design's pictures, pointer and
// icon under ASSETS-DIR/design and the same icon for the desktop's menus under
// ASSETS-DIR/icons/hicolor, and checks each file by reading it back.
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QTextStream>
#include <array>
#include <cstdio>
#include <stdexcept>
#include <utility>

#include "IcoFile.h"
#include "Pictures.h"

namespace {

constexpr std::array kIconSides = {16, 24, 32, 48, 64, 256};
// The sizes desktops look up application icons at in the hicolor theme.
constexpr std::array kThemeIconSides = {16, 24, 32, 48, 64, 128, 256};

void fail(const QString& message) {
  throw std::runtime_error(message.toStdString());
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
    fail(QStringLiteral("cannot write %1").arg(path));
}

QByteArray encoded(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, format)) fail(QStringLiteral("cannot encode %1").arg(format));
  return bytes;
}

// The design reads its pictures as 24-bit bitmaps; biBitCount sits at offset 28.
void writeBitmap(const QString& path, const QImage& image) {
  const QByteArray bytes = encoded(image.convertToFormat(QImage::Format_RGB888), "BMP");
  if (bytes.size() < 30 || bytes[28] != 24 || bytes[29] != 0)
    fail(QStringLiteral("%1 would not be a 24-bit bitmap").arg(path));
  writeFile(path, bytes);
}

void checkIcon(const QString& path) {
  QImageReader reader(path, "ico");
  QList<int> sides;
  for (int i = 0; i < reader.imageCount(); ++i) {
    reader.jumpToImage(i);
    const QImage image = reader.read();
    if (image.isNull()) fail(QStringLiteral("%1: entry %2 unreadable").arg(path).arg(i));
    sides.append(image.width());
  }
  if (sides != QList<int>(kIconSides.begin(), kIconSides.end()))
    fail(QStringLiteral("%1 does not read back with every size").arg(path));
}

void writeIcon(const QString& path) {
  QList<QImage> frames;
  for (int side : kIconSides) frames.append(Pictures::programIcon(side));
  writeFile(path, IcoFile::encode(frames));
  checkIcon(path);
}

// The menu icons are named after the desktop entry, as the icon theme looks
// them up by the entry's Icon key.
void writeThemeIcons(const QDir& assets) {
  for (int side : kThemeIconSides) {
    const QString folder = QStringLiteral("icons/hicolor/%1x%1/apps").arg(side);
    if (!assets.mkpath(folder)) fail(QStringLiteral("cannot create %1").arg(folder));
    const QString path = assets.filePath(folder + QStringLiteral("/" COURIER_QUERY_APP_ID ".png"));
    writeFile(path, encoded(Pictures::programIcon(side), "PNG"));
    if (QImage(path).size() != QSize(side, side))
      fail(QStringLiteral("%1 does not read back at %2 pixels").arg(path).arg(side));
  }
}

// Antialiased captions differ between faces, so a substitute would change the bytes.
void requireCaptionFont() {
  const QFontInfo info{QFont(Pictures::kCaptionFamily)};
  if (info.family() != QLatin1String(Pictures::kCaptionFamily))
    fail(QStringLiteral("font \"%1\" is not installed").arg(Pictures::kCaptionFamily));
}

void generate(const QDir& assets) {
  requireCaptionFont();
  if (!assets.mkpath(QStringLiteral("design"))) fail(QStringLiteral("cannot create design/"));
  const QDir design(assets.filePath(QStringLiteral("design")));

  const std::pair<const char*, QImage (*)(int)> pictures[] = {
      {"P1", Pictures::courierButton},   {"SSCMD", Pictures::queryButton},
      {"Image4", Pictures::numberFrame}, {"Image3", Pictures::focusedNumberFrame},
      {"Back", Pictures::backButton},
  };
  // Each also drawn at twice the size, for high-density screens.
  for (const auto& [name, draw] : pictures) {
    writeBitmap(design.filePath(QStringLiteral("%1.bmp").arg(name)), draw(1));
    writeBitmap(design.filePath(QStringLiteral("%1@2x.bmp").arg(name)), draw(2));
  }
  writeFile(design.filePath(QStringLiteral("hand.png")), encoded(Pictures::handPointer(), "PNG"));
  writeIcon(design.filePath(QStringLiteral("courier-query.ico")));
  writeThemeIcons(assets);
}

}  // namespace

int main(int argc, char* argv[]) {
  // The tool opens no window; without this it would need a display to run.
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() != 2) {
    std::fprintf(stderr, "usage: asset-generator ASSETS-DIR\n");
    return 2;
  }
  try {
    generate(QDir(args[1]));
  } catch (const std::runtime_error& error) {
    std::fprintf(stderr, "asset-generator: %s\n", error.what());
    return 1;
  }
  return 0;
}
