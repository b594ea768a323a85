// The skinned window under the pointer, driven with QTest input on the
// offscreen platform: caption buttons, ControlButtonClick, moving, resizing,
// maximising and the system menu.
#include "SkinnedWindow.h"

#include "Gdi.h"
#include "MenuRecorder.h"
#include "Messages.h"
#include "ShownPointer.h"
#include "SystemMenu.h"
#include "Timer.h"
#include "Window.h"

#include <QApplication>
#include <QTest>

using namespace ModAPI;

namespace {

class SkinWindow : public SkinnedWindow {
 protected:
  // A left press at `at`, a move by `by` with the button held, the release.
  void drag(QPoint at, QPoint by) {
    QTest::mousePress(&window, Qt::LeftButton, {}, at);
    QTest::mouseMove(&window, at + by);
    QTest::mouseRelease(&window, Qt::LeftButton, {}, at + by);
  }
};

TEST_F(SkinWindow, TheCloseButtonReportsThenClosesAndTheOwnerReleasesTheSkin) {
  const GdiObjectCounts before = LiveGdiObjects();
  skin();
  QTest::mouseMove(&window, QPoint(375, 10));
  QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(375, 10));
  ASSERT_EQ(window.clicks.size(), 1u);
  EXPECT_EQ(window.clicks[0], (SkinOwner::Click{0, 356, 20}));
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.skin, nullptr);
  EXPECT_EQ(LiveGdiObjects().deviceContexts, before.deviceContexts);
  EXPECT_FALSE(IsTimerSet(hwnd, 0));
}

TEST_F(SkinWindow, CancelKeepsTheWindowOpenAndTheButtonPressed) {
  skin();
  window.cancel = true;
  QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(375, 10));
  EXPECT_EQ(window.clicks.size(), 1u);
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(look(CaptionButtonId::Close).State, ButtonState::ButtonPressed);
  EXPECT_EQ(mouse().pressedButton(), CaptionButtonId::Close);
}

TEST_F(SkinWindow, ReleasingOffTheButtonClicksNothing) {
  skin();
  drag(QPoint(375, 10), QPoint(-175, 90));
  EXPECT_TRUE(window.clicks.empty());
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(look(CaptionButtonId::Close).State, ButtonState::ButtonNormal);
  EXPECT_EQ(mouse().pressedButton(), std::nullopt);
  while (TickTimers()) {
  }
  EXPECT_EQ(pixelAt(frameDC(), 375, 10), glyphColour(0, 0));
}

TEST_F(SkinWindow, ARightClickOnAButtonDoesNothing) {
  skin();
  QTest::mouseClick(&window, Qt::RightButton, {}, QPoint(375, 10));
  QTest::mouseClick(&window, Qt::RightButton, {}, QPoint(340, 10));
  EXPECT_TRUE(window.clicks.empty());
  EXPECT_TRUE(window.isVisible());
  EXPECT_FALSE(window.isMaximized());
  EXPECT_EQ(mouse().pressedButton(), std::nullopt);
  EXPECT_EQ(mouse().pressedArea(), Area::AreaNone);
}

TEST_F(SkinWindow, TheHelpButtonReportsWhereItsMenuWouldOpenAndDoesNothingElse) {
  skin();
  const QRect before = window.geometry();
  QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(285, 10));
  ASSERT_EQ(window.clicks.size(), 1u);
  EXPECT_EQ(window.clicks[0], (SkinOwner::Click{3, 272, 20}));
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.windowState(), Qt::WindowNoState);
  EXPECT_EQ(window.geometry(), before);
}

TEST_F(SkinWindow, MaximiseAndMinimiseButtonsActAfterReporting) {
  skin();
  QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(340, 10));
  EXPECT_TRUE(window.isMaximized());
  QTest::qWait(20);
  const int close = rectOf(ui(), CaptionButtonId::Close).Left;
  QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(close - 14, 10));
  EXPECT_FALSE(window.isMaximized());
  QTest::qWait(20);
  QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(312, 10));
  EXPECT_TRUE(window.isMinimized());
  ASSERT_EQ(window.clicks.size(), 3u);
  EXPECT_EQ(window.clicks[2].ButtonIndex, 2);
}

