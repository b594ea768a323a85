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

#include <functional>
#include <iterator>
#include <ostream>
#include <string>

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
  // The display before its window manager, which ends with it: killed
  // first, a manager run in a session bus of its own (dbus-run-session)
  // would leave the bus and its services behind.
  void TearDown() override {
    end(program);
    endServer();
    if (manager.state() != QProcess::NotRunning && !manager.waitForFinished(kTimeoutMs))
      end(manager);
  }
  static void end(QProcess& process) {
    if (process.state() == QProcess::NotRunning) return;
    process.kill();
    process.waitForFinished();
  }
  // Asked to end, Xvfb removes its lock file and socket; killed, it leaves
  // them behind, and two servers starting beside each other may then both
  // take the stale display number, one ending the other's clients.
  void endServer() {
    if (server.state() == QProcess::NotRunning) return;
    server.terminate();
    if (!server.waitForFinished(kTimeoutMs)) end(server);
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
    if (stateSnapshot) env.insert("COURIER_QUERY_STATE_FILE", dir.filePath("state.json"));
    env.insert("COURIER_QUERY_SHELL_LOG", dir.filePath("shell.log"));
    if (!service.isEmpty()) env.insert("COURIER_QUERY_SERVICE", service);
    if (!scaleFactor.isEmpty()) env.insert("QT_SCALE_FACTOR", scaleFactor);
    program.setProcessEnvironment(env);
    program.start(binary, {});
    EXPECT_TRUE(program.waitForStarted());
    if (stateSnapshot) {
      EXPECT_TRUE(QTest::qWaitFor([&] { return shown(); }, kTimeoutMs));
    }
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
  bool stateSnapshot = true;  // whether the program writes its state file
  QTemporaryDir dir;
  QString scaleFactor;
  QProcess server;
  QProcess manager;  // a window manager, where a test runs one
  QProcess program;
  QString display;
};

// A real X11 window manager, started on the test's own display.
struct WindowManager {
  const char* name;  // the cases' suffix, which `scripts/test -R` selects by
  QString program;
  QStringList arguments;
  bool needsSessionBus = false;  // xfwm4 reads its settings through xfconfd
};

void PrintTo(const WindowManager& manager, std::ostream* out) {
  *out << manager.name;
}

// openbox first: the sanitizer build runs the cases under it alone.
const WindowManager kManagers[] = {
    {"openbox", "openbox", {"--sm-disable"}},
    {"mutter", "mutter", {"--x11", "--replace", "--sm-disable"}},
    {"kwin", "kwin_x11", {"--replace"}},
    {"xfwm4", "xfwm4", {"--replace", "--sm-client-disable"}, true},
};

// Under each real stacking window manager, on its own display: they all move
// and resize through the EWMH requests and report the state in
// _NET_WM_STATE, and the cases check what they make of the program's.
class SkinnedProgramUnderAManager : public SkinnedProgram,
                                    public ::testing::WithParamInterface<WindowManager> {
 protected:
  SkinnedProgramUnderAManager() { screenSize = "1280x1024x24"; }
  void SetUp() override {
    const WindowManager& wm = GetParam();
    for (const QString& tool : {wm.program, QStringLiteral("xprop")}) {
      if (QStandardPaths::findExecutable(tool).isEmpty())
        GTEST_SKIP() << "needs " << tool.toStdString();
    }
    SkinnedProgram::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    manager.setProcessEnvironment(managerEnvironment());
    manager.setProcessChannelMode(QProcess::ForwardedChannels);
    QString program = wm.program;
    QStringList arguments = wm.arguments;
    if (wm.needsSessionBus) {
      arguments.prepend("--");
      arguments.prepend(program);
      program = "dbus-run-session";
    }
    // A display just started may not take connections yet: the manager then
    // ends at once, and is started again.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
          if (manager.state() == QProcess::NotRunning) manager.start(program, arguments);
          return !property("-root", "_NET_SUPPORTING_WM_CHECK").isEmpty();
        },
        kTimeoutMs))
        << wm.name << " did not take the display";
  }

  // The manager keeps its settings and caches in the test's folder, not in
  // the home folder of whoever runs the suite.
  QProcessEnvironment managerEnvironment() const {
    QProcessEnvironment env = environment();
    env.remove("DBUS_SESSION_BUS_ADDRESS");
    env.insert("XDG_RUNTIME_DIR", dir.path());
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"})
      env.insert(name, dir.filePath(name));
    return env;
  }

  // The value of an X property, empty where it is not set.
  QString property(const QString& window, const QString& name) {
    const QStringList arguments =
        window == "-root" ? QStringList{"-root", name} : QStringList{"-id", window, name};
    // "NAME(TYPE) = value", "NAME(WINDOW): window id # 0x..." or "NAME:  not found."
    const QString line = x("xprop", arguments).trimmed();
    if (line.contains(" = ")) return line.section(" = ", 1);
    return line.contains("window id # ") ? line.section("window id # ", 1) : QString();
  }
  // The program's windows on the screen: its own, and its window menu while open.
  int shownWindows() {
    return x("xdotool", {"search", "--onlyvisible", "--pid", QString::number(program.processId())})
        .split('\n', Qt::SkipEmptyParts)
        .size();
  }
  bool maximisedByTheManager(const QString& id) {
    const QString state = property(id, "_NET_WM_STATE");
    return state.contains("_NET_WM_STATE_MAXIMIZED_VERT") &&
           state.contains("_NET_WM_STATE_MAXIMIZED_HORZ");
  }

  // A drag in steps, as a hand does: the window manager follows the pointer
  // only once it has the drag, so the last steps must come after it.
  void dragInSteps(QPoint from, QPoint by) {
    QStringList arguments{
        "mousemove", "--sync", QString::number(from.x()), QString::number(from.y()),
        "mousedown", "1"};
    for (int step = 1; step <= 4; ++step) {
      const QPoint at = from + by * step / 4;
      arguments << "mousemove"
                << "--sync" << QString::number(at.x()) << QString::number(at.y()) << "sleep"
                << "0.1";
    }
    x("xdotool", arguments << "mouseup"
                           << "1");
  }

  QRect settledGeometry(const QString& id, const QRect& expected) {
    return QTest::qWaitFor([&] { return geometry(id) == expected; }, kTimeoutMs) ? expected
                                                                                 : geometry(id);
  }
  // Clicks at `at` until `done`, a few seconds apart: a click that comes
  // before the program has laid its frame out for a new size finds no
  // button there yet (a slow build lags behind the manager), as a user's
  // click on a frame not yet redrawn would. Once `done`, the window has left
  // `at`, so a click that was slow rather than lost cannot land twice.
  bool clickUntil(QPoint at, const std::function<bool()>& done) {
    for (int attempt = 0; attempt < 4; ++attempt) {
      click(at);
      if (QTest::qWaitFor(done, 5000)) return true;
    }
    return false;
  }
};

