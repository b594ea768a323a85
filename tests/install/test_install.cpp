// The install rules: the program installed into a fresh prefix and started
// through its command link from an unrelated folder finds its catalogue and
// skin in the application folder; the desktop entry names what was installed.
#include "InstalledTree.h"
#include "ProgramRun.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// The value of `key` in the main group of a desktop entry.
QString DesktopEntryValue(const QString& path, const QString& key) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
  for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
    if (line.startsWith(key + '=')) return line.mid(key.size() + 1);
  }
  return {};
}

class Installed : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    prefix_ = new QTemporaryDir;
    ASSERT_TRUE(prefix_->isValid());
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    // The program's component alone: the service's goes to the system's own
    // folders, whatever the prefix.
    install.start(CMAKE_COMMAND, {"--install", PROJECT_BINARY_DIR, "--component", "program",
                                  "--prefix", prefix_->path()});
    ASSERT_TRUE(install.waitForFinished(120000));
    ASSERT_EQ(install.exitCode(), 0) << install.readAll().toStdString();
  }
  static void TearDownTestSuite() { delete prefix_; }

  static QString prefix() { return prefix_->path(); }

 private:
  static inline QTemporaryDir* prefix_ = nullptr;
};

TEST_F(Installed, TheApplicationFolderHoldsTheProgramAndItsData) {
  const QString folder = prefix() + "/lib/courier-query/";
  EXPECT_TRUE(QFileInfo(folder + "courier-query").isExecutable());
  EXPECT_TRUE(QFileInfo(folder + "courier-query").isFile());
  EXPECT_TRUE(QFileInfo(folder + "engine/libcq-browser-engine.so").isFile())
      << "the browser engine";
  ExpectSameFile(folder + "MSVBVM60.ocx", PROJECT_SOURCE_DIR "/assets/MSVBVM60.ocx");
  ExpectSameFile(folder + "number-formats.txt", PROJECT_SOURCE_DIR "/assets/number-formats.txt");
  for (const char* name : {"Skin.ini", "main.bmp", "SysButton.bmp", "bkg.jpg"}) {
    ExpectSameFile(folder + "Skin/QQ2010/" + name,
                   QString(PROJECT_SOURCE_DIR "/assets/Skin/QQ2010/") + name);
  }
  const QFileInfo link(prefix() + "/bin/courier-query");
  EXPECT_TRUE(link.isSymLink());
  EXPECT_EQ(QFile::symLinkTarget(link.filePath()), QFileInfo(folder + "courier-query").filePath());
  EXPECT_FALSE(QDir::isAbsolutePath(ReadLink(link.filePath()))) << "a relocatable link";
}

TEST_F(Installed, StartsThroughTheLinkFromAnotherFolder) {
  QTemporaryDir elsewhere;
  ProgramRun run(elsewhere.path());
  run.start(prefix() + "/bin/courier-query", {}, elsewhere.path());
  ExpectSampleCatalogueAndSkin(run.shownState());
  EXPECT_FALSE(QFile::exists(run.shellLog())) << "nothing reported missing";
}

TEST_F(Installed, TheMenuEntryNamesTheInstalledCommandAndIcons) {
  const QString entry = prefix() + "/share/applications/" COURIER_QUERY_APP_ID ".desktop";
  const QString icon = DesktopEntryValue(entry, "Icon");
  EXPECT_EQ(icon, COURIER_QUERY_APP_ID);
  EXPECT_TRUE(QFileInfo(prefix() + "/bin/" + DesktopEntryValue(entry, "Exec")).isExecutable());
  for (int side : kThemeIconSides) {
    const QString path =
        prefix() + QString("/share/icons/hicolor/%1x%1/apps/%2.png").arg(side).arg(icon);
    EXPECT_EQ(ImageSize(path), QSize(side, side)) << path.toStdString();
  }
  EXPECT_TRUE(QFile::exists(prefix() + "/share/metainfo/" COURIER_QUERY_APP_ID ".metainfo.xml"));
}

// A new version changes the project, the Debian changelog and the metadata's
// release list together.
TEST(Release, ChangelogAndMetadataNameTheProjectVersion) {
  QFile changelog(PROJECT_SOURCE_DIR "/assets/linux/changelog");
  ASSERT_TRUE(changelog.open(QIODevice::ReadOnly));
  EXPECT_EQ(changelog.readLine().split(' ').value(1), "(" COURIER_QUERY_VERSION ")");

  QFile metainfo(PROJECT_SOURCE_DIR "/assets/linux/courier-query.metainfo.xml.in");
  ASSERT_TRUE(metainfo.open(QIODevice::ReadOnly));
  const QByteArray text = metainfo.readAll();
  const qsizetype release = text.indexOf("<release ");
  ASSERT_GE(release, 0);
  EXPECT_EQ(text.mid(release).split('"').value(1), COURIER_QUERY_VERSION) << "the newest release";
}

}  // namespace
