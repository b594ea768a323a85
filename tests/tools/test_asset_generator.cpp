// The committed pictures are the asset generator's drawing: the window
// design's pictures, pointer and icon, and the menu icons drawn from the same
// design. A picture edited by hand, or a drawing changed without its
// pictures, shows here.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>

namespace {

// The toolkit's antialiased painting rounds differently on processors with
// other vector instructions (one step of a channel at an edge), so pictures
// are compared by their pixels within that, never by their bytes.
constexpr int kRoundingSteps = 2;

// Every image in the file: one, or an icon file's sizes.
QList<QImage> imagesIn(const QString& path) {
  QImageReader reader(path);
  QList<QImage> images;
  do {
    const QImage image = reader.read();
    if (image.isNull()) break;
    images += image.convertToFormat(QImage::Format_ARGB32);
  } while (reader.jumpToNextImage());
  return images;
}

// The largest difference of one channel of one pixel; -1 when the sizes differ.
int largestDifference(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return -1;
  int largest = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                          std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
    }
  }
  return largest;
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
  EXPECT_EQ(files.size(), 2 * 5 + 2 + 7)
      << "design pictures at two sizes, pointer and icon; seven menu icons";
  for (const QString& file : files) {
    SCOPED_TRACE(file.toStdString());
    const QList<QImage> drawn = imagesIn(written.filePath(file));
    const QList<QImage> committed = imagesIn(ASSETS_DIR "/" + file);
    ASSERT_FALSE(drawn.isEmpty());
    ASSERT_EQ(drawn.size(), committed.size());
    for (qsizetype i = 0; i < drawn.size(); ++i) {
      const int difference = largestDifference(drawn[i], committed[i]);
      EXPECT_TRUE(difference >= 0 && difference <= kRoundingSteps)
          << "image " << i << " differs from the committed picture by " << difference;
    }
  }
}

}  // namespace
