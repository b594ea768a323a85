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
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

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

// Root may read a file whatever its mode; in a user namespace of its own it
// is nobody, for whom the mode counts. The command that runs `command` as a
// user whom modes bind, or empty where there is none to be.
QStringList asUserBoundByModes(const QStringList& command) {
  if (getuid() != 0) return command;
  if (QProcess::execute("unshare", {"--user", "true"}) != 0) return {};
  return QStringList{"unshare", "--user"} + command;
}

// A catalogue that is there but cannot be read is as missing to the user:
// the window says so and ends; the lookup says it cannot be read and looks
// nothing up.
TEST_F(Program, AnUnreadableCatalogueIsReportedAsMissing) {
  useSampleCatalogue();
  ASSERT_TRUE(QFile::setPermissions(catalogue(), {}));
  ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                    QFile::ExeOwner | QFile::ReadOther |
                                                    QFile::ExeOther));
  QFile log(shellLog());  // written by whoever the program runs as
  ASSERT_TRUE(log.open(QIODevice::WriteOnly));
  ASSERT_TRUE(log.setPermissions(log.permissions() | QFile::WriteOther | QFile::ReadOther));
  log.close();
  const QStringList window = asUserBoundByModes({binary()});
  if (window.isEmpty()) GTEST_SKIP() << "root without user namespaces reads any file";
  const auto runToEnd = [&](const QStringList& command) {
    run.start(command.first(), command.mid(1));
    EXPECT_TRUE(process.waitForFinished(kStartTimeoutMs));
  };

  runToEnd(window);
  EXPECT_EQ(process.exitCode(), 1);
  ASSERT_TRUE(log.open(QIODevice::ReadOnly));
  EXPECT_TRUE(
      QString::fromUtf8(log.readAll())
          .startsWith("messagebox\t快递单号查询\tMSVBVM60.ocx 文件丢失！无法启动，请重新下载！\n"));

  runToEnd(asUserBoundByModes({binary(), "--lookup", "顺丰速运", "SF1"}));
  EXPECT_EQ(process.exitCode(), 2);
  EXPECT_EQ(process.readAllStandardOutput(), "");
  EXPECT_EQ(QString::fromUtf8(process.readAllStandardError()),
            "courier-query：无法读取快递公司目录 MSVBVM60.ocx（没有读取权限或读取出错），"
            "一个单号也没有查询\n");
}

