// The committed pictures are the asset generator's drawing: the window
// design's pictures, pointer and icon, and the menu icons drawn from the same
// design. A picture edited by hand, or a drawing changed without its
// pictures, shows here.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

namespace {

QByteArray Contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(AssetGenerator, DrawsTheCommittedPictures) {
  QTemporaryDir out;
  QProcess generator;
  generator.setProcessChannelMode(QProcess::MergedChannels);
  generator.start(ASSET_GENERATOR_BINARY, {out.path()});
  ASSERT_TRUE(generator.waitForFinished(60000));
  ASSERT_EQ(generator.exitCode(), 0) << generator.readAll().toStdString();

  const QDir written(out.path());
  QStringList files;
  QDirIterator it(out.path(), QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) files.append(written.relativeFilePath(it.next()));
  EXPECT_EQ(files.size(), 7 + 7) << "design pictures, pointer and icon; seven menu icons";
  for (const QString& file : files) {
    EXPECT_TRUE(Contents(written.filePath(file)) == Contents(ASSETS_DIR "/" + file))
        << file.toStdString() << " differs from the committed picture";
  }
}

TEST(AssetGenerator, MenuIconsAreTheWindowIconAtTheirSizes) {
  QImageReader windowIcon(ASSETS_DIR "/design/courier-query.ico");
  for (int i = 0; i < windowIcon.imageCount(); ++i) {
    ASSERT_TRUE(windowIcon.jumpToImage(i));
    const QImage frame = windowIcon.read();
    const int side = frame.width();
    const QImage menuIcon(
        QString(ASSETS_DIR "/icons/hicolor/%1x%1/apps/%2.png").arg(side).arg(COURIER_QUERY_APP_ID));
    EXPECT_EQ(menuIcon.convertToFormat(QImage::Format_ARGB32),
              frame.convertToFormat(QImage::Format_ARGB32))
        << side << " pixels";
  }
}

}  // namespace
