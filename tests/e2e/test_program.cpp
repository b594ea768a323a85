// The built program as a user starts it: a copy of the binary in a folder of
// its own with whatever catalogue the test puts beside it, the offscreen
// platform, the state snapshot and the shell log in place of the message box
// and the browser.
#include "ProgramRun.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kStartTimeoutMs = ProgramRun::kStartTimeoutMs;

class Program : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QFile::copy(COURIER_QUERY_BINARY, binary()));
  }

  QString binary() const { return dir.filePath("courier-query"); }
  QString stateFile() const { return run.stateFile(); }
  QString shellLog() const { return run.shellLog(); }
  QString catalogue() const { return dir.filePath("MSVBVM60.ocx"); }

  void useSampleCatalogue() {
    ASSERT_TRUE(QFile::copy(COURIER_QUERY_SAMPLE_CATALOGUE, catalogue()));
  }
  void writeCatalogue(const QByteArray& bytes) {
    QFile file(catalogue());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }

  void start(const QStringList& arguments = {}) { run.start(binary(), arguments); }
  QJsonObject shownState() { return run.shownState(); }

  QTemporaryDir dir;
  ProgramRun run{dir.path()};
  QProcess& process = run.process;
};

int opaqueLabels(const QJsonObject& state) {
  int count = 0;
  for (const auto& value : state["controls"].toArray()) {
    const QJsonObject c = value.toObject();
    count += c["name"].toString() == "LB" && c["backStyle"].toInt() == 1;
  }
  return count;
}

TEST_F(Program, StartsWithTheSampleCatalogue) {
  useSampleCatalogue();
  start();
  const QJsonObject state = shownState();
  const QJsonObject window = state["window"].toObject();
  EXPECT_EQ(window["caption"].toString(), "Quonvex快递单号查询软件_Quonvex");
  EXPECT_EQ(window["width"].toDouble(), 9000);
  EXPECT_EQ(window["height"].toDouble(), 7500);
  EXPECT_EQ(state["StartupArgument"].toString(), "");
  EXPECT_EQ(state["SelectedCourierIndex"].toInt(), 1);

  const QJsonObject label1 = control(state, "LB", 1);
  EXPECT_EQ(label1["caption"].toString(), "圆通快递");
  EXPECT_EQ(label1["backStyle"].toInt(), 1);
  EXPECT_EQ(opaqueLabels(state), 1);
  EXPECT_EQ(control(state, "SStext")["caption"].toString(), "请输入 圆通快递 单号");
  EXPECT_EQ(control(state, "LBTitle")["tag"].toString(), label1["tag"].toString());
  const QJsonObject bg = control(state, "BG");
  EXPECT_EQ(bg["width"].toDouble(), 8880);
  EXPECT_EQ(bg["height"].toDouble(), 5505);
  EXPECT_FALSE(QFile::exists(shellLog()));
}

TEST_F(Program, CommandLineNamesTheCourier) {
  useSampleCatalogue();
  start({"申通快递"});
  const QJsonObject state = shownState();
  EXPECT_EQ(state["StartupArgument"].toString(), "申通快递");
  EXPECT_EQ(state["window"].toObject()["caption"].toString(), "申通快递 单号查询软件_Quonvex");
  const int selected = state["SelectedCourierIndex"].toInt();
  EXPECT_EQ(control(state, "LB", selected)["caption"].toString(), "申通快递");
  EXPECT_EQ(control(state, "SStext")["caption"].toString(), "");
}

TEST_F(Program, CommandLineIsTheWholeTextAfterTheProgramName) {
  useSampleCatalogue();
  start({"no", "such", "courier"});
  const QJsonObject state = shownState();
  EXPECT_EQ(state["StartupArgument"].toString(), "no such courier");
  EXPECT_EQ(state["SelectedCourierIndex"].toInt(), 1);
  EXPECT_EQ(state["window"].toObject()["caption"].toString(), "圆通快递 单号查询软件_Quonvex");
}

