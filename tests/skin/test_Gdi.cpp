// The platform's surfaces: ownership of bitmaps, copies, blends, text and pictures.
#include "Gdi.h"

#include "SkinFolder.h"
#include "Window.h"

#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace ModAPI;

namespace {

constexpr quint32 kRed = 0x0000FF;
constexpr quint32 kBlue = 0xFF0000;
constexpr quint32 kWhite = 0xFFFFFF;

HDC plainSurface(int width, int height, QColor colour, QTemporaryDir& dir) {
  const QString path = dir.filePath("fill.bmp");
  plainPicture(width, height, colour).save(path, "BMP");
  const HDC dc = CreateCompatibleDC({});
  DeleteObject(SelectObject(dc, LoadPicture(path)));
  return dc;
}

// A 2 x 1 picture: red, then blue.
HDC redBlueStrip(QTemporaryDir& dir) {
  QImage strip(2, 1, QImage::Format_RGB32);
  strip.setPixelColor(0, 0, Qt::red);
  strip.setPixelColor(1, 0, Qt::blue);
  strip.save(dir.filePath("strip.bmp"));
  const HDC dc = CreateCompatibleDC({});
  DeleteObject(SelectObject(dc, LoadPicture(dir.filePath("strip.bmp"))));
  return dc;
}

void freeSurface(HDC dc) {
  const HBITMAP bitmap = GetCurrentBitmap(dc);
  DeleteDC(dc);
  DeleteObject(bitmap);
}

TEST(Gdi, ABitmapLivesWhileSelectedAndDiesWithItsOwner) {
  const GdiObjectCounts before = LiveGdiObjects();
  const HDC screen = CreateDCA("DISPLAY", "", "", nullptr);
  const HDC dc = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, 3, 2);
  ASSERT_TRUE(screen && dc && bitmap);
  EXPECT_FALSE(CreateDCA("PRINTER", "", "", nullptr));
  EXPECT_FALSE(CreateCompatibleBitmap(screen, 0, 5));

  const HBITMAP stock = SelectObject(dc, bitmap);
  EXPECT_TRUE(stock);
  EXPECT_EQ(DeleteObject(bitmap), 0) << "selected bitmaps stay";
  EXPECT_EQ(GetPixel(dc, 2, 1), 0u) << "new bitmaps are black";
  EXPECT_EQ(GetPixel(dc, 3, 1), CLR_INVALID);
  BITMAP info;
  ASSERT_NE(GetObjectA(bitmap, &info), 0);
  EXPECT_EQ(info.bmWidth, 3);
  EXPECT_EQ(info.bmHeight, 2);

  EXPECT_NE(DeleteObject(stock), 0) << "the stock bitmap is never freed";
  EXPECT_NE(DeleteDC(dc), 0);
  EXPECT_NE(DeleteObject(bitmap), 0);
  EXPECT_NE(DeleteDC(screen), 0);
  EXPECT_EQ(GetObjectA(bitmap, &info), 0);
  EXPECT_EQ(LiveGdiObjects().deviceContexts, before.deviceContexts);
  EXPECT_EQ(LiveGdiObjects().bitmaps, before.bitmaps);
}

TEST(Gdi, StretchBltScalesAndMirrors) {
  QTemporaryDir dir;
  const HDC target = plainSurface(4, 1, Qt::black, dir);
  const HDC source = redBlueStrip(dir);

  ASSERT_NE(StretchBlt(target, 0, 0, 4, 1, source, 0, 0, 2, 1, SRCCOPY), 0);
  EXPECT_EQ(GetPixel(target, 1, 0), kRed);
  EXPECT_EQ(GetPixel(target, 2, 0), kBlue);
  // A negative width draws leftwards from x, mirrored.
  ASSERT_NE(StretchBlt(target, 4, 0, -4, 1, source, 0, 0, 2, 1, SRCCOPY), 0);
  EXPECT_EQ(GetPixel(target, 0, 0), kBlue);
  EXPECT_EQ(GetPixel(target, 3, 0), kRed);
  EXPECT_EQ(BitBlt(target, 0, 0, 1, 1, HDC{}, 0, 0, SRCCOPY), 0);
  freeSurface(source);
  freeSurface(target);
}

