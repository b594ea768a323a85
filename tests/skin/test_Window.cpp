// Windows through the platform's window calls: handles, the style word and
// the frame, outer and client rectangles, and outlines.
#include "Window.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

using namespace ModAPI;

namespace {

TEST(Window, AHandleNamesItsWidgetUntilTheWidgetGoes) {
  auto widget = std::make_unique<QWidget>();
  const HWND handle = WindowHandle(widget.get());
  EXPECT_TRUE(handle);
  EXPECT_EQ(WindowHandle(widget.get()), handle);
  EXPECT_EQ(WindowWidget(handle), widget.get());
  widget.reset();
  EXPECT_EQ(WindowWidget(handle), nullptr);
  RECT rect;
  EXPECT_EQ(GetWindowRect(handle, &rect), 0);
}

TEST(Window, TheStyleFollowsTheWidgetUntilSetAndTheFrameFollowsOnFrameChanged) {
  QWidget widget;
  widget.resize(200, 100);
  widget.show();
  const HWND window = WindowHandle(&widget);
  const quint32 style = quint32(GetWindowLongA(window, GWL_STYLE));
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_NE(style & WS_THICKFRAME, 0u);
  EXPECT_NE(style & WS_VISIBLE, 0u);

  SetWindowLongA(window, GWL_STYLE, qint32(style & ~WS_CAPTION));
  EXPECT_EQ(quint32(GetWindowLongA(window, GWL_STYLE)), style & ~WS_CAPTION);
  EXPECT_FALSE(widget.windowFlags().testFlag(Qt::FramelessWindowHint))
      << "not before the frame changes";
  SetWindowPos(window, {}, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED);
  EXPECT_TRUE(widget.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_TRUE(widget.isVisible());

  QWidget fixed;
  fixed.setFixedSize(50, 50);
  EXPECT_EQ(quint32(GetWindowLongA(WindowHandle(&fixed), GWL_STYLE)) & WS_THICKFRAME, 0u);
}

TEST(Window, SetWindowPosTakesOuterSizes) {
  QWidget widget;
  widget.setWindowFlag(Qt::FramelessWindowHint);
  widget.show();
  const HWND window = WindowHandle(&widget);
  SetWindowPos(window, {}, 30, 40, 300, 200, SWP_NOZORDER);
  RECT outer, client;
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  EXPECT_EQ(outer.right - outer.left, 300);
  EXPECT_EQ(outer.bottom - outer.top, 200);
  EXPECT_EQ(client.right, 300);
  EXPECT_EQ(client.bottom, 200);
  EXPECT_FALSE(IsZoomed(window));
  widget.showMaximized();
  EXPECT_TRUE(IsZoomed(window));
}

TEST(Window, RoundRectOutlineCoversTheBoxLessItsRightColumnAndBottomRow) {
  QWidget widget;
  widget.setWindowFlag(Qt::FramelessWindowHint);
  widget.resize(100, 50);
  widget.show();
  const HWND window = WindowHandle(&widget);

  ASSERT_NE(SetWindowRgn(window, CreateRoundRectRgn(0, 0, 101, 51, 0, 0), true), 0);
  EXPECT_EQ(widget.mask(), QRegion(0, 0, 100, 50)) << "0 x 0 gives square corners";

  ASSERT_NE(SetWindowRgn(window, CreateRoundRectRgn(0, 0, 101, 51, 8, 8), true), 0);
  const QRegion mask = widget.mask();
  const struct {
    int x, y;
    bool inside;
  } points[] = {
      {0, 0, false}, {1, 0, false},  {2, 0, true},     {0, 1, false},   {1, 1, true},
      {0, 2, true},  {97, 0, true},  {98, 0, false},   {99, 2, true},   {99, 49, false},
      {2, 49, true}, {50, 25, true}, {100, 25, false}, {50, 50, false},
  };
  for (const auto& p : points) {
    EXPECT_EQ(mask.contains(QPoint(p.x, p.y)), p.inside) << p.x << "," << p.y;
  }

  SetWindowRgn(window, {}, true);
  EXPECT_TRUE(widget.mask().isEmpty());
  EXPECT_EQ(SetWindowRgn(window, HRGN{12345}, true), 0);
}

}  // namespace