// Without its skin folder the window works on without frame pictures and
// caption buttons; standard error says so once.
TEST_F(Program, AMissingSkinFolderIsSaidOnceOnStandardError) {
  useSampleCatalogue();
  start();
  shownState();
  process.kill();
  process.waitForFinished();
  const QString err = QString::fromUtf8(process.readAllStandardError());
  const QString line = "courier-query：找不到皮肤文件夹 " + dir.path() +
                       "/Skin/QQ2010，窗口没有边框图片和标题栏按钮\n";
  EXPECT_EQ(err.count(line), 1) << err.toStdString();
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

// A heading right after the first item is no default courier: the first
// courier after it is, and a query goes out with its code, not the letter's.
TEST_F(Program, TheDefaultSelectionSkipsHeadings) {
  writeCatalogue("顺丰速运=shunfeng%B,baifudongfang=百福东方,C,cc=城市");
  start();
  const QJsonObject state = shownState();
  EXPECT_EQ(state["SelectedCourierIndex"].toInt(), 2);
  EXPECT_EQ(control(state, "LBTitle")["caption"].toString(), "百福东方");
  EXPECT_EQ(control(state, "LBTitle")["tag"].toString(), "baifudongfang");
  EXPECT_EQ(control(state, "SStext")["caption"].toString(), "请输入 百福东方 单号");
  EXPECT_EQ(opaqueLabels(state), 1);
}

// With no courier after label 1 the only courier, label 0, is the default;
// a catalogue of headings has none.
TEST_F(Program, WithoutCourierAfterLabelOneTheDefaultIsLabelZeroOrNone) {
  writeCatalogue("顺丰速运=shunfeng%B,C");
  start();
  QJsonObject state = shownState();
  EXPECT_EQ(state["SelectedCourierIndex"].toInt(), 0);
  EXPECT_EQ(control(state, "LBTitle")["tag"].toString(), "shunfeng");
  run.process.kill();
  run.process.waitForFinished();

  writeCatalogue("%B,C");
  ProgramRun headings(dir.path());
  QFile::remove(headings.stateFile());
  headings.start(binary());
  state = headings.shownState();
  EXPECT_EQ(state["SelectedCourierIndex"].toInt(), -1);
  EXPECT_EQ(control(state, "LBTitle")["tag"].toString(), "");
  EXPECT_EQ(control(state, "SStext")["caption"].toString(), "");
  EXPECT_EQ(opaqueLabels(state), 0);
}

TEST_F(Program, SingleCourierIsSelected) {
  writeCatalogue("\xEF\xBB\xBF顺丰速运=shunfeng");  // UTF-8 with a mark
  start();
  const QJsonObject state = shownState();
  EXPECT_EQ(state["SelectedCourierIndex"].toInt(), 0);
  EXPECT_EQ(control(state, "LBTitle")["tag"].toString(), "shunfeng");
  EXPECT_EQ(control(state, "SStext")["caption"].toString(), "请输入 顺丰速运 单号");
}

// Without a display the window cannot open: the program says so in its own
// words and ends, where the toolkit would abort with advice for developers.
TEST_F(Program, WithoutADisplayItSaysWhatToDoAndEndsWithTwo) {
  useSampleCatalogue();
  for (const char* display : {"", ":4093"}) {
    SCOPED_TRACE(display);
    ProgramRun run(dir.path());
    for (const char* name :
         {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "COURIER_QUERY_DEBUG"})
      run.environment.remove(name);
    if (*display) run.environment.insert("DISPLAY", display);
    run.start(binary());
    ASSERT_TRUE(run.process.waitForFinished(kStartTimeoutMs));
    EXPECT_EQ(run.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run.process.exitCode(), 2);
    EXPECT_EQ(QString::fromUtf8(run.process.readAllStandardError()),
              "courier-query：找不到可以显示窗口的图形界面（DISPLAY 或 WAYLAND_DISPLAY 未设置，"
              "或连接不上），无法打开窗口。请在图形桌面中启动本程序；通过 ssh 登录时可用 ssh -X "
              "转发显示。不打开窗口也能查询：courier-query --lookup 快递公司 单号…\n");
    EXPECT_FALSE(QFile::exists(run.stateFile()));
  }
}

const QString kAsRoot = QStringLiteral(
    "不能以 root 身份运行：浏览器引擎在 root 身份下无法使用它的沙箱，而没有沙箱时，网页一旦攻破"
    "引擎就拥有了 root 的全部权限。请以普通用户身份运行本程序。确需以 root 运行时（例如在容器中），"
    "请设置环境变量 QTWEBENGINE_DISABLE_SANDBOX=1，引擎将不受沙箱保护。");

// As root with the engine's sandbox on, the engine would end the program
// once the window is up, with a line in English; the program refuses before
// any window shows, in a message box and on standard error.
TEST_F(Program, AsRootWithTheEnginesSandboxOnItRefusesBeforeTheWindow) {
  if (getuid() != 0) GTEST_SKIP() << "needs root";
  useSampleCatalogue();
  run.environment.remove("QTWEBENGINE_DISABLE_SANDBOX");
  run.environment.insert("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
  start();
  ASSERT_TRUE(process.waitForFinished(kStartTimeoutMs));
  EXPECT_EQ(process.exitCode(), 2);
  EXPECT_EQ(QString::fromUtf8(process.readAllStandardError()), "courier-query：" + kAsRoot + "\n");
  QFile log(shellLog());
  ASSERT_TRUE(log.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(log.readAll()), "messagebox\t快递单号查询\t" + kAsRoot + "\n");
  EXPECT_FALSE(QFile::exists(stateFile()));
}

// The built program, its browser engine beside it, up to the start-up page's
// completion: the toolkit and the engine say nothing on standard error,
// unless the debugging variable asks them to.
TEST(ProgramDiagnostics, TheWindowsStartIsQuietUnlessAskedForDiagnostics) {
  QTemporaryDir dir;
  for (const bool debug : {false, true}) {
    SCOPED_TRACE(debug ? "COURIER_QUERY_DEBUG=1" : "quiet");
    ProgramRun run(dir.path());
    QFile::remove(run.stateFile());
    run.environment.remove("COURIER_QUERY_DEBUG");
    if (debug) run.environment.insert("COURIER_QUERY_DEBUG", "1");
    run.start(COURIER_QUERY_BINARY);
    run.shownState();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
          QFile file(run.stateFile());
          return file.open(QIODevice::ReadOnly) &&
                 control(QJsonDocument::fromJson(file.readAll()).object(), "Text")["caption"]
                     .toString()
                     .startsWith("查询不到结果");
        },
        kStartTimeoutMs));
    run.process.kill();
    run.process.waitForFinished();
    const QString err = QString::fromUtf8(run.process.readAllStandardError());
    if (debug)
      EXPECT_TRUE(err.contains("qt.webenginecontext")) << err.toStdString();
    else
      EXPECT_EQ(err, "");
  }
}

}  // namespace
