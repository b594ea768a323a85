// The host window on its own: what attaching does to the window's style,
// its outline, and the state changes the skin asks of the window system.
#include "HostWindow.h"

#include "Window.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

using namespace ModAPI;

namespace {

class HostWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window.setWindowTitle(QStringLiteral("窗口 host"));
    window.resize(300, 200);
    window.show();
    host.attach(WindowHandle(&window));
  }

  // The outline in window coordinates starts where the frame the window
  // system still reports ends.
  void outline(qint32 SizeX1, qint32 SizeY1) {
    const qint32 inset = (host.outerRect().Width - host.clientSize().width()) / 2;
    host.applyOutline(inset, host.clientSize(), SizeX1, SizeY1);
  }

  QWidget window;
  HostWindow host;
};

TEST(HostWindow, NothingIsAttachedAtFirst) {
  const HostWindow host;
  EXPECT_FALSE(host.attached());
  EXPECT_FALSE(host.isZoomed());
  EXPECT_TRUE(host.WindowCaption().isEmpty());
  host.toggleMaximise();  // no window: nothing to do, nothing to crash
  host.ShowSystemMenu();
}

TEST_F(HostWindowTest, AttachingTakesTheCaptionAwayAndKeepsTheSizingFrame) {
  EXPECT_TRUE(host.attached());
  EXPECT_TRUE(host.Sizable);
  EXPECT_EQ(quint32(host.WindowStyle) & WS_CAPTION, 0u);
  EXPECT_EQ(quint32(GetWindowLongA(host.HostWnd, GWL_STYLE)), quint32(host.WindowStyle));
  EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(host.clientSize(), QSize(300, 200));
  EXPECT_EQ(host.outerRect().Width, window.frameGeometry().width());
}

TEST(HostWindow, AFixedWindowIsNotSizable) {
  QWidget window;
  window.setFixedSize(200, 100);
  window.show();
  HostWindow host;
  host.attach(WindowHandle(&window));
  EXPECT_FALSE(host.Sizable);
}

TEST_F(HostWindowTest, TheOutlineIsRoundedUnlessMaximised) {
  outline(8, 8);
  EXPECT_FALSE(window.mask().contains(QPoint(0, 0)));
  EXPECT_TRUE(window.mask().contains(QPoint(0, 100)));
  EXPECT_TRUE(window.mask().contains(QPoint(299, 100)));
  EXPECT_FALSE(window.mask().contains(QPoint(300, 100)));
  outline(0, 0);
  EXPECT_EQ(window.mask(), QRegion(0, 0, 300, 200)) << "square corners";

  window.showMaximized();
  outline(8, 8);
  EXPECT_TRUE(window.mask().isEmpty()) << "a maximised window is a plain rectangle";
}

TEST_F(HostWindowTest, MaximiseRestoreMinimiseAndClose) {
  host.toggleMaximise();
  EXPECT_TRUE(host.isZoomed());
  EXPECT_TRUE(window.isMaximized());
  QTest::qWait(20);
  host.toggleMaximise();
  EXPECT_FALSE(host.isZoomed());
  host.minimise();
  EXPECT_TRUE(window.isMinimized());
  host.close();
  EXPECT_FALSE(window.isVisible());
}

TEST_F(HostWindowTest, CaptionAndIconAreTheWindows) {
  EXPECT_EQ(host.WindowCaption(), QStringLiteral("窗口 host"));
  EXPECT_FALSE(host.smallIcon());
  QPixmap icon(16, 16);
  icon.fill(Qt::red);
  window.setWindowIcon(QIcon(icon));
  EXPECT_TRUE(host.smallIcon());
}

}  // namespace