// A source rectangle that leaves its bitmap copies only what lies on the
// bitmap, to the part of the destination it maps to, and leaves the rest of
// the destination alone. However large the rectangle, nothing of its size is
// allocated (a skin asking for 20000 pixels must not cost gigabytes).
TEST(Gdi, CopiesClipTheSourceToItsBitmapFirst) {
  QTemporaryDir dir;
  const HDC source = redBlueStrip(dir);
  const HDC target = plainSurface(8, 2, Qt::white, dir);
  const auto row = [&](int y) {
    std::vector<quint32> pixels;
    for (int x = 0; x < 8; ++x) pixels.push_back(GetPixel(target, x, y));
    return pixels;
  };
  using Row = std::vector<quint32>;

  // Source columns -2..1 onto 8 pixels: the bitmap's two columns land on 4..7.
  ASSERT_NE(StretchBlt(target, 0, 0, 8, 1, source, -2, 0, 4, 1, SRCCOPY), 0);
  EXPECT_EQ(row(0), (Row{kWhite, kWhite, kWhite, kWhite, kRed, kRed, kBlue, kBlue}));
  // Mirrored, the same columns land on 0..3, blue first.
  ASSERT_NE(StretchBlt(target, 8, 1, -8, 1, source, -2, 0, 4, 1, SRCCOPY), 0);
  EXPECT_EQ(row(1), (Row{kBlue, kBlue, kRed, kRed, kWhite, kWhite, kWhite, kWhite}));

  const HDC wide = plainSurface(8, 2, Qt::white, dir);
  ASSERT_NE(BitBlt(wide, 0, 0, 20000, 20000, source, 0, 0, SRCCOPY), 0);
  EXPECT_EQ(GetPixel(wide, 1, 0), kBlue);
  EXPECT_EQ(GetPixel(wide, 2, 0), kWhite);
  EXPECT_EQ(GetPixel(wide, 0, 1), kWhite);
  ASSERT_NE(StretchBlt(wide, 0, 0, 8, 2, source, -(1 << 30), -(1 << 30), 1 << 30, 1 << 30, SRCCOPY),
            0)
      << "a source rectangle wholly off the bitmap draws nothing";
  EXPECT_EQ(GetPixel(wide, 0, 0), kRed);
  freeSurface(wide);
  freeSurface(target);
  freeSurface(source);
}

// The copy of what a window shows, made when something is drawn on it from
// outside its paint event, goes with the window.
TEST(Gdi, AWindowsScreenCopyGoesWithTheWindow) {
  QTemporaryDir dir;
  const HDC picture = plainSurface(4, 4, Qt::red, dir);
  const int before = LiveGdiObjects().windowScreens;
  for (int round = 0; round < 3; ++round) {
    auto widget = std::make_unique<QWidget>();
    widget->resize(600, 500);
    const HWND window = WindowHandle(widget.get());
    const HDC dc = GetDC(window);
    ASSERT_NE(BitBlt(dc, 0, 0, 4, 4, picture, 0, 0, SRCCOPY), 0);
    ReleaseDC(window, dc);
    EXPECT_EQ(LiveGdiObjects().windowScreens, before + 1);
    widget.reset();
    EXPECT_EQ(LiveGdiObjects().windowScreens, before);
  }
  freeSurface(picture);
}

TEST(Gdi, AlphaBlendUsesTheConstantAlpha) {
  QTemporaryDir dir;
  const HDC target = plainSurface(2, 2, Qt::black, dir);
  const HDC source = plainSurface(2, 2, Qt::white, dir);
  ASSERT_NE(AlphaBlend(target, 0, 0, 1, 1, source, 0, 0, 2, 2, 128 << 16), 0);
  const quint32 grey = GetPixel(target, 0, 0);
  EXPECT_NEAR(int(grey & 0xFF), 128, 1);
  EXPECT_EQ(GetPixel(target, 1, 1), 0u);
  EXPECT_EQ(AlphaBlend(target, 0, 0, 1, 1, source, 1, 1, 2, 2, 255 << 16), 0)
      << "source rectangle leaves the bitmap";
  EXPECT_EQ(AlphaBlend(target, 0, 0, -1, 1, source, 0, 0, 1, 1, 255 << 16), 0);
  freeSurface(source);
  freeSurface(target);
}

TEST(Gdi, LoadPictureReadsBitmapsAndJpegsByContent) {
  QTemporaryDir dir;
  plainPicture(5, 4, Qt::red).save(dir.filePath("a.bmp"), "BMP");
  plainPicture(6, 3, Qt::white).save(dir.filePath("picture.dat"), "JPEG");
  for (const auto& [file, width] : {std::pair{"a.bmp", 5}, std::pair{"picture.dat", 6}}) {
    const HBITMAP bitmap = LoadPicture(dir.filePath(file));
    BITMAP info;
    ASSERT_NE(GetObjectA(bitmap, &info), 0) << file;
    EXPECT_EQ(info.bmWidth, width);
    DeleteObject(bitmap);
  }
  EXPECT_FALSE(LoadPicture(dir.filePath("missing.bmp")));
  EXPECT_FALSE(LoadPicture(dir.path()));
}

TEST(Gdi, DrawTextPaintsInTheTextColourInsideTheRectangle) {
  QTemporaryDir dir;
  const HDC dc = plainSurface(120, 40, Qt::black, dir);
  SetBkMode(dc, TRANSPARENT);
  EXPECT_EQ(SetTextColor(dc, kWhite), 0u);
  RECT rect{10, 5, 110, 35};
  const int height = DrawTextA(dc, "WWWW", -1, &rect, DT_SINGLELINE);
  EXPECT_GT(height, 5);
  int lit = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 120; ++x) {
      const bool inside = x >= 10 && x < 110 && y >= 5 && y < 35;
      if (GetPixel(dc, x, y) != 0) {
        EXPECT_TRUE(inside) << x << "," << y;
        ++lit;
      }
    }
  }
  EXPECT_GT(lit, 0);
  freeSurface(dc);
}

}  // namespace