// The manager moves the window by how far the pointer went from the press,
// which the caption hands over only once it has been dragged a few pixels:
// the window follows the pointer exactly, on the first drag after the start
// as on any other.
TEST_P(SkinnedProgramUnderAManager, TheCaptionAndTheEdgesFollowThePointerExactly) {
  const QString id = start();
  ASSERT_FALSE(id.isEmpty());
  const QRect normal = geometry(id);
  ASSERT_EQ(normal.size(), QSize(600, 500));
  dragInSteps(normal.topLeft() + QPoint(200, 15), QPoint(100, 80));
  const QRect moved = normal.translated(100, 80);
  EXPECT_EQ(settledGeometry(id, moved), moved);
  dragInSteps(QPoint(moved.left() + 300, moved.bottom()), QPoint(0, 40));
  const QRect taller = moved.adjusted(0, 0, 0, 40);
  EXPECT_EQ(settledGeometry(id, taller), taller);
  EXPECT_EQ(property(id, "WM_CLASS"), "\"courier-query\", \"courier-query\"")
      << "the desktop entry's StartupWMClass, in the property's Latin-1";
}

// Maximised, the window has the size the manager gives it (the whole
// screen, no panel here) and the manager knows it is maximised; restored,
// its old place and size. By a double-click on the caption, which reaches
// the window although the first press may start a move, and by the button.
TEST_P(SkinnedProgramUnderAManager, TheManagerMaximisesAndRestores) {
  const QString id = start();
  ASSERT_FALSE(id.isEmpty());
  const QRect normal = geometry(id);
  const QRect screen(0, 0, 1280, 1024);
  click(normal.topLeft() + QPoint(200, 15), 2);
  EXPECT_TRUE(QTest::qWaitFor([&] { return maximisedByTheManager(id); }, kTimeoutMs));
  EXPECT_EQ(settledGeometry(id, screen), screen);
  click(QPoint(200, 15), 2);
  EXPECT_EQ(settledGeometry(id, normal), normal);
  EXPECT_FALSE(maximisedByTheManager(id));

  // The maximise button of "QQ2010", left of the 39-pixel close button.
  const QPoint maximiseButton(normal.right() - 4 - 39 - 14, normal.top() + 10);
  click(maximiseButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return maximisedByTheManager(id); }, kTimeoutMs));
  EXPECT_EQ(settledGeometry(id, screen), screen);
  EXPECT_TRUE(
      clickUntil(QPoint(screen.right() - 4 - 39 - 14, 10), [&] { return geometry(id) == normal; }));
  EXPECT_EQ(settledGeometry(id, normal), normal);
  EXPECT_FALSE(maximisedByTheManager(id));
  EXPECT_EQ(program.state(), QProcess::Running);
}

