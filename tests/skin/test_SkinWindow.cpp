// The skinned window under the pointer, driven with QTest input on the
// offscreen platform: caption buttons, ControlButtonClick, moving, resizing,
// maximising and the system menu.
#include "SkinnedWindow.h"

#include "Gdi.h"
#include "Messages.h"
#include "ShownPointer.h"
#include "SystemMenu.h"
#include "Timer.h"
#include "Window.h"

#include <QTest>

using namespace ModAPI;

namespace {

// Replaces the system menu with one that records where it opened and
// answers `command`.
class MenuRecorder {
 public:
  explicit MenuRecorder(quint32 command) : previous_(PopupMenuSource()) {
    PopupMenuSource() = [this, command](const std::vector<MenuItem>& items, int x, int y, HWND) {
      shown.push_back({x, y});
      lastItems = items;
      return command;
    };
  }
  ~MenuRecorder() { PopupMenuSource() = previous_; }

  std::vector<QPoint> shown;
  std::vector<MenuItem> lastItems;

 private:
  PopupMenu previous_;
};

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
  EXPECT_EQ(probe().buttons()[0].State, VBDirectUI::ButtonPressed);
  EXPECT_EQ(probe().pressedButton(), 0);
}

TEST_F(SkinWindow, ReleasingOffTheButtonClicksNothing) {
  skin();
  drag(QPoint(375, 10), QPoint(-175, 90));
  EXPECT_TRUE(window.clicks.empty());
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(probe().buttons()[0].State, VBDirectUI::ButtonNormal);
  EXPECT_EQ(probe().pressedButton(), -1);
  while (TickTimers()) {
  }
  EXPECT_EQ(PixelAt(probe().frameDC(), 375, 10), GlyphColour(0, 0));
}

TEST_F(SkinWindow, ARightClickOnAButtonDoesNothing) {
  skin();
  QTest::mouseClick(&window, Qt::RightButton, {}, QPoint(375, 10));
  QTest::mouseClick(&window, Qt::RightButton, {}, QPoint(340, 10));
  EXPECT_TRUE(window.clicks.empty());
  EXPECT_TRUE(window.isVisible());
  EXPECT_FALSE(window.isMaximized());
  EXPECT_EQ(probe().pressedButton(), -1);
  EXPECT_EQ(probe().pressedArea(), VBDirectUI::AreaNone);
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
  const int close = probe().buttons()[0].Rect.Left;
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
  EXPECT_EQ(probe().hotButton(), 0);
  QTest::mouseMove(&window, QPoint(340, 10));
  EXPECT_EQ(probe().hotButton(), 1);
  EXPECT_EQ(probe().buttons()[0].State, VBDirectUI::ButtonNormal);
  EXPECT_EQ(probe().buttons()[1].State, VBDirectUI::ButtonHover);
  QTest::mouseMove(&window, QPoint(200, 150));  // into the body: the strip is left
  EXPECT_EQ(probe().hotButton(), -1);
  EXPECT_EQ(probe().buttons()[1].State, VBDirectUI::ButtonNormal);
  EXPECT_TRUE(IsTimerSet(hwnd, 0));
}

TEST_F(SkinWindow, LeavingTheWindowFromTheStripResetsTheButtons) {
  skin();
  QTest::mouseMove(&window, QPoint(375, 10));
  EXPECT_TRUE(probe().leaveTracking());
  QTest::mouseMove(&window, QPoint(600, 10));  // off the window
  EXPECT_FALSE(probe().leaveTracking());
  EXPECT_EQ(probe().hoverArea(), VBDirectUI::AreaNone);
  EXPECT_EQ(probe().hotButton(), -1);
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
  const SkinRect& button = probe().buttons()[1].Rect;
  EXPECT_EQ(PixelAt(probe().frameDC(), button.Left + 14, button.Top + 10), GlyphColour(1, 0))
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
  probe().paintFrame();
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
  QStringList texts;
  for (const MenuItem& item : menu.lastItems) texts << item.text;
  EXPECT_EQ(texts, QStringList({"还原", "移动", "大小", "最小化", "最大化", "", "关闭"}));
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
  QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(1, 10));  // left of the caption
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
  EXPECT_EQ(probe().buttons()[3].State, VBDirectUI::ButtonNormal);
  EXPECT_EQ(PixelAt(probe().frameDC(), help.x(), help.y()), GlyphColour(4, 0));
  QTest::mouseMove(&window, minimise);
  QTest::mouseMove(&window, help);
  while (TickTimers()) {
  }
  EXPECT_EQ(PixelAt(probe().frameDC(), help.x(), help.y()), GlyphColour(4, 1));
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