TEST_F(SkinWindow, HoverFollowsThePointerAcrossTheButtons) {
  skin();
  QTest::mouseMove(&window, QPoint(375, 10));
  EXPECT_EQ(mouse().hotButton(), CaptionButtonId::Close);
  QTest::mouseMove(&window, QPoint(340, 10));
  EXPECT_EQ(mouse().hotButton(), CaptionButtonId::Maximise);
  EXPECT_EQ(look(CaptionButtonId::Close).State, ButtonState::ButtonNormal);
  EXPECT_EQ(look(CaptionButtonId::Maximise).State, ButtonState::ButtonHover);
  QTest::mouseMove(&window, QPoint(200, 150));  // into the body: the strip is left
  EXPECT_EQ(mouse().hotButton(), std::nullopt);
  EXPECT_EQ(look(CaptionButtonId::Maximise).State, ButtonState::ButtonNormal);
  EXPECT_TRUE(IsTimerSet(hwnd, 0));
}

TEST_F(SkinWindow, LeavingTheWindowFromTheStripResetsTheButtons) {
  skin();
  QTest::mouseMove(&window, QPoint(375, 10));
  EXPECT_TRUE(ui().messages().leaveTracking());
  QTest::mouseMove(&window, QPoint(600, 10));  // off the window
  EXPECT_FALSE(ui().messages().leaveTracking());
  EXPECT_EQ(mouse().hoverArea(), Area::AreaNone);
  EXPECT_EQ(mouse().hotButton(), std::nullopt);
}

TEST_F(SkinWindow, DoubleClickOnTheCaptionMaximisesAndRestores) {
  skin();
  const QRect normal = window.geometry();
  QTest::mouseDClick(&window, Qt::LeftButton, {}, QPoint(100, 15));
  EXPECT_TRUE(window.isMaximized());
  QTest::qWait(20);
  QTest::mouseDClick(&window, Qt::LeftButton, {}, QPoint(100, 15));
  EXPECT_FALSE(window.isMaximized());
  EXPECT_TRUE(QTest::qWaitFor([&] { return window.geometry() == normal; }));
  QTest::mouseDClick(&window, Qt::LeftButton, {}, QPoint(340, 10));
  EXPECT_FALSE(window.isMaximized()) << "not on the buttons";
}

TEST_F(SkinWindow, TheCaptionMovesTheWindow) {
  skin();
  const QPoint origin = window.pos();
  drag(QPoint(100, 15), QPoint(30, 10));
  EXPECT_EQ(window.pos(), origin + QPoint(30, 10));
  EXPECT_EQ(window.size(), QSize(400, 300));
}

// The press alone hands nothing over, so that a second click still reaches
// the caption; once the pointer has left the drag distance the window
// catches up with it from the press.
TEST_F(SkinWindow, TheCaptionMovesOnlyOnceDraggedAndThenFromThePress) {
  skin();
  const QPoint origin = window.geometry().topLeft();
  const int distance = GetSystemMetrics(SM_CXDRAG);
  ASSERT_GT(distance, 1);
  QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(100, 15));
  QTest::mouseMove(&window, QPoint(100 + distance - 1, 15));
  EXPECT_EQ(window.geometry().topLeft(), origin) << "within the drag distance";
  QTest::mouseMove(&window, QPoint(100 + distance + 20, 25));
  EXPECT_EQ(window.geometry().topLeft(), origin + QPoint(distance + 20, 10));
  QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(100 + distance + 20, 25));

  QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(100, 15));
  QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(100, 15));
  QTest::mouseMove(&window, QPoint(100 + 3 * distance, 15));
  EXPECT_EQ(window.geometry().topLeft(), origin + QPoint(distance + 20, 10))
      << "the button came up: no move";
}

