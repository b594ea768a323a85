// The committed pictures are the asset generator's drawing: the window
// design's pictures, pointer and icon, and the menu icons drawn from the same
// design. A picture edited by hand, or a drawing changed without its
// pictures, shows here.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
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
  EXPECT_EQ(files.size(), 2 * 5 + 2 + 7)
      << "design pictures at two sizes, pointer and icon; seven menu icons";
  for (const QString& file : files) {
    EXPECT_TRUE(Contents(written.filePath(file)) == Contents(ASSETS_DIR "/" + file))
        << file.toStdString() << " differs from the committed picture";
  }
}

}  // namespace
