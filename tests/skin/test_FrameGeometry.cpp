// The pure geometry: caption buttons from the "Cmd" keys, their defaults, the
// resize zones, the named areas, hit tests, glyph columns and size limits.
#include "FrameGeometry.h"

#include "SkinParts.h"

#include <gtest/gtest.h>

namespace {

CmdKeys keysWith(double left, qint32 closeWidth = 39, qint32 width = 28) {
  CmdKeys keys;
  keys.CmdHeight = 20;
  keys.CloseWidth = closeWidth;
  keys.CmdTop = 3;
  keys.CmdLeft = left;
  keys.CmdWidth = width;
  return keys;
}

// The geometry of a 400 x 300 client area whose window's outer corner is at
// (100, 50) with a frame of 2 pixels, laid out with close button 39 and the
// others 28 pixels wide, 20 high, 5 pixels in from the right edge.
FrameGeometry laidOut() {
  FrameGeometry geometry;
  geometry.FrameInset = 2;
  SkinRect window;
  mDC::SetSkinRectXYWH(window, 100, 50, 404, 304);
  geometry.place(window, {400, 300});
  CmdKeys keys = keysWith(-5);
  keys.CmdTop = 0;
  geometry.layOut(keys);
  return geometry;
}

TEST(FrameGeometry, TheOtherButtonsPackLeftwards) {
  const auto rects = FrameGeometry::captionButtonRects(keysWith(-5), 400);
  const qint32 lefts[] = {356, 328, 300, 272};
  for (size_t i = 1; i < rects.size(); ++i) {
    EXPECT_EQ(rects[i].Left, lefts[i]) << i;
    EXPECT_EQ(rects[i].Right, lefts[i - 1]) << i;
    EXPECT_EQ(rects[i].Width, 28);
    EXPECT_EQ(rects[i].Top, 3);
    EXPECT_EQ(rects[i].Bottom, rects[0].Bottom);
  }
}

CmdKeyTexts widths(std::optional<qint32> closeWidth, std::optional<qint32> width) {
  CmdKeyTexts read;
  read.CloseWidth = closeWidth;
  read.CmdWidth = width;
  return read;
}

TEST(FrameGeometry, MissingCmdKeysFollowTheSpriteSheet) {
  const struct {
    const char* what;
    CmdKeyTexts read;
    qint32 sheetWidth, sheetHeight;
    qint32 height, closeWidth, width;
  } cases[] = {
      {"nothing read: five equal glyphs", {}, 150, 66, 22, 30, 30},
      {"close width read", widths(38, std::nullopt), 150, 60, 20, 38, 28},
      {"other width read", widths(std::nullopt, 27), 150, 60, 20, 42, 27},
      {"no sheet: the program's own", {}, 0, 0, 20, 30, 30},
      {"all read", {24, 40, 2, -3.0, 30}, 150, 60, 24, 40, 30},
  };
  for (const auto& c : cases) {
    const CmdKeys keys = FrameGeometry::completeCmdKeys(c.read, c.sheetWidth, c.sheetHeight);
    EXPECT_EQ(keys.CmdHeight, c.height) << c.what;
    EXPECT_EQ(keys.CloseWidth, c.closeWidth) << c.what;
    EXPECT_EQ(keys.CmdWidth, c.width) << c.what;
    EXPECT_EQ(keys.CmdTop, c.read.CmdTop.value_or(0)) << c.what;
    EXPECT_EQ(keys.CmdLeft, c.read.CmdLeft.value_or(0)) << c.what;
  }
}

TEST(FrameGeometry, GripZonesLineTheEdges) {
  const auto grips = FrameGeometry::gripZones(300, 200);
  const qint32 expected[8][4] = {
      {0, 0, 4, 8},     {4, 0, 292, 4}, {296, 0, 4, 8},   {0, 8, 2, 184},
      {296, 8, 4, 184}, {0, 192, 4, 8}, {4, 196, 292, 4}, {296, 192, 4, 8},
  };
  for (size_t i = 0; i < grips.size(); ++i) {
    EXPECT_EQ(grips[i].Left, expected[i][0]) << i;
    EXPECT_EQ(grips[i].Top, expected[i][1]) << i;
    EXPECT_EQ(grips[i].Width, expected[i][2]) << i;
    EXPECT_EQ(grips[i].Height, expected[i][3]) << i;
    EXPECT_EQ(grips[i].Right, expected[i][0] + expected[i][2]) << i;
  }
}

// The strip and the body are tested before the frame, so a zone works only
// outside both.
TEST(FrameGeometry, AreasAndZonesUnderThePoint) {
  const FrameGeometry geometry = laidOut();
  constexpr Area S = Area::AreaStrip, B = Area::AreaBody, F = Area::AreaFrame;
  const struct {
    double x, y;
    Area area;
    qint32 grip;
  } cases[] = {
      {1, 100, F, 3},   {2, 100, B, 3},   {2, 20, F, 3},    {3, 20, F, -1},     {399, 100, F, 4},
      {398, 100, B, 4}, {300, 298, F, 6}, {300, 297, B, 6}, {300, 1, F, 1},     {300, 2, S, 1},
      {0, 0, F, 0},     {399, 299, F, 7}, {272, 20, S, -1}, {271.5, 20, F, -1}, {100, 30, F, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(geometry.areaAt(c.x, c.y), c.area) << c.x << "," << c.y;
    EXPECT_EQ(geometry.gripAt(c.x, c.y), c.grip) << c.x << "," << c.y;
  }
  EXPECT_TRUE(geometry.onCaptionIcon(20, 23.5));
  EXPECT_FALSE(geometry.onCaptionIcon(20, 7));
  EXPECT_FALSE(geometry.onCaptionIcon(21, 15));
  EXPECT_TRUE(geometry.inCaptionBar(4, 29));
  EXPECT_FALSE(geometry.inCaptionBar(3, 15));
}

// The named rectangles, for a client area placed inside the window's frame.
TEST(FrameGeometry, TheAreasHaveTheirNamedPlaces) {
  const FrameGeometry geometry = laidOut();
  EXPECT_EQ(QPoint(geometry.ClientLeft, geometry.ClientTop), QPoint(102, 52));
  EXPECT_EQ(geometry.Areas.window.Width, 404) << "in screen pixels, as measured";
  const auto edges = [](const SkinRect& r) { return std::array{r.Left, r.Top, r.Right, r.Bottom}; };
  EXPECT_EQ(edges(geometry.Areas.body), (std::array{2, 31, 398, 297}));
  EXPECT_EQ(edges(geometry.Areas.captionBar), (std::array{4, 2, 396, 29}));
  EXPECT_EQ(edges(geometry.Areas.strip), (std::array{272, 2, 398, 20}));
  EXPECT_EQ(geometry.button(CaptionButtonId::Close).Rect.Left, 356);
  EXPECT_EQ(geometry.button(CaptionButtonId::Help).Rect.Left, 272);
}

// Which caption button a point is on: a shared edge belongs to the button on
// its left, a hidden button has no points, and the gap a hidden button
// leaves is no other button's.
TEST(FrameGeometry, TheButtonUnderThePoint) {
  FrameGeometry geometry = laidOut();
  using enum CaptionButtonId;
  EXPECT_EQ(geometry.buttonAt(375, 10), Close);
  EXPECT_EQ(geometry.buttonAt(356, 10), Maximise) << "the edge shared with the close button";
  EXPECT_EQ(geometry.buttonAt(340, 0), Maximise);
  EXPECT_EQ(geometry.buttonAt(314, 20), Minimise);
  EXPECT_EQ(geometry.buttonAt(272, 10), Help);
  EXPECT_EQ(geometry.buttonAt(271, 10), std::nullopt);
  EXPECT_EQ(geometry.buttonAt(375, 21), std::nullopt);
  EXPECT_EQ(geometry.buttonAt(396, 10), std::nullopt) << "right of the close button";
  geometry.button(Maximise).Visible = false;
  EXPECT_EQ(geometry.buttonAt(340, 10), std::nullopt);
  EXPECT_EQ(geometry.buttonAt(356, 10), Close) << "the edge is the close button's again";
  EXPECT_EQ(geometry.buttonAt(328, 10), Minimise);
}

TEST(FrameGeometry, AMenuOpensBelowItsButtonsLowerLeftCorner) {
  const FrameGeometry geometry = laidOut();
  EXPECT_EQ(geometry.menuPoint(CaptionButtonId::Close), QPoint(356, 20));
  EXPECT_EQ(geometry.menuPoint(CaptionButtonId::Help), QPoint(272, 20));
}

TEST(FrameGeometry, TheEdgeBandKeepsTheResizePointer) {
  const FrameGeometry geometry = laidOut();
  for (const QPoint p : {QPoint(4, 100), QPoint(396, 100), QPoint(200, 296), QPoint(0, 0)})
    EXPECT_TRUE(geometry.inEdgeBand(p.x(), p.y())) << p.x() << "," << p.y();
  for (const QPoint p : {QPoint(5, 100), QPoint(395, 100), QPoint(200, 295), QPoint(200, 0)})
    EXPECT_FALSE(geometry.inEdgeBand(p.x(), p.y())) << p.x() << "," << p.y();
}

TEST(FrameGeometry, GlyphsAreCountedFromTheSheetsRightEdge) {
  using enum CaptionButtonId;
  // close, maximise, minimise, help; the restore glyph while zoomed.
  EXPECT_EQ(FrameGeometry::glyphLeft(Close, false, 151, 39, 28), 112);
  EXPECT_EQ(FrameGeometry::glyphLeft(Maximise, false, 151, 39, 28), 56);
  EXPECT_EQ(FrameGeometry::glyphLeft(Maximise, true, 151, 39, 28), 84);
  EXPECT_EQ(FrameGeometry::glyphLeft(Minimise, true, 151, 39, 28), 28);
  EXPECT_EQ(FrameGeometry::glyphLeft(Help, false, 151, 39, 28), 0);
  // The laid-out buttons give the widths.
  EXPECT_EQ(laidOut().glyphLeft(Maximise, true, 151), 84);
}

TEST(FrameGeometry, SizeLimitsCoverTheWorkAreaWithTheFrameOutside) {
  ModAPI::MINMAXINFO defaults;
  defaults.ptReserved = {7, 9};
  const ModAPI::MINMAXINFO info = FrameGeometry::sizeLimits(defaults, {100, 20, 1100, 720}, 3, 126);
  EXPECT_EQ(info.ptMaxSize, (ModAPI::POINT{1010, 706}));
  EXPECT_EQ(info.ptMaxPosition, (ModAPI::POINT{97, 17}));
  EXPECT_EQ(info.ptMaxTrackSize, info.ptMaxSize);
  EXPECT_EQ(info.ptMinTrackSize, (ModAPI::POINT{182, 42}));
  EXPECT_EQ(info.ptReserved, (ModAPI::POINT{7, 9})) << "the system's fields stay";
  // A laid-out frame gives its inset and the strip's width.
  const ModAPI::MINMAXINFO laid = laidOut().sizeLimits(defaults, {100, 20, 1100, 720});
  EXPECT_EQ(laid.ptMaxSize, (ModAPI::POINT{1008, 704}));
  EXPECT_EQ(laid.ptMinTrackSize, (ModAPI::POINT{182, 42}));
}

// Sizes from a skin file that no picture or screen can show are bounded
// before they reach the layout: no key may make a window or a copy larger
// than the screens.
TEST(FrameGeometry, CmdKeysAreBoundedByTheSheetAndTheDesktop) {
  const struct {
    const char* what;
    CmdKeys in;
    qint32 sheetWidth, sheetHeight;
    CmdKeys out;
  } cases[] = {
      {"a sane skin is left as it is", {20, 39, 0, -4.5, 28}, 151, 60, {20, 39, 0, -4.5, 28}},
      {"sizes beyond the sheet", {20000, 20000, 0, 0, 20000}, 151, 60, {60, 151, 0, 0, 151}},
      {"negative sizes", {-5, -1, 0, 0, -20000}, 151, 60, {0, 0, 0, 0, 0}},
      {"places beyond the desktop",
       {20, 39, 20000, -20000.5, 28},
       151,
       60,
       {20, 39, 1080, -1920, 28}},
      {"places beyond the desktop, other side",
       {20, 39, -20000, 1e9, 28},
       151,
       60,
       {20, 39, -1080, 1920, 28}},
      {"no sheet: the program's own bounds",
       {20000, 20000, 0, 0, 20000},
       0,
       0,
       {FrameGeometry::kSheetHeight, FrameGeometry::kSheetWidth, 0, 0, FrameGeometry::kSheetWidth}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const CmdKeys keys = FrameGeometry::boundCmdKeys(c.in, c.sheetWidth, c.sheetHeight, 1920, 1080);
    EXPECT_EQ(keys.CmdHeight, c.out.CmdHeight);
    EXPECT_EQ(keys.CloseWidth, c.out.CloseWidth);
    EXPECT_EQ(keys.CmdTop, c.out.CmdTop);
    EXPECT_EQ(keys.CmdLeft, c.out.CmdLeft);
    EXPECT_EQ(keys.CmdWidth, c.out.CmdWidth);
  }
}

TEST(FrameGeometry, TheLeastSizeNeverExceedsTheLargest) {
  const ModAPI::MINMAXINFO info = FrameGeometry::sizeLimits({}, {0, 0, 1000, 700}, 0, 60000);
  EXPECT_EQ(info.ptMaxTrackSize, (ModAPI::POINT{1004, 700}));
  EXPECT_EQ(info.ptMinTrackSize, (ModAPI::POINT{1004, 42}));
  const ModAPI::MINMAXINFO tiny = FrameGeometry::sizeLimits({}, {0, 0, 20, 30}, 0, 100);
  EXPECT_EQ(tiny.ptMinTrackSize, (ModAPI::POINT{24, 30}));
}

}  // namespace
