// The real program on a real X server (Xvfb, no window manager), used with
// the pointer and the keyboard as a user does: the painted close button ends
// the program, a double-click on the caption maximises and restores the
// window, a maximised window stays where it is, a query typed into the
// window is answered, and at 1.5 and 2 pixels to the logical pixel the
// outline still fits the frame.
#include "ProgramRun.h"
#include "TestServer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRect>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kTimeoutMs = 20000;

class SkinnedProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"Xvfb", "xdotool", "import"}) {
      if (QStandardPaths::findExecutable(tool).isEmpty()) GTEST_SKIP() << "needs " << tool;
    }
    ASSERT_TRUE(dir.isValid());
    // Xvfb picks a free display and writes its number to the descriptor.
    server.start("Xvfb", {"-displayfd", "1", "-screen", "0", screenSize, "-nolisten", "tcp"});
    ASSERT_TRUE(server.waitForStarted());
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.canReadLine(); }, kTimeoutMs));
    display = ":" + QString::fromLatin1(server.readLine()).trimmed();
  }
  void TearDown() override {
    for (QProcess* p : {&program, &server}) {
      if (p->state() == QProcess::NotRunning) continue;
      p->kill();
      p->waitForFinished();
    }
  }

  QProcessEnvironment environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.remove("XAUTHORITY");
    return env;
  }

  // Runs an X tool on the display and returns its output.
  QString x(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(tool, arguments);
    EXPECT_TRUE(process.waitForFinished(kTimeoutMs)) << tool.toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
  }

  // What the screen shows.
  QImage screenshot() {
    const QString path = dir.filePath("screen.png");
    x("import", {"-window", "root", path});
    return QImage(path).convertToFormat(QImage::Format_RGB32);
  }

  QJsonObject state() {
    QFile file(dir.filePath("state.json"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QJsonDocument::fromJson(file.readAll()).object();
  }
  bool shown() { return state()["window"].toObject()["visible"].toBool(); }
  QString resultArea() { return control(state(), "Text")["caption"].toString(); }

  // Starts the program (the built one, or `binary`) and returns its window's
  // id once it is shown.
  QString start(const QString& binary = QStringLiteral(COURIER_QUERY_BINARY),
                const QString& service = {}) {
    QProcessEnvironment env = environment();
    env.insert("COURIER_QUERY_STATE_FILE", dir.filePath("state.json"));
    env.insert("COURIER_QUERY_SHELL_LOG", dir.filePath("shell.log"));
    if (!service.isEmpty()) env.insert("COURIER_QUERY_SERVICE", service);
    if (!scaleFactor.isEmpty()) env.insert("QT_SCALE_FACTOR", scaleFactor);
    program.setProcessEnvironment(env);
    program.start(binary, {});
    EXPECT_TRUE(program.waitForStarted());
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown(); }, kTimeoutMs));
    return x("xdotool",
             {"search", "--sync", "--onlyvisible", "--pid", QString::number(program.processId())})
        .split('\n')
        .first();
  }

  // The window's outer rectangle on the screen.
  QRect geometry(const QString& id) {
    QMap<QString, int> values;  // X=, Y=, WIDTH=, HEIGHT= lines
    for (const QString& line : x("xdotool", {"getwindowgeometry", "--shell", id}).split('\n')) {
      const QStringList pair = line.split('=');
      if (pair.size() == 2) values[pair[0]] = pair[1].toInt();
    }
    return QRect(values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]);
  }

  void click(QPoint at, int times = 1) {
    x("xdotool", {"mousemove", "--sync", QString::number(at.x()), QString::number(at.y()), "click",
                  "--repeat", QString::number(times), "--delay", "80", "1"});
  }

  // A left-button drag from `from` by `by`, in screen pixels.
  void drag(QPoint from, QPoint by) {
    const QPoint to = from + by;
    x("xdotool", {"mousemove", "--sync", QString::number(from.x()), QString::number(from.y()),
                  "mousedown", "1", "mousemove", "--sync", QString::number(to.x()),
                  QString::number(to.y()), "mouseup", "1"});
  }

  // Starts the program at `scale` pixels to the logical pixel and checks that
  // the window's outline, which the toolkit scales, fits the frame the skin
  // paints at that density: the 600 x 500 window covers 600 x 500 logical
  // pixels, its corners are cut off and show the screen (black), and along
  // each straight edge the outermost pixels are the frame's outline colour,
  // with no pixel cut away or left over.
  void expectOutlineFitsAt(const QString& scale) {
    scaleFactor = scale;
    const QString id = start();
    ASSERT_FALSE(id.isEmpty());
    const QRect window = geometry(id);
    const qreal ratio = scale.toDouble();
    ASSERT_EQ(window.size(), QSize(qRound(600 * ratio), qRound(500 * ratio)));
    const QRgb black = qRgb(0, 0, 0), outline = qRgb(43, 101, 173);
    // Shown is not yet painted: a slow build maps the window a while before
    // its first frame reaches the screen.
    QImage screen;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
          screen = screenshot();
          return screen.pixel(window.center().x(), window.top()) == outline;
        },
        kTimeoutMs))
        << "the window's frame never reached the screen";
    for (const QPoint corner :
         {window.topLeft(), window.topRight(), window.bottomLeft(), window.bottomRight()}) {
      EXPECT_EQ(screen.pixel(corner), black) << "corner " << corner.x() << "," << corner.y();
    }
    const int margin = qRound(12 * ratio);
    for (int x = window.left() + margin; x <= window.right() - margin; ++x) {
      ASSERT_EQ(screen.pixel(x, window.top()), outline) << "top edge at " << x;
      ASSERT_EQ(screen.pixel(x, window.bottom()), outline) << "bottom edge at " << x;
      ASSERT_EQ(screen.pixel(x, window.bottom() + 1), black) << "below the window at " << x;
    }
    for (int y = window.top() + margin; y <= window.bottom() - margin; ++y) {
      ASSERT_EQ(screen.pixel(window.left(), y), outline) << "left edge at " << y;
      ASSERT_EQ(screen.pixel(window.right(), y), outline) << "right edge at " << y;
      ASSERT_EQ(screen.pixel(window.right() + 1, y), black) << "beside the window at " << y;
    }
  }

  QString screenSize = "1024x768x24";
  QTemporaryDir dir;
  QString scaleFactor;
  QProcess server;
  QProcess program;
  QString display;
};

