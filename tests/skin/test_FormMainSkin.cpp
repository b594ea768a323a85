// The main window with its skin "QQ2010", as the program runs it, beside the
// sample catalogue and the skin folder the build puts there.
#include "FormMain.h"

#include "Gdi.h"
#include "Shell.h"
#include "ShownPointer.h"
#include "Timer.h"
#include "Window.h"

#include <QTest>

#include <gtest/gtest.h>

using namespace ModAPI;

namespace {

class SkinnedMainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = Shell().openAddressMinimized;
    Shell().openAddressMinimized = [this](const QString& address) { opened.push_back(address); };
    SetManualClock(true);
    ASSERT_TRUE(form.Form_Load(QString()));
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTest::mouseMove(&form, QPoint(300, 250));
  }
  void TearDown() override {
    SetManualClock(false);
    Shell().openAddressMinimized = previous_;
  }

  // The centre of a caption button of "QQ2010" (close 39, the others 28
  // pixels wide, 20 high, 4 pixels in from the right edge).
  QPoint button(int index) const {
    const int closeLeft = form.width() - 4 - 39;
    return index == 0 ? QPoint(closeLeft + 19, 10) : QPoint(closeLeft - 28 * index + 14, 10);
  }

  FormMain form;
  std::vector<QString> opened;

 private:
  std::function<void(const QString&)> previous_;
};

TEST_F(SkinnedMainWindow, TheLoadStepSkinsTheWindow) {
  ASSERT_NE(form.c_DirectUI, nullptr);
  EXPECT_TRUE(form.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_FALSE(form.mask().contains(QPoint(0, 0))) << "rounded corners";
  EXPECT_EQ(form.size(), QSize(600, 500)) << "the skin keeps the design size";
}

TEST_F(SkinnedMainWindow, TheHelpButtonOpensTheHomePageAndNothingElse) {
  QTest::mouseClick(&form, Qt::LeftButton, {}, button(3));
  EXPECT_EQ(opened, std::vector<QString>{VendorHomePage()});
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(form.windowState(), Qt::WindowNoState);
}

TEST_F(SkinnedMainWindow, TheCloseButtonClosesAndTheUnloadStepReleasesTheSkin) {
  const HWND window = WindowHandle(&form);
  QTest::mouseClick(&form, Qt::LeftButton, {}, button(0));
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(form.c_DirectUI, nullptr);
  EXPECT_FALSE(IsTimerSet(window, 0));
  EXPECT_TRUE(opened.empty());
}

TEST_F(SkinnedMainWindow, TheMaximiseButtonIsTheSkinsOwn) {
  QTest::mouseClick(&form, Qt::LeftButton, {}, button(1));
  EXPECT_TRUE(form.isMaximized());
  EXPECT_TRUE(opened.empty());
}

// Driven through the window, so that the pointer enters and leaves the
// controls as it does on a screen.
TEST_F(SkinnedMainWindow, TheResizePointerStaysOnTheEdges) {
  QWindow* window = form.windowHandle();
  const QPoint rightEdge(form.width() - 1, 200);
  const QPoint barePanel = form.BG->mapTo(&form, QPoint(2, form.BG->height() - 2));
  QTest::mouseMove(window, rightEdge);
  EXPECT_EQ(ShownPointer(form), Qt::SizeHorCursor);
  QTest::mouseMove(window, barePanel);
  EXPECT_EQ(ShownPointer(form), Qt::ArrowCursor) << "the panel shows its own pointer";
  QTest::mouseMove(window, rightEdge);
  EXPECT_EQ(ShownPointer(form), Qt::SizeHorCursor);
  QTest::mouseMove(window, form.SStext->mapTo(&form, QPoint(5, 5)));
  EXPECT_EQ(ShownPointer(form), Qt::IBeamCursor) << "the number box shows its own pointer";
}

}  // namespace