// A size change lays the frame out again, and neither raises the window nor
// takes the focus from the window that has it.
TEST_F(SkinWindow, ASizeChangeLeavesTheFocusWhereItIs) {
  skin();
  QWidget other;
  other.resize(100, 100);
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  window.resize(420, 320);
  QCoreApplication::processEvents();
  EXPECT_EQ(QApplication::activeWindow(), &other);
  EXPECT_EQ(ui().geometry().clientSize(), QSize(420, 320));
}

// Where the window system refuses its own move the window would follow the
// pointer, and the toolkit would quietly end the maximised state.
TEST_F(SkinWindow, AMaximisedWindowDoesNotMove) {
  skin();
  window.showMaximized();
  QTest::qWait(20);
  const QRect maximised = window.geometry();
  drag(QPoint(100, 15), QPoint(50, 85));
  EXPECT_EQ(window.geometry(), maximised);
  EXPECT_TRUE(window.isMaximized());
  const SkinRect& button = rectOf(ui(), CaptionButtonId::Maximise);
  EXPECT_EQ(pixelAt(frameDC(), button.Left + 14, button.Top + 10), glyphColour(1, 0))
      << "the restore glyph stays";
}

TEST_F(SkinWindow, EdgesResizeBesideTheBodyOnlyOutsideIt) {
  const struct {
    QPoint press;
    bool resizes;
  } cases[] = {
      {{1, 100}, true},   // the left zone beside the body
      {{2, 100}, false},  // the body
      {{2, 20}, true},    // the left zone above the body
      {{3, 20}, false},   // neither zone nor caption
  };
  skin();
  for (const auto& c : cases) {
    const QRect before = window.geometry();
    drag(c.press, QPoint(-10, 0));
    const QRect after = window.geometry();
    EXPECT_EQ(after.width() == before.width() + 10 && after.right() == before.right(), c.resizes)
        << c.press.x() << "," << c.press.y();
    window.setGeometry(before);
  }
}

TEST_F(SkinWindow, TheEdgesShowResizePointersOnlyWhenTheWindowCanBeResized) {
  skin();
  QTest::mouseMove(&window, QPoint(1, 100));
  EXPECT_EQ(ShownPointer(window), Qt::SizeHorCursor);
  QTest::mouseMove(&window, QPoint(399, 299));
  EXPECT_EQ(ShownPointer(window), Qt::SizeFDiagCursor);
  QTest::mouseMove(&window, QPoint(100, 15));
  EXPECT_EQ(ShownPointer(window), Qt::ArrowCursor);

  window.showMaximized();
  QTest::qWait(20);
  QTest::mouseMove(&window, QPoint(1, 100));
  EXPECT_EQ(ShownPointer(window), Qt::ArrowCursor);
  const QRect maximised = window.geometry();
  drag(QPoint(1, 100), QPoint(-10, 0));
  EXPECT_EQ(window.geometry(), maximised);
}

TEST(SkinFixedWindow, AWindowWithoutSizingFrameHasNoGrips) {
  SkinFolder folder;
  folder.writeSkin("[Main]\r\n" + kTestCmdKeys);
  QWidget window;
  window.setFixedSize(400, 300);
  window.show();
  VBDirectUI ui;
  ui.Skin(folder.name(), WindowHandle(&window));
  QTest::mouseMove(&window, QPoint(1, 100));
  EXPECT_EQ(ShownPointer(window), Qt::ArrowCursor);
  const QRect before = window.geometry();
  QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(1, 100));
  QTest::mouseMove(&window, QPoint(-9, 100));
  QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(-9, 100));
  EXPECT_EQ(window.geometry(), before);
}