TEST_F(SkinnedProgram, TheCloseButtonEndsTheProgram) {
  const QString id = start();
  ASSERT_FALSE(id.isEmpty());
  const QRect window = geometry(id);
  ASSERT_EQ(window.width(), 600);
  // The close button of "QQ2010": 39 pixels wide, 4 in from the right, 20 high.
  click(QPoint(window.right() - 4 - 19, window.top() + 10));
  ASSERT_TRUE(program.waitForFinished(kTimeoutMs)) << "the window did not close";
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);
  EXPECT_FALSE(QFile::exists(dir.filePath("shell.log"))) << "nothing opened";
}

// The window opens in the middle of the screen. Without a window manager the
// skin places the maximised window itself: over the whole screen (the work
// area) and 4 pixels wider, and back again.
TEST_F(SkinnedProgram, TheCaptionsDoubleClickMaximisesAndRestores) {
  const QString id = start();
  ASSERT_FALSE(id.isEmpty());
  const QRect normal = geometry(id);
  EXPECT_EQ(normal, QRect(212, 134, 600, 500)) << "first shown in the middle of the screen";
  click(normal.topLeft() + QPoint(100, 15), 2);
  EXPECT_TRUE(QTest::qWaitFor([&] { return geometry(id) == QRect(0, 0, 1028, 768); }, kTimeoutMs));
  click(QPoint(100, 15), 2);
  EXPECT_TRUE(QTest::qWaitFor([&] { return geometry(id) == normal; }, kTimeoutMs));
}

