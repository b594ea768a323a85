// The drawing helpers: nine-slice placement on the pixels of a synthetic
// picture, surfaces, text and the rectangle and word helpers.
#include "mDC.h"

#include "Gdi.h"
#include "SkinFolder.h"
#include "Window.h"

#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

using namespace ModAPI;

namespace {

// The band (0..2) of a 10-pixel grid that a coordinate falls into; -1 inside
// a 10-pixel gap starting at `gapAt` (none when negative).
int bandOf(int position, int gapAt) {
  if (gapAt < 0 || position < gapAt) return position / 10;
  return position < gapAt + 10 ? -1 : (position - 10) / 10;
}

// The nine 10 x 10 blocks of a 3 x 3 grid get the colours 0x0000ii, ii = 1..9
// row by row; the gaps are grey.
QImage gridPicture(int width, int height, int columnGapAt = -1, int rowGapAt = -1) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(QColor(128, 128, 128));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int column = bandOf(x, columnGapAt);
      const int row = bandOf(y, rowGapAt);
      if (column >= 0 && row >= 0) image.setPixel(x, y, qRgb(3 * row + column + 1, 0, 0));
    }
  }
  return image;
}

class NineSlice : public ::testing::Test {
 protected:
  HDC picture(const QImage& image) {
    const QString path = dir.filePath("picture.bmp");
    image.save(path, "BMP");
    return mDC::CreatePictureSurface(LoadPicture(path));
  }

  // The block number (1..9) a destination pixel came from.
  static int block(HDC dc, int x, int y) { return int(GetPixel(dc, x, y) & 0xFF); }

  // Draws with every band made of 10-pixel slices.
  void draw(HDC source, int sourceWidth, int sourceHeight, HDC target, int width, int height) {
    const NineSlices tens{10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10};
    ASSERT_NE(
        mDC::DrawNineSlice(source, {sourceWidth, sourceHeight}, target, {width, height}, tens), 0);
  }

  QTemporaryDir dir;
};

TEST_F(NineSlice, EachSliceLandsWhereItBelongs) {
  const GdiObjectCounts before = LiveGdiObjects();
  const HDC source = picture(gridPicture(30, 30));
  const HDC target = mDC::CreateSurface(50, 40);
  draw(source, 30, 30, target, 50, 40);
  const struct {
    int x, y, block;
  } samples[] = {
      {0, 0, 1},   {9, 9, 1},    // top-left corner, 1:1
      {10, 0, 2},  {39, 9, 2},   // top middle, stretched across
      {40, 0, 3},  {49, 9, 3},   // top-right corner
      {0, 10, 4},  {9, 29, 4},   // left edge, stretched down
      {10, 10, 5}, {39, 29, 5},  // centre
      {40, 10, 6}, {49, 29, 6},  // right edge
      {0, 30, 7},  {9, 39, 7},   // bottom-left corner
      {10, 30, 8}, {39, 39, 8},  // bottom middle
      {40, 30, 9}, {49, 39, 9},  // bottom-right corner
  };
  for (const auto& s : samples) EXPECT_EQ(block(target, s.x, s.y), s.block) << s.x << "," << s.y;
  mDC::ReleaseSurface(target);
  mDC::ReleaseSurface(source);
  EXPECT_EQ(LiveGdiObjects().deviceContexts, before.deviceContexts);
  EXPECT_EQ(LiveGdiObjects().bitmaps, before.bitmaps);
}

TEST_F(NineSlice, RightAndBottomCornersComeFromThePicturesEdges) {
  // Ten grey columns after the middle and ten grey rows after the middle band:
  // the key sums (30) fall short of the picture's 40 x 40.
  const HDC source = picture(gridPicture(40, 40, 20, 20));
  const HDC target = mDC::CreateSurface(50, 40);
  draw(source, 40, 40, target, 50, 40);
  EXPECT_EQ(block(target, 45, 5), 3) << "top-right corner from the last ten columns";
  EXPECT_EQ(block(target, 45, 35), 9) << "bottom-right corner from the bottom-right";
  EXPECT_EQ(block(target, 5, 35), 7) << "bottom-left corner from the last ten rows";
  EXPECT_EQ(GetPixel(target, 45, 15), 0x808080u) << "the right edge follows the running sums";
  mDC::ReleaseSurface(target);
  mDC::ReleaseSurface(source);
}

TEST_F(NineSlice, ANarrowWindowLetsTheTopLeftCornerWin) {
  const HDC source = picture(gridPicture(30, 30));
  const HDC target = mDC::CreateSurface(15, 40);
  draw(source, 30, 30, target, 15, 40);
  EXPECT_EQ(block(target, 9, 0), 1);
  EXPECT_EQ(block(target, 10, 0), 3);
  mDC::ReleaseSurface(target);
  mDC::ReleaseSurface(source);
}

