// The platform's message hook on real widgets: subscriptions, the before and
// after contract, leave tracking, timers, and the pointer's drag geometry.
#include "Subclass.h"

#include "SystemMove.h"
#include "Timer.h"
#include "Window.h"

#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

using namespace ModAPI;

namespace {

// Records what it is offered; swallows what it is told to.
class Recorder : public SubclassHandler {
 public:
  struct Seen {
    bool before;
    quint32 msg;
    quint32 wParam;
    qint32 lParam;
    qint32 lReturn;
  };
  void zSubclass_Proc(bool bBefore, bool& bHandled, qint32& lReturn, HWND&, quint32& uMsg,
                      quint32& wParam, qint32& lParam) override {
    seen.push_back({bBefore, uMsg, wParam, lParam, lReturn});
    if (bBefore && swallow) {
      bHandled = true;
      lReturn = 42;
    }
  }
  std::vector<Seen> seen;
  bool swallow = false;
};

// Counts what reaches the widget's own handlers.
class Target : public QWidget {
 public:
  int presses = 0;
  int resizes = 0;

 protected:
  void mousePressEvent(QMouseEvent*) override { ++presses; }
  void resizeEvent(QResizeEvent*) override { ++resizes; }
};

// A shown widget hooked in the first record of its table.
class Subclass : public ::testing::Test {
 protected:
  void SetUp() override {
    widget.resize(100, 80);
    widget.show();
    window = WindowHandle(&widget);
    ASSERT_EQ(AttachSubclass(table, window, handler), 0);
  }
  void TearDown() override { DetachAllSubclasses(table); }