// The largest catalogue the program takes (labels 0 to 32,767, the items
// beyond ignored) with the state snapshot on: the window still answers a
// query typed into it, and the snapshot keeps up.
TEST_F(SkinnedProgram, TheLargestCatalogueStillAnswersQueries) {
  TestServer service;
  service.Serve("/chaxun",
                "<html><body><p>查询</p><div id=\"queryResult2\">已签收</div></body></html>",
                "text/html; charset=utf-8");
  service.Start();
  const QString binary = dir.filePath("courier-query");
  ASSERT_TRUE(QFile::copy(COURIER_QUERY_BINARY, binary));
  const QString engine = QFileInfo(COURIER_QUERY_BINARY).dir().filePath("engine");
  ASSERT_TRUE(QFile::link(engine, dir.filePath("engine")));
  QStringList couriers, index{"B"};
  for (int i = 0; i < 12; ++i) couriers << QStringLiteral("快递%1=code%1").arg(i);
  for (int i = 12; i < 40000; ++i) index << QStringLiteral("c%1=物流%1").arg(i);
  QFile catalogue(dir.filePath("MSVBVM60.ocx"));
  ASSERT_TRUE(catalogue.open(QIODevice::WriteOnly));
  catalogue.write("\xEF\xBB\xBF" + (couriers.join(',') + '%' + index.join(',')).toUtf8());
  catalogue.close();

  const QString id = start(binary, service.Url(""));
  ASSERT_FALSE(id.isEmpty());
  ASSERT_EQ(state()["controls"].toArray().size(), 13 + 32768);
  // Into the number box (216, 75 pixels into the window), then Enter.
  click(geometry(id).topLeft() + QPoint(300, 83));
  x("xdotool", {"type", "--delay", "20", "YT100"});
  x("xdotool", {"key", "Return"});
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return control(state(), "Text")["caption"].toString() == "已签收"; }, kTimeoutMs))
      << "no answer in the window";
  const QJsonObject status = state()["queryStatus"].toObject();
  EXPECT_TRUE(status["visible"].toBool());
  EXPECT_EQ(status["caption"].toString(), "");
  EXPECT_EQ(service.LastParams("/chaxun").find("nu")->second, "YT100");
}

// The browser engine starts once the window is on the screen, where OpenGL
// is at hand (it needs a context to share there); the start-up page then
// completes with nothing found.
TEST_F(SkinnedProgram, TheBrowserEngineStartsAfterTheWindowAppears) {
  ASSERT_FALSE(start().isEmpty());
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return resultArea() == "查询不到结果，请您确认输入的是 圆通快递 订单号！"; },
      kTimeoutMs));
  EXPECT_EQ(program.state(), QProcess::Running);
}

// Without a window manager the drag would move the window itself: half off
// the screen, and no longer maximised for the next double-click.
TEST_F(SkinnedProgram, AMaximisedWindowStaysPutWhenItsCaptionIsDragged) {
  const QString id = start();
  ASSERT_FALSE(id.isEmpty());
  const QRect normal = geometry(id);
  const QRect maximised(0, 0, 1028, 768);
  click(normal.topLeft() + QPoint(100, 15), 2);
  ASSERT_TRUE(QTest::qWaitFor([&] { return geometry(id) == maximised; }, kTimeoutMs));
  drag(QPoint(100, 15), QPoint(50, 85));
  EXPECT_EQ(geometry(id), maximised);
  click(QPoint(100, 15), 2);
  EXPECT_TRUE(QTest::qWaitFor([&] { return geometry(id) == normal; }, kTimeoutMs))
      << "still maximised: the double-click restores it";
}

// A screen that holds the window whole at twice the density.
class SkinnedProgramLargeScreen : public SkinnedProgram {
 protected:
  SkinnedProgramLargeScreen() { screenSize = "1600x1200x24"; }
};

TEST_F(SkinnedProgramLargeScreen, AtOneAndAHalfTheOutlineFitsTheFrame) {
  expectOutlineFitsAt("1.5");
}

TEST_F(SkinnedProgramLargeScreen, AtTwiceTheDensityTheOutlineFitsTheFrame) {
  expectOutlineFitsAt("2");
}

}  // namespace
