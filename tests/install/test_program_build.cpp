// A build of the program alone, as the package is built: configuring it
// needs none of the tests' and benchmarks' tools, and the data beside the
// program in bin/ follows every edit of the sources on the next build.
#include "InstalledTree.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

namespace {

// Copies the source tree without its build and output folders.
bool CopySourceTree(const QString& from, const QString& to) {
  const QDir source(from);
  QDirIterator it(from, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString relative = source.relativeFilePath(it.next());
    const QString top = relative.section('/', 0, 0);
    if (top.startsWith("build") || top == "out" || top == ".git") continue;
    if (!QDir().mkpath(QFileInfo(to + '/' + relative).path())) return false;
    if (!QFile::copy(it.filePath(), to + '/' + relative)) return false;
  }
  return true;
}

void Append(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::Append));
  file.write(bytes);
}

class ProgramBuild : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(work.isValid());
    ASSERT_TRUE(CopySourceTree(PROJECT_SOURCE_DIR, source()));
  }

  QString source() const { return work.filePath("source"); }
  QString build() const { return work.filePath("build"); }

  CommandResult buildData() {
    return RunCommand(CMAKE_COMMAND, {"--build", build(), "--target", "courier-query-data"});
  }

  QTemporaryDir work;
};

TEST_F(ProgramBuild, ConfiguresWithoutTestToolsAndCopiesEditedDataOnRebuild) {
  // Each find of a test or benchmark tool fails, so any left would stop the
  // configuration.
  const CommandResult configure = RunCommand(
      CMAKE_COMMAND,
      {"-S", source(), "-B", build(), "-G", CMAKE_GENERATOR, "-DCOURIER_QUERY_BUILD_TESTS=OFF",
       "-DCOURIER_QUERY_BUILD_BENCH=OFF", "-DCOURIER_QUERY_BUILD_TOOLS=OFF",
       "-DCMAKE_DISABLE_FIND_PACKAGE_Qt6Test=ON", "-DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON",
       "-DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON"});
  ASSERT_EQ(configure.exitCode, 0) << configure.output.toStdString();

  const CommandResult first = buildData();
  ASSERT_EQ(first.exitCode, 0) << first.output.toStdString();
  const QString skin = "/Skin/QQ2010/Skin.ini";
  const QString catalogue = "/MSVBVM60.ocx";
  ExpectSameFile(build() + "/bin" + skin, source() + "/assets" + skin);
  ExpectSameFile(build() + "/bin" + catalogue, source() + "/assets" + catalogue);
  ExpectSameFile(build() + "/bin/number-formats.txt", source() + "/assets/number-formats.txt");

  Append(source() + "/assets" + skin, "; edited\n");
  Append(source() + "/assets" + catalogue, ",edited=edited");
  ASSERT_TRUE(QDir().mkpath(source() + "/assets/Skin/Added"));
  ASSERT_TRUE(QFile::copy(source() + "/assets" + skin, source() + "/assets/Skin/Added/Skin.ini"));

  const CommandResult second = buildData();
  ASSERT_EQ(second.exitCode, 0) << second.output.toStdString();
  ExpectSameFile(build() + "/bin" + skin, source() + "/assets" + skin);
  ExpectSameFile(build() + "/bin" + catalogue, source() + "/assets" + catalogue);
  ExpectSameFile(build() + "/bin/Skin/Added/Skin.ini", source() + "/assets/Skin/Added/Skin.ini");
}

}  // namespace