// The copy runs without the browser engine's module beside it: the engine
// cannot start, and every page, the start-up page first, completes with
// nothing found.
TEST_F(Program, WithoutItsBrowserEngineEveryPageFindsNothing) {
  useSampleCatalogue();
  start();
  shownState();
  const QString noResult = "查询不到结果，请您确认输入的是 圆通快递 订单号！";
  QJsonObject text;
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        QFile file(stateFile());
        if (!file.open(QIODevice::ReadOnly)) return false;
        text = control(QJsonDocument::fromJson(file.readAll()).object(), "Text");
        return text["caption"].toString() == noResult;
      },
      kStartTimeoutMs));
  EXPECT_EQ(text["foreColor"].toInteger(), 0x0000FF);
  EXPECT_TRUE(run.process.state() == QProcess::Running);
}

TEST_F(Program, MissingCatalogueReportsAndEndsWithoutAWindow) {
  start();
  ASSERT_TRUE(process.waitForFinished(kStartTimeoutMs));
  EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(process.exitCode(), 1);
  QFile log(shellLog());
  ASSERT_TRUE(log.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(log.readAll()),
            "messagebox\t快递单号查询\tMSVBVM60.ocx 文件丢失！无法启动，请重新下载！\n"
            "open\thttp://home.test/start\n");
  EXPECT_FALSE(QFile::exists(stateFile()));
}

TEST_F(Program, ADirectoryNamedLikeTheCatalogueCountsAsMissing) {
  ASSERT_TRUE(QDir(dir.path()).mkdir("MSVBVM60.ocx"));
  start();
  ASSERT_TRUE(process.waitForFinished(kStartTimeoutMs));
  EXPECT_EQ(process.exitCode(), 1);
}

TEST_F(Program, EmptyCatalogueShowsAWindowWithNothingSelected) {
  writeCatalogue("");
  start();
  const QJsonObject state = shownState();
  EXPECT_EQ(state["SelectedCourierIndex"].toInt(), -1);
  EXPECT_EQ(control(state, "LBTitle")["caption"].toString(), "");
  EXPECT_EQ(control(state, "SStext")["caption"].toString(), "");
  EXPECT_EQ(opaqueLabels(state), 0);
}

// Without a usable formats file the window comes up as ever; standard error
// has one line that says why no courier will be hinted.
TEST_F(Program, MissingOrMalformedNumberFormatsCostOnlyTheHint) {
  const struct {
    const char* formats;  // null: no file
    const char* says;
  } cases[] = {
      {nullptr, "不存在"},
      {"shunfeng SF\\d{13}\nyuantong YT(\\d{13}\n", "第 2 行的正则表达式无效"},
  };
  useSampleCatalogue();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.says);
    QFile::remove(dir.filePath("number-formats.txt"));
    if (c.formats) {
      QFile file(dir.filePath("number-formats.txt"));
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      file.write(c.formats);
    }
    ProgramRun run(dir.path());
    QFile::remove(run.stateFile());
    run.start(binary());
    EXPECT_EQ(run.shownState()["SelectedCourierIndex"].toInt(), 1);
    run.process.kill();
    run.process.waitForFinished();
    const QStringList lines = QString::fromUtf8(run.process.readAllStandardError())
                                  .split('\n')
                                  .filter("number-formats.txt");
    ASSERT_EQ(lines.size(), 1) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines[0].contains(QString::fromUtf8(c.says))) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith("不按单号提示快递公司")) << lines[0].toStdString();
  }
}

TEST_F(Program, SingleCourierIsSelected) {
  writeCatalogue("\xEF\xBB\xBF顺丰速运=shunfeng");  // UTF-8 with a mark
  start();
  const QJsonObject state = shownState();
  EXPECT_EQ(state["SelectedCourierIndex"].toInt(), 0);
  EXPECT_EQ(control(state, "LBTitle")["tag"].toString(), "shunfeng");
  EXPECT_EQ(control(state, "SStext")["caption"].toString(), "请输入 顺丰速运 单号");
}

}  // namespace