TEST_F(SkinWindow, TheIconOpensTheSystemMenuWithoutAnIconTheCaptionDrags) {
  QPixmap icon(16, 16);
  icon.fill(Qt::red);
  window.setWindowIcon(QIcon(icon));
  skin();
  MenuRecorder menu(0);
  const QPoint origin = window.pos();
  drag(QPoint(10, 15), QPoint(30, 0));
  EXPECT_EQ(menu.shown.size(), 1u);
  EXPECT_EQ(window.pos(), origin);

  window.setWindowIcon(QIcon());
  repaint();
  drag(QPoint(10, 15), QPoint(30, 0));
  EXPECT_EQ(menu.shown.size(), 1u);
  EXPECT_EQ(window.pos(), origin + QPoint(30, 0));
}

TEST_F(SkinWindow, ARightClickOnTheCaptionOpensTheSystemMenuAtThePointer) {
  skin();
  MenuRecorder menu(SC_MAXIMIZE);
  QTest::mouseMove(&window, QPoint(100, 15));
  QTest::mouseClick(&window, Qt::RightButton, {}, QPoint(100, 15));
  ASSERT_EQ(menu.shown.size(), 1u);
  EXPECT_EQ(menu.shown[0], QCursor::pos());
  EXPECT_TRUE(window.isMaximized()) << "the chosen command is carried out";
  EXPECT_EQ(menu.offered(), QStringList({"还原", "移动", "大小", "最小化", "最大化", "", "关闭"}));
  // Nothing here would follow the keys after 移动 or 大小: no silent no-op.
  EXPECT_FALSE(menu.lastItems[1].enabled);
  EXPECT_FALSE(menu.lastItems[2].enabled);
}

// While maximised, any click on the top band outside the caption opens the
// system menu; on a normal window that band is frame and edge.
TEST_F(SkinWindow, AMaximisedWindowsTopBandOpensTheSystemMenu) {
  skin();
  MenuRecorder menu(0);
  QTest::mouseClick(&window, Qt::RightButton, {}, QPoint(100, 30));  // below the caption
  EXPECT_TRUE(menu.shown.empty());
  window.showMaximized();
  QTest::qWait(20);
  QTest::mouseClick(&window, Qt::RightButton, {}, QPoint(100, 30));
  QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(1, 10));    // left of the caption
  QTest::mouseClick(&window, Qt::MiddleButton, {}, QPoint(1, 31));  // beside the body
  EXPECT_EQ(menu.shown.size(), 3u);
  QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(100, 32));  // the body
  EXPECT_EQ(menu.shown.size(), 3u);
}

// After a click the button shows its normal look while the pointer stays on
// it; it lights up again only when the pointer comes back from another one.
TEST_F(SkinWindow, AClickedButtonLooksNormalUntilThePointerReturns) {
  skin();
  const QPoint help(285, 10), minimise(314, 10);
  QTest::mouseMove(&window, help);
  QTest::mouseClick(&window, Qt::LeftButton, {}, help);
  QTest::mouseMove(&window, help + QPoint(3, 2));
  while (TickTimers()) {
  }
  EXPECT_EQ(look(CaptionButtonId::Help).State, ButtonState::ButtonNormal);
  EXPECT_EQ(pixelAt(frameDC(), help.x(), help.y()), glyphColour(4, 0));
  QTest::mouseMove(&window, minimise);
  QTest::mouseMove(&window, help);
  while (TickTimers()) {
  }
  EXPECT_EQ(pixelAt(frameDC(), help.x(), help.y()), glyphColour(4, 1));
}

TEST_F(SkinWindow, ADismissedSystemMenuChangesNothing) {
  skin();
  MenuRecorder menu(0);
  QTest::mouseClick(&window, Qt::RightButton, {}, QPoint(100, 15));
  EXPECT_EQ(menu.shown.size(), 1u);
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.windowState(), Qt::WindowNoState);
}

TEST_F(SkinWindow, ChoosingCloseInTheSystemMenuReleasesTheSkin) {
  skin();
  MenuRecorder menu(SC_CLOSE);
  QTest::mouseClick(&window, Qt::RightButton, {}, QPoint(100, 15));
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.skin, nullptr);
}

}  // namespace