TEST_F(NineSlice, NothingReachesTheDestinationWithoutAWorkSurface) {
  const HDC target = mDC::CreateSurface(10, 10);
  const NineSlices ones{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
  EXPECT_EQ(mDC::DrawNineSlice({}, {}, target, {}, ones), 0);
  mDC::ReleaseSurface(target);
}

TEST(mDC, PictureSurfacesOwnTheirPicture) {
  const GdiObjectCounts before = LiveGdiObjects();
  EXPECT_FALSE(mDC::CreatePictureSurface({}));
  EXPECT_EQ(LiveGdiObjects().deviceContexts, before.deviceContexts);

  const HDC screen = CreateDCA("DISPLAY", "", "", nullptr);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, 7, 3);
  DeleteDC(screen);
  const HDC dc = mDC::CreatePictureSurface(bitmap);
  ASSERT_TRUE(dc);
  EXPECT_EQ(GetCurrentBitmap(dc), bitmap);
  EXPECT_EQ(DeleteObject(bitmap), 0) << "dropping the picture leaves the surface's bitmap";
  mDC::ReleaseSurface(dc);
  EXPECT_EQ(LiveGdiObjects().deviceContexts, before.deviceContexts);
  EXPECT_EQ(LiveGdiObjects().bitmaps, before.bitmaps);
  EXPECT_FALSE(mDC::CreateSurface(0, 10));
}

TEST(mDC, DrawTextColoredUsesTheColour) {
  const HDC dc = mDC::CreateSurface(100, 30);
  SetBkMode(dc, TRANSPARENT);
  EXPECT_GT(mDC::DrawTextColored(dc, QStringLiteral("圆通快递 W"), 0, 0, 100, 30, 0x8020, 0x0000FF),
            0);
  bool red = false;
  for (int x = 0; x < 100 && !red; ++x) {
    for (int y = 0; y < 30 && !red; ++y) red = GetPixel(dc, x, y) == 0x0000FFu;
  }
  EXPECT_TRUE(red);
  mDC::ReleaseSurface(dc);
}

TEST(mDC, PointInSkinRectIncludesAllEdges) {
  SkinRect rect;
  EXPECT_EQ(mDC::SetSkinRect(rect, 10, 10, 20, 20), 1);
  const struct {
    double x, y;
    bool inside;
  } points[] = {{10, 10, true}, {20, 20, true},   {20, 10, true},    {21, 15, false},
                {15, 9, false}, {9.5, 15, false}, {20.5, 15, false}, {15, 15, true}};
  for (const auto& p : points) {
    EXPECT_EQ(mDC::PointInSkinRect(rect, p.x, p.y), p.inside) << p.x << "," << p.y;
  }
}

TEST(mDC, RectangleHelpersKeepSizesBesideEdges) {
  SkinRect rect;
  mDC::SetSkinRectXYWH(rect, 4, 0, -8, 4);
  EXPECT_EQ(rect.Right, -4);
  EXPECT_EQ(rect.Width, -8);
  EXPECT_EQ(rect.Bottom, 4);
  mDC::SetSkinRect(rect, 5, 6, 2, 10);
  EXPECT_EQ(rect.Width, -3);
  EXPECT_EQ(rect.Height, 4);
}

TEST(mDC, WindowSkinRectReadsTheOuterRectangle) {
  QWidget widget;
  widget.setWindowFlag(Qt::FramelessWindowHint);
  widget.setGeometry(20, 30, 120, 80);
  widget.show();
  SkinRect rect;
  EXPECT_NE(mDC::WindowSkinRect(WindowHandle(&widget), rect), 0);
  EXPECT_EQ(rect.Width, 120);
  EXPECT_EQ(rect.Height, 80);
  EXPECT_EQ(rect.Right - rect.Left, rect.Width);
  EXPECT_EQ(mDC::WindowSkinRect(HWND{}, rect), 0);
}

TEST(mDC, SignedWords) {
  const struct {
    quint32 value;
    qint32 low, high;
  } cases[] = {
      {0x0000FFFF, -1, 0},      {0xFFFE0000, 0, -2},
      {0xFFFF7FFF, 0x7FFF, -1},  // a low word of 7FFF stays positive
      {0x00050003, 3, 5},       {0x80008000, -32768, -32768},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(mDC::SignedLoWord(qint32(c.value)), c.low) << std::hex << c.value;
    EXPECT_EQ(mDC::SignedHiWord(qint32(c.value)), c.high) << std::hex << c.value;
  }
}

}  // namespace
