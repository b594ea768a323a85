// The pure geometry: caption buttons from the "Cmd" keys, their defaults, and
// the resize zones.
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

}  // namespace
