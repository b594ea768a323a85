#include "InstalledTree.h"

#include "ProgramRun.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QJsonArray>
#include <QProcess>

#include <filesystem>

CommandResult RunCommand(const QString& program, const QStringList& arguments, int timeoutMs) {
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(program, arguments);
  if (!process.waitForFinished(timeoutMs)) {
    process.kill();
    process.waitForFinished();
    return {-1, program + " did not finish: " + QString::fromUtf8(process.readAll())};
  }
  const int code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  return {code, QString::fromUtf8(process.readAll())};
}

QString ReadLink(const QString& path) {
  std::error_code error;
  const auto target = std::filesystem::read_symlink(path.toStdString(), error);
  return error ? QString() : QString::fromStdString(target.string());
}

QSize ImageSize(const QString& path) {
  return QImageReader(path).size();
}

void ExpectSameFile(const QString& actual, const QString& expected) {
  QFile a(actual);
  QFile e(expected);
  ASSERT_TRUE(a.open(QIODevice::ReadOnly)) << actual.toStdString();
  ASSERT_TRUE(e.open(QIODevice::ReadOnly)) << expected.toStdString();
  EXPECT_TRUE(a.readAll() == e.readAll())
      << actual.toStdString() << " differs from " << expected.toStdString();
}

namespace {

// The non-empty items of the sample catalogue, counted from its source.
int SampleItemCount() {
  QFile source(SAMPLE_CATALOGUE_SOURCE);
  if (!source.open(QIODevice::ReadOnly)) return -1;
  const QString text = QString::fromUtf8(source.readAll()).remove('\n');
  int count = 0;
  for (const QString& section : text.split('%'))
    count += section.split(',', Qt::SkipEmptyParts).size();
  return count;
}

int LabelCount(const QJsonObject& state) {
  int count = 0;
  for (const auto& value : state["controls"].toArray())
    count += value.toObject()["name"].toString() == "LB";
  return count;
}

// The colour of the left edge in the middle band of the skin's frame
// picture: rows 31 to 50 of "QQ2010", between its top and bottom slices.
QString SkinEdgeColour() {
  return QImage(PROJECT_SOURCE_DIR "/assets/Skin/QQ2010/main.bmp").pixelColor(0, 40).name();
}

}  // namespace

void ExpectSampleCatalogueAndSkin(const QJsonObject& state) {
  ASSERT_FALSE(state.isEmpty());
  EXPECT_EQ(LabelCount(state), SampleItemCount());
  EXPECT_EQ(control(state, "LB", 0)["caption"].toString(), "顺丰速运");
  EXPECT_EQ(state["SelectedCourierIndex"].toInt(), 1);
  EXPECT_EQ(control(state, "LBTitle")["caption"].toString(), "圆通快递");
  EXPECT_EQ(control(state, "SStext")["caption"].toString(), "请输入 圆通快递 单号");

  const QJsonObject frame = state["frame"].toObject();
  EXPECT_TRUE(frame["rounded"].toBool()) << "the skin's rounded corners";
  EXPECT_EQ(frame["edgeColor"].toString(), SkinEdgeColour()) << "the skin's frame picture";
}
