// The pure geometry: caption buttons from the "Cmd" keys, their defaults, the
// resize zones, hit tests, glyph columns and size limits.
#include "FrameLayout.h"

#include <gtest/gtest.h>

namespace {

CmdKeys Keys(double left, qint32 closeWidth = 39, qint32 width = 28) {
  CmdKeys keys;
  keys.Height = 20;
  keys.CloseWidth = closeWidth;
  keys.Top = 3;
  keys.Left = left;
  keys.Width = width;
  return keys;
}

TEST(FrameLayout, TheOtherButtonsPackLeftwards) {
  const auto rects = FrameLayout::CaptionButtonRects(Keys(-5), 400);
  const qint32 lefts[] = {356, 328, 300, 272};
  for (size_t i = 1; i < rects.size(); ++i) {
    EXPECT_EQ(rects[i].Left, lefts[i]) << i;
    EXPECT_EQ(rects[i].Right, lefts[i - 1]) << i;
    EXPECT_EQ(rects[i].Width, 28);
    EXPECT_EQ(rects[i].Top, 3);
    EXPECT_EQ(rects[i].Bottom, rects[0].Bottom);
  }
}

CmdKeyTexts Widths(std::optional<qint32> closeWidth, std::optional<qint32> width) {
  CmdKeyTexts read;
  read.CloseWidth = closeWidth;
  read.Width = width;
  return read;
}

TEST(FrameLayout, MissingCmdKeysFollowTheSpriteSheet) {
  const struct {
    const char* what;
    CmdKeyTexts read;
    qint32 sheetWidth, sheetHeight;
    qint32 height, closeWidth, width;
  } cases[] = {
      {"nothing read: five equal glyphs", {}, 150, 66, 22, 30, 30},
      {"close width read", Widths(38, std::nullopt), 150, 60, 20, 38, 28},
      {"other width read", Widths(std::nullopt, 27), 150, 60, 20, 42, 27},
      {"no sheet: the program's own", {}, 0, 0, 20, 30, 30},
      {"all read", {24, 40, 2, -3.0, 30}, 150, 60, 24, 40, 30},
  };
  for (const auto& c : cases) {
    const CmdKeys keys = FrameLayout::CompleteCmdKeys(c.read, c.sheetWidth, c.sheetHeight);
    EXPECT_EQ(keys.Height, c.height) << c.what;
    EXPECT_EQ(keys.CloseWidth, c.closeWidth) << c.what;
    EXPECT_EQ(keys.Width, c.width) << c.what;
    EXPECT_EQ(keys.Top, c.read.Top.value_or(0)) << c.what;
    EXPECT_EQ(keys.Left, c.read.Left.value_or(0)) << c.what;
  }
}

TEST(FrameLayout, GripZonesLineTheEdges) {
  const auto grips = FrameLayout::GripZones(300, 200);
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
TEST(FrameLayout, AreasAndZonesUnderThePoint) {
  std::array<SkinRect, 4> areas{};
  mDC::SetSkinRect(areas[1], 2, 31, 398, 297);
  mDC::SetSkinRect(areas[2], 4, 2, 396, 29);
  mDC::SetSkinRect(areas[3], 272, 2, 398, 20);
  const auto grips = FrameLayout::GripZones(400, 300);
  const struct {
    double x, y;
    qint32 area, grip;
  } cases[] = {
      {1, 100, 1, 3},   {2, 100, 2, 3},   {2, 20, 1, 3},    {3, 20, 1, -1},     {399, 100, 1, 4},
      {398, 100, 2, 4}, {300, 298, 1, 6}, {300, 297, 2, 6}, {300, 1, 1, 1},     {300, 2, 3, 1},
      {0, 0, 1, 0},     {399, 299, 1, 7}, {272, 20, 3, -1}, {271.5, 20, 1, -1}, {100, 30, 1, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FrameLayout::AreaAt(areas, c.x, c.y), c.area) << c.x << "," << c.y;
    EXPECT_EQ(FrameLayout::GripAt(grips, c.x, c.y), c.grip) << c.x << "," << c.y;
  }
  EXPECT_TRUE(FrameLayout::OnCaptionIcon(areas[2], 20, 23.5));
  EXPECT_FALSE(FrameLayout::OnCaptionIcon(areas[2], 20, 7));
  EXPECT_FALSE(FrameLayout::OnCaptionIcon(areas[2], 21, 15));
}

TEST(FrameLayout, GlyphsAreCountedFromTheSheetsRightEdge) {
  // close, maximise, minimise, help; the restore glyph while zoomed.
  EXPECT_EQ(FrameLayout::GlyphLeft(0, false, 151, 39, 28), 112);
  EXPECT_EQ(FrameLayout::GlyphLeft(1, false, 151, 39, 28), 56);
  EXPECT_EQ(FrameLayout::GlyphLeft(1, true, 151, 39, 28), 84);
  EXPECT_EQ(FrameLayout::GlyphLeft(2, true, 151, 39, 28), 28);
  EXPECT_EQ(FrameLayout::GlyphLeft(3, false, 151, 39, 28), 0);
}

TEST(FrameLayout, SizeLimitsCoverTheWorkAreaWithTheFrameOutside) {
  ModAPI::MINMAXINFO defaults;
  defaults.ptReserved = {7, 9};
  const ModAPI::MINMAXINFO info = FrameLayout::SizeLimits(defaults, {100, 20, 1100, 720}, 3, 126);
  EXPECT_EQ(info.ptMaxSize, (ModAPI::POINT{1010, 706}));
  EXPECT_EQ(info.ptMaxPosition, (ModAPI::POINT{97, 17}));
  EXPECT_EQ(info.ptMaxTrackSize, info.ptMaxSize);
  EXPECT_EQ(info.ptMinTrackSize, (ModAPI::POINT{182, 42}));
  EXPECT_EQ(info.ptReserved, (ModAPI::POINT{7, 9})) << "the system's fields stay";
}

// Sizes from a skin file that no picture or screen can show are bounded
// before they reach the layout: no key may make a window or a copy larger
// than the screens.
TEST(FrameLayout, CmdKeysAreBoundedByTheSheetAndTheDesktop) {
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
       {FrameLayout::kSheetHeight, FrameLayout::kSheetWidth, 0, 0, FrameLayout::kSheetWidth}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const CmdKeys keys = FrameLayout::BoundCmdKeys(c.in, c.sheetWidth, c.sheetHeight, 1920, 1080);
    EXPECT_EQ(keys.Height, c.out.Height);
    EXPECT_EQ(keys.CloseWidth, c.out.CloseWidth);
    EXPECT_EQ(keys.Top, c.out.Top);
    EXPECT_EQ(keys.Left, c.out.Left);
    EXPECT_EQ(keys.Width, c.out.Width);
  }
}

TEST(FrameLayout, TheLeastSizeNeverExceedsTheLargest) {
  const ModAPI::MINMAXINFO info = FrameLayout::SizeLimits({}, {0, 0, 1000, 700}, 0, 60000);
  EXPECT_EQ(info.ptMaxTrackSize, (ModAPI::POINT{1004, 700}));
  EXPECT_EQ(info.ptMinTrackSize, (ModAPI::POINT{1004, 42}));
  const ModAPI::MINMAXINFO tiny = FrameLayout::SizeLimits({}, {0, 0, 20, 30}, 0, 100);
  EXPECT_EQ(tiny.ptMinTrackSize, (ModAPI::POINT{24, 30}));
}

}  // namespace