// A size change from outside lays the frame out again, and leaves the
// window where it is among the others: another window keeps the focus.
TEST_P(SkinnedProgramUnderAManager, ASizeChangeNeitherRaisesNorActivates) {
  const QString id = start();
  ASSERT_FALSE(id.isEmpty());
  QProcess other;
  other.setProcessEnvironment(environment());
  other.start("xlogo", {"-geometry", "200x200+10+10"});
  ASSERT_TRUE(other.waitForStarted());
  const QString otherId =
      x("xdotool", {"search", "--sync", "--onlyvisible", "--classname", "xlogo"})
          .split('\n')
          .first();
  x("xdotool", {"windowactivate", "--sync", otherId});
  x("xdotool", {"windowsize", "--sync", id, "640", "520"});
  EXPECT_EQ(geometry(id).size(), QSize(640, 520));
  QTest::qWait(300);  // the activation a relayout would have asked for
  EXPECT_EQ(x("xdotool", {"getactivewindow"}).trimmed(), otherId);
  other.kill();
  other.waitForFinished();
}

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

// The state snapshot only observes: with it and without it the window takes
// the focus the manager gives it, and a number typed at once is looked up.
TEST_P(SkinnedProgramUnderAManager, TheStateSnapshotChangesNothingTheKeyboardDoes) {
  TestServer service;
  service.Serve("/chaxun", "<html><body><div id=\"queryResult2\">已签收</div></body></html>",
                "text/html; charset=utf-8");
  service.Start();
  for (const bool snapshot : {true, false}) {
    SCOPED_TRACE(snapshot ? "with the snapshot" : "without the snapshot");
    stateSnapshot = snapshot;
    const int before = service.Hits("/chaxun");
    const QString id = start(QStringLiteral(COURIER_QUERY_BINARY), service.Url(""));
    ASSERT_FALSE(id.isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return x("xdotool", {"getwindowfocus"}).trimmed() == id; },
                                kTimeoutMs))
        << "the window never had the keyboard";
    x("xdotool", {"type", "--delay", "20", "YT100"});
    x("xdotool", {"key", "Return"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.Hits("/chaxun") > before; }, kTimeoutMs))
        << "the typed number was not looked up";
    EXPECT_EQ(service.LastParams("/chaxun").find("nu")->second, "YT100");
    program.kill();
    program.waitForFinished();
  }
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

// Openbox, mutter and xfwm4 keep Alt+Space for their own window menu;
// Alt+Shift+Space opens the program's under every manager, a second window
// of the program's on the screen.
TEST_P(SkinnedProgramUnderAManager, AltShiftSpaceOpensTheWindowMenu) {
  const QString id = start();
  ASSERT_FALSE(id.isEmpty());
  ASSERT_EQ(shownWindows(), 1);
  x("xdotool", {"windowactivate", "--sync", id, "key", "alt+shift+space"});
  EXPECT_TRUE(QTest::qWaitFor([&] { return shownWindows() == 2; }, kTimeoutMs)) << "no window menu";
  x("xdotool", {"key", "Escape"});
  EXPECT_TRUE(QTest::qWaitFor([&] { return shownWindows() == 1; }, kTimeoutMs));
}

// The window menu's 移动 starts the manager's move by the keyboard: the
// arrows move the window, Enter ends the move.
TEST_P(SkinnedProgramUnderAManager, TheWindowMenusMoveWorksFromTheKeyboard) {
  const QString id = start();
  ASSERT_FALSE(id.isEmpty());
  const QRect normal = geometry(id);
  x("xdotool", {"windowactivate", "--sync", id, "key", "alt+shift+space"});
  ASSERT_TRUE(QTest::qWaitFor([&] { return shownWindows() == 2; }, kTimeoutMs)) << "no window menu";
  // 还原 is disabled: the first Down reaches 移动.
  x("xdotool", {"key", "Down", "Return"});
  ASSERT_TRUE(QTest::qWaitFor([&] { return shownWindows() == 1; }, kTimeoutMs));
  // The manager's keyboard move starts a moment after the menu closes; an
  // arrow sent before it goes to the program instead, which does not move.
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        x("xdotool", {"key", "Right"});
        return geometry(id).left() > normal.left();
      },
      kTimeoutMs))
      << "the window did not move";
  x("xdotool", {"key", "Return"});
  EXPECT_EQ(geometry(id).top(), normal.top());
  EXPECT_EQ(geometry(id).size(), normal.size());
}

#ifdef COURIER_QUERY_FIRST_MANAGER_ONLY
constexpr std::size_t kManagersRun = 1;
#else
constexpr std::size_t kManagersRun = std::size(kManagers);
#endif
INSTANTIATE_TEST_SUITE_P(, SkinnedProgramUnderAManager,
                         ::testing::ValuesIn(kManagers, kManagers + kManagersRun),
                         [](const auto& info) { return std::string(info.param.name); });

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