  Target widget;
  Recorder handler;
  SubclassTable table{1};
  HWND window;
};

TEST_F(Subclass, SubscribingTwiceKeepsOneEntry) {
  AddMessage(table, window, WM_SIZE, WhenAfter);
  AddMessage(table, window, WM_SIZE, WhenAfter);
  AddMessage(table, window, WM_PAINT, WhenBefore | WhenAfter);
  EXPECT_EQ(table[0].afterCount, 2);
  EXPECT_EQ(table[0].afterList, (std::vector<quint32>{WM_SIZE, WM_PAINT}));
  EXPECT_EQ(table[0].beforeList, (std::vector<quint32>{WM_PAINT}));
  AddMessage(table, window, AllMessages, WhenBefore);
  EXPECT_EQ(table[0].beforeCount, AllMessages);
  EXPECT_EQ(AttachSubclass(table, window, handler), -1) << "one hook per window";
  DetachAllSubclasses(table);
  EXPECT_FALSE(table[0].window);
  EXPECT_EQ(table[0].afterCount, 0);
}

TEST_F(Subclass, BeforeMaySwallowAndAfterSeesTheOwnResult) {
  AddMessage(table, window, WM_LBUTTONDOWN, WhenBefore);
  AddMessage(table, window, WM_SIZE, WhenAfter);

  QTest::mousePress(&widget, Qt::LeftButton, Qt::ShiftModifier, QPoint(7, 9));
  EXPECT_EQ(widget.presses, 1) << "not handled: the widget's own handling runs";
  ASSERT_FALSE(handler.seen.empty());
  const Recorder::Seen press = handler.seen.back();
  EXPECT_TRUE(press.before);
  EXPECT_EQ(press.msg, WM_LBUTTONDOWN);
  EXPECT_EQ(press.wParam, MK_LBUTTON | MK_SHIFT);
  EXPECT_EQ(press.lParam, MAKELPARAM(7, 9));
  QTest::mouseRelease(&widget, Qt::LeftButton, {}, QPoint(7, 9));

  handler.swallow = true;
  QTest::mousePress(&widget, Qt::LeftButton, {}, QPoint(7, 9));
  EXPECT_EQ(widget.presses, 1) << "handled before: the widget never sees it";
  QTest::mouseRelease(&widget, Qt::LeftButton, {}, QPoint(7, 9));

  const int resizes = widget.resizes;
  widget.resize(120, 90);
  EXPECT_EQ(widget.resizes, resizes + 1);
  const Recorder::Seen size = handler.seen.back();
  EXPECT_FALSE(size.before);
  EXPECT_EQ(size.msg, WM_SIZE);
  EXPECT_EQ(size.lParam, MAKELPARAM(120, 90));

  // A sent message runs the same way: swallowed before, with the answer.
  EXPECT_EQ(SendMessageA(window, WM_LBUTTONDOWN, 0, 0), 42);
  DetachSubclass(table, window);
  const size_t seen = handler.seen.size();
  QTest::mouseClick(&widget, Qt::LeftButton, {}, QPoint(7, 9));
  EXPECT_EQ(handler.seen.size(), seen);
  EXPECT_EQ(widget.presses, 2);
}

TEST_F(Subclass, OneLeaveMessagePerRequest) {
  AddMessage(table, window, WM_MOUSELEAVE, WhenAfter);
  const auto leaves = [&] {
    return std::count_if(handler.seen.begin(), handler.seen.end(),
                         [](const Recorder::Seen& s) { return s.msg == WM_MOUSELEAVE; });
  };
  QTest::mouseMove(&widget, QPoint(10, 10));
  QTest::mouseMove(&widget, QPoint(300, 10));
  EXPECT_EQ(leaves(), 0) << "nobody asked";
  TRACKMOUSEEVENT track;
  track.dwFlags = TME_LEAVE;
  track.hwndTrack = window;
  QTest::mouseMove(&widget, QPoint(10, 10));
  EXPECT_EQ(_TrackMouseEvent(&track), 1);
  QTest::mouseMove(&widget, QPoint(300, 10));
  QTest::mouseMove(&widget, QPoint(10, 10));
  QTest::mouseMove(&widget, QPoint(300, 10));
  EXPECT_EQ(leaves(), 1);
}

TEST_F(Subclass, TimersFireThroughTheHookUntilKilled) {
  AddMessage(table, window, WM_TIMER, WhenAfter);
  SetManualClock(true);
  SetTimer(window, 3, 15, nullptr);
  SetTimer(window, 3, 15, nullptr);
  EXPECT_EQ(TickTimers(), 1) << "setting it again only restarts it";
  EXPECT_EQ(handler.seen.back().msg, WM_TIMER);
  EXPECT_EQ(handler.seen.back().wParam, 3u);
  EXPECT_EQ(KillTimer(window, 3), 1);
  EXPECT_EQ(TickTimers(), 0);
  EXPECT_EQ(KillTimer(window, 3), 0);
  SetManualClock(false);

  SetTimer(window, 4, 1, nullptr);
  EXPECT_TRUE(QTest::qWaitFor([&] { return handler.seen.back().wParam == 4; }));
  KillTimer(window, 4);
}

TEST(SystemMove, DraggingKeepsTheSizeWithinTheLimits) {
  const QRect start(100, 100, 400, 300);
  const QSize least(200, 100);
  const QSize most(600, 500);
  const struct {
    Qt::Edges edges;
    QPoint delta;
    QRect expected;
  } cases[] = {
      {{}, {30, -20}, {130, 80, 400, 300}},
      {Qt::LeftEdge, {-10, 5}, {90, 100, 410, 300}},
      {Qt::LeftEdge, {350, 0}, {300, 100, 200, 300}},   // no narrower than `least`
      {Qt::RightEdge, {500, 0}, {100, 100, 600, 300}},  // no wider than `most`
      {Qt::TopEdge | Qt::LeftEdge, {-5, -7}, {95, 93, 405, 307}},
      {Qt::BottomEdge | Qt::RightEdge, {-300, -250}, {100, 100, 200, 100}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DraggedRect(start, c.edges, c.delta, least, most), c.expected)
        << int(c.edges) << " " << c.delta.x() << "," << c.delta.y();
  }
}

}  // namespace
