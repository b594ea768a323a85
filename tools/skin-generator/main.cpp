// skin-generator <folder>: writes the skin "QQ2010" into <folder>, the same
// bytes on every run; frame and caption buttons also at twice the size.
#include "SkinArt.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: skin-generator <output folder>\n");
    return 2;
  }
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  const bool written = QDir().mkpath(folder.path()) &&
                       SkinArt::framePicture().save(folder.filePath("main.bmp"), "BMP") &&
                       SkinArt::framePicture(2).save(folder.filePath("main@2x.bmp"), "BMP") &&
                       SkinArt::buttonSheet().save(folder.filePath("SysButton.bmp"), "BMP") &&
                       SkinArt::buttonSheet(2).save(folder.filePath("SysButton@2x.bmp"), "BMP") &&
                       SkinArt::backgroundPicture().save(folder.filePath("bkg.jpg"), "JPEG", 90) &&
                       writeFile(folder.filePath("Skin.ini"), SkinArt::skinIni());
  if (!written) {
    std::fprintf(stderr, "skin-generator: cannot write into %s\n", argv[1]);
    return 1;
  }
  return 0;
}
