// The Debian package that scripts/package made of this build (the test
// fixture "package" makes it once for every test here): its control data and
// contents, lintian's verdict, whether apt resolves its dependencies, and the
// program unpacked from it.
#include "InstalledTree.h"
#include "ProgramRun.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

QString Architecture() {
  return RunCommand("dpkg", {"--print-architecture"}).output.trimmed();
}

QString PackagePath() {
  return QString(PACKAGE_OUTPUT_DIR "/courier-query_%1_%2.deb")
      .arg(COURIER_QUERY_VERSION, Architecture());
}

// The value of a field of the package's control file.
QString ControlField(const QString& field) {
  return RunCommand("dpkg-deb", {"--field", PackagePath(), field}).output.trimmed();
}

class Package : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(QFileInfo(PackagePath()).isFile()) << "no package " << PackagePath().toStdString();
  }
};

TEST_F(Package, InfoNamesTheProgramItsLibrariesAndAFont) {
  const CommandResult info = RunCommand("dpkg-deb", {"--info", PackagePath()});
  ASSERT_EQ(info.exitCode, 0) << info.output.toStdString();
  EXPECT_TRUE(info.output.contains(" Package: courier-query\n"));
  EXPECT_TRUE(info.output.contains(" Version: " COURIER_QUERY_VERSION "\n"));
  EXPECT_TRUE(info.output.contains(" Architecture: " + Architecture() + "\n"));
  EXPECT_TRUE(info.output.contains(" md5sums")) << "the control archive lists the files' sums";
  // Nothing to run at install or removal: the program's only shared object is
  // a private module, which is no business of the system's linker cache.
  EXPECT_FALSE(info.output.contains(" postinst")) << info.output.toStdString();
  EXPECT_FALSE(info.output.contains(" postrm")) << info.output.toStdString();

  const QStringList depends = ControlField("Depends").split(", ");
  const auto dependsOn = [&](const QString& name) {
    return depends.filter(QRegularExpression("^" + QRegularExpression::escape(name) + "( |$)"))
               .size() == 1;
  };
  // From dpkg-shlibdeps, with the versions the build's libraries need.
  for (const char* library : {"libc6", "libstdc++6", "libqt6core6", "libqt6gui6", "libqt6widgets6",
                              "libqt6webenginecore6"}) {
    EXPECT_TRUE(dependsOn(library)) << library;
  }
  EXPECT_TRUE(depends.filter(QRegularExpression("^libqt6core6 \\(>= 6")).size() == 1);
  EXPECT_TRUE(dependsOn("libqt6webenginecore6-bin")) << "the browser's page process";
  EXPECT_TRUE(dependsOn("fonts-wqy-microhei")) << "a CJK font";
  EXPECT_TRUE(dependsOn("qt6-translations-l10n")) << "the toolkit's texts in Chinese";
}

TEST_F(Package, ContentsAreTheApplicationFolderTheLinkAndTheDesktopFiles) {
  const CommandResult contents = RunCommand("dpkg-deb", {"--contents", PackagePath()});
  ASSERT_EQ(contents.exitCode, 0) << contents.output.toStdString();
  QStringList paths;
  for (const QString& line : contents.output.split('\n', Qt::SkipEmptyParts)) {
    // drwxr-xr-x root/root 0 2026-12-08 03:25 ./usr/
    const QStringList fields = line.split(' ', Qt::SkipEmptyParts);
    ASSERT_GE(fields.size(), 6) << line.toStdString();
    EXPECT_EQ(fields[1], "root/root") << line.toStdString();
    const QString& mode = fields[0];
    EXPECT_TRUE(mode == "drwxr-xr-x" || mode == "-rw-r--r--" || mode == "-rwxr-xr-x" ||
                mode == "lrwxrwxrwx")
        << line.toStdString();
    paths.append(fields.mid(5).join(' '));
  }
  const QStringList expected = {
      "./usr/lib/courier-query/courier-query",
      "./usr/lib/courier-query/engine/libcq-browser-engine.so",
      "./usr/lib/courier-query/MSVBVM60.ocx",
      "./usr/lib/courier-query/number-formats.txt",
      "./usr/lib/courier-query/Skin/QQ2010/Skin.ini",
      "./usr/lib/courier-query/Skin/QQ2010/main.bmp",
      "./usr/lib/courier-query/Skin/QQ2010/SysButton.bmp",
      "./usr/lib/courier-query/Skin/QQ2010/bkg.jpg",
      "./usr/bin/courier-query -> ../lib/courier-query/courier-query",
      "./usr/share/applications/" COURIER_QUERY_APP_ID ".desktop",
      "./usr/share/metainfo/" COURIER_QUERY_APP_ID ".metainfo.xml",
      "./usr/share/man/man1/courier-query.1.gz",
      "./usr/share/doc/courier-query/copyright",
      "./usr/share/doc/courier-query/changelog.gz",
  };
  for (const QString& path : expected) EXPECT_TRUE(paths.contains(path)) << path.toStdString();
  for (int side : kThemeIconSides) {
    const QString icon =
        QString("./usr/share/icons/hicolor/%1x%1/apps/" COURIER_QUERY_APP_ID ".png").arg(side);
    EXPECT_TRUE(paths.contains(icon)) << icon.toStdString();
  }
  for (const QString& path : paths) EXPECT_TRUE(path.startsWith("./usr/")) << path.toStdString();
}

TEST_F(Package, LintianReportsNoError) {
  const CommandResult lintian = RunCommand("lintian", {"--tag-display-limit", "0", PackagePath()});
  const QStringList errors = lintian.output.split('\n').filter(QRegularExpression("^E: "));
  EXPECT_TRUE(errors.isEmpty()) << lintian.output.toStdString();
  EXPECT_FALSE(lintian.output.contains("internal error")) << lintian.output.toStdString();
}

// Against an empty package database apt must find every dependency, and
// theirs, in the archive's package lists, whatever this machine has installed.
TEST_F(Package, AptResolvesEveryDependencyFromTheArchive) {
  QTemporaryDir state;
  QFile empty(state.filePath("status"));
  ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
  empty.close();
  const CommandResult apt =
      RunCommand("apt-get", {"install", "--simulate", "--no-install-recommends", "-o",
                             "Dir::State::status=" + empty.fileName(), PackagePath()});
  EXPECT_EQ(apt.exitCode, 0) << apt.output.toStdString();
  EXPECT_TRUE(apt.output.contains("\nInst courier-query (" COURIER_QUERY_VERSION " "))
      << apt.output.toStdString();
  EXPECT_TRUE(apt.output.contains("\nInst fonts-wqy-microhei ")) << apt.output.toStdString();
}

TEST_F(Package, TheUnpackedProgramStartsAndShowsTheCatalogue) {
  QTemporaryDir root;
  const CommandResult unpack = RunCommand("dpkg-deb", {"-x", PackagePath(), root.path()});
  ASSERT_EQ(unpack.exitCode, 0) << unpack.output.toStdString();
  QTemporaryDir elsewhere;
  ProgramRun run(elsewhere.path());
  run.start(root.filePath("usr/bin/courier-query"), {}, elsewhere.path());
  ExpectSampleCatalogueAndSkin(run.shownState());
}

}  // namespace
