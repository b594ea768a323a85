// Surfaces, pictures, text and the skinned frame on screens of 1, 1.5 and 2
// pixels to the logical pixel: coordinates stay logical, what is drawn uses
// every pixel, and lines of one logical pixel stay sharp.
#include "Design.h"
#include "Gdi.h"
#include "GdiInternal.h"
#include "GdiScale.h"
#include "Messages.h"
#include "SkinFolder.h"
#include "SkinParts.h"
#include "Subclass.h"
#include "Timer.h"
#include "VBDirectUI.h"
#include "Window.h"
#include "mDC.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace ModAPI;

namespace {

const QColor kWhite(255, 255, 255);
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

struct Density {
  const char* screen;
  qreal ratio;
};
constexpr Density kDensities[] = {{"1x", 1}, {"1.5x", 1.5}, {"2x", 2}};

QScreen* screenNamed(const QString& name) {
  for (QScreen* screen : QGuiApplication::screens()) {
    if (screen->name() == name) return screen;
  }
  ADD_FAILURE() << "no screen " << name.toStdString();
  return QGuiApplication::primaryScreen();
}

void placeOn(QWidget& window, const QString& screen) {
  window.move(screenNamed(screen)->geometry().topLeft() + QPoint(40, 40));
  QCoreApplication::processEvents();
}

// A surface's pixels without their ratio, so that images compare pixel by pixel.
QImage pixelsOf(HDC dc) {
  QImage image = SurfacePixels(dc).convertToFormat(QImage::Format_RGB32);
  image.setDevicePixelRatio(1);
  return image;
}

// `image` with every pixel repeated `times` times each way.
QImage repeatedPixels(const QImage& image, int times) {
  QImage repeated(image.size() * times, QImage::Format_RGB32);
  for (int y = 0; y < repeated.height(); ++y) {
    for (int x = 0; x < repeated.width(); ++x)
      repeated.setPixel(x, y, image.pixel(x / times, y / times));
  }
  return repeated;
}

// Every pixel of `device` that lies wholly inside a logical pixel of `area`
// has that pixel's colour in `logical` (the same drawing at one pixel to the
// logical pixel), exactly.
::testing::AssertionResult sharpOnWholePixels(const QImage& logical, const QImage& device,
                                              qreal ratio, QRect area) {
  const auto wholly = [ratio](int i) {
    return std::pair(int(std::ceil(i * ratio)), int(std::floor((i + 1) * ratio)));
  };
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      const auto [left, right] = wholly(x);
      const auto [top, bottom] = wholly(y);
      for (int dy = top; dy < bottom; ++dy) {
        for (int dx = left; dx < right; ++dx) {
          if (device.pixel(dx, dy) != logical.pixel(x, y)) {
            return ::testing::AssertionFailure()
                   << "logical pixel " << x << "," << y << " is "
                   << QColor(logical.pixel(x, y)).name().toStdString() << ", pixel " << dx << ","
                   << dy << " at " << ratio << " is "
                   << QColor(device.pixel(dx, dy)).name().toStdString();
          }
        }
      }
    }
  }
  return ::testing::AssertionSuccess();
}

// A surface of `width` x `height` for the window, filled white.
HDC whiteSurface(QWidget& window, int width, int height) {
  const HWND hwnd = WindowHandle(&window);
  const HDC windowDC = GetDC(hwnd);
  const HDC dc = mDC::CreateSurface(width, height, windowDC);
  ReleaseDC(hwnd, windowDC);
  QTemporaryDir dir;
  plainPicture(width, height, kWhite).save(dir.filePath("white.bmp"));
  const HDC white = mDC::CreatePictureSurface(LoadPicture(dir.filePath("white.bmp")));
  BitBlt(dc, 0, 0, width, height, white, 0, 0, SRCCOPY);
  mDC::ReleaseSurface(white);
  return dc;
}

TEST(AreaScaling, WholeFactorsRepeatEveryPixel) {
  QImage picture(3, 2, QImage::Format_RGB32);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) picture.setPixel(x, y, qRgb(40 * x, 100 * y, 7 * x + y));
  }
  for (const int times : {2, 3}) {
    const QImage scaled = ScaledByArea(picture, times * kDensitySteps);
    ASSERT_EQ(scaled.size(), picture.size() * times + QSize(1, 1)) << "one more each way";
    EXPECT_EQ(scaled.copy(QRect(QPoint(0, 0), picture.size() * times)),
              repeatedPixels(picture, times));
    EXPECT_EQ(scaled.pixel(scaled.width() - 1, 0), picture.pixel(2, 0)) << "the edge repeats";
  }
}

// Two pixels made three: the middle one straddles both. With half a pixel
// of phase the edge falls between new pixels and nothing is blended.
TEST(AreaScaling, FractionalFactorsBlendOnlyWhereAnEdgeCrossesAPixel) {
  QImage strip(2, 1, QImage::Format_RGB32);
  strip.setPixelColor(0, 0, kRed);
  strip.setPixelColor(1, 0, kBlue);
  const QImage scaled = ScaledByArea(strip, 180);
  EXPECT_EQ(scaled.pixelColor(0, 0), kRed);
  EXPECT_EQ(scaled.pixelColor(1, 0), QColor(128, 0, 128));
  EXPECT_EQ(scaled.pixelColor(2, 0), kBlue);
  const QImage shifted = ScaledByArea(strip, 180, QPoint(60, 0));
  EXPECT_EQ(shifted.pixelColor(0, 0), kRed);
  EXPECT_EQ(shifted.pixelColor(1, 0), kBlue);
  EXPECT_EQ(shifted.pixelColor(2, 0), kBlue);
}

TEST(AreaScaling, ShrinkingAveragesThePixelsCovered) {
  QImage picture(2, 2, QImage::Format_RGB32);
  picture.fill(Qt::white);
  picture.setPixelColor(0, 0, Qt::black);
  EXPECT_EQ(ScaledByArea(picture, 60).pixelColor(0, 0), QColor(191, 191, 191));
  EXPECT_TRUE(ScaledByArea(QImage(), 120).isNull());
  EXPECT_TRUE(ScaledByArea(picture, 0).isNull());
}

class Densities : public ::testing::Test {
 protected:
  void SetUp() override {
    for (size_t i = 0; i < std::size(kDensities); ++i) {
      windows[i].resize(300, 200);
      placeOn(windows[i], kDensities[i].screen);
      windows[i].show();
      ASSERT_EQ(windows[i].devicePixelRatioF(), kDensities[i].ratio);
    }
  }

  // A picture surface from `image`, written to and loaded from a file as
  // `name`; a larger version is written beside it when given.
  HDC pictureSurface(const QString& name, const QImage& image, const QImage& larger = {}) {
    image.save(dir.filePath(name + ".bmp"));
    if (!larger.isNull()) larger.save(dir.filePath(name + "@2x.bmp"));
    return mDC::CreatePictureSurface(LoadPicture(dir.filePath(name + ".bmp")));
  }

  QWidget windows[std::size(kDensities)];
  QTemporaryDir dir;
};

TEST_F(Densities, ASurfaceHasItsWindowsDensityAndLogicalCoordinates) {
  for (size_t i = 0; i < std::size(kDensities); ++i) {
    const qreal ratio = kDensities[i].ratio;
    const HDC dc = whiteSurface(windows[i], 31, 21);
    BITMAP info;
    ASSERT_TRUE(GetObjectA(GetCurrentBitmap(dc), &info));
    EXPECT_EQ(QSize(info.bmWidth, info.bmHeight), QSize(31, 21)) << ratio;
    const QImage pixels = SurfacePixels(dc);
    EXPECT_EQ(pixels.devicePixelRatio(), ratio);
    EXPECT_EQ(pixels.size(), QSize(int(std::ceil(31 * ratio)), int(std::ceil(21 * ratio))));
    EXPECT_EQ(GetPixel(dc, 30, 20), 0xFFFFFFu) << "the last logical pixel";
    EXPECT_EQ(GetPixel(dc, 31, 20), CLR_INVALID);
    mDC::ReleaseSurface(dc);
  }
  const HDC display = mDC::CreateSurface(4, 4);
  EXPECT_EQ(SurfacePixels(display).devicePixelRatio(), 2) << "the highest of the screens";
  mDC::ReleaseSurface(display);
}

// A picture with a red column and a blue row, one pixel each, copied at an
// even and an odd place, and stretched (exact at whole densities).
TEST_F(Densities, PictureLinesOfOnePixelStaySharp) {
  QImage lines = plainPicture(7, 5, kWhite);
  for (int y = 0; y < 5; ++y) lines.setPixelColor(3, y, kRed);
  for (int x = 0; x < 7; ++x) lines.setPixelColor(x, 2, kBlue);
  const HDC picture = pictureSurface("lines", lines);
  QImage expected = plainPicture(20, 20, kWhite);
  QPainter(&expected).drawImage(0, 0, lines);
  QPainter(&expected).drawImage(QRect(9, 1, 7, 15), lines, QRect(0, 0, 7, 5));
  for (size_t i = 0; i < std::size(kDensities); ++i) {
    const qreal ratio = kDensities[i].ratio;
    for (const int offset : {0, 1}) {
      const HDC dc = whiteSurface(windows[i], 20, 20);
      BitBlt(dc, offset, offset, 7, 5, picture, 0, 0, SRCCOPY);
      StretchBlt(dc, 9 + offset, 1 + offset, 7, 15, picture, 0, 0, 7, 5, SRCCOPY);
      QImage shifted = plainPicture(20, 20, kWhite);
      QPainter(&shifted).drawImage(offset, offset, expected);
      EXPECT_TRUE(sharpOnWholePixels(shifted, pixelsOf(dc), ratio, QRect(0, 0, 9, 7)))
          << "at offset " << offset;
      if (ratio == 2) {
        EXPECT_EQ(pixelsOf(dc), repeatedPixels(shifted, 2)) << "no colour in between";
      }
      mDC::ReleaseSurface(dc);
    }
  }
  mDC::ReleaseSurface(picture);
}

// A white cell of a red sprite sheet: copied where its last pixels at 1.5
// half cover the next cell, they take nothing of it.
TEST_F(Densities, APartOfAPictureTakesNoColourFromBesideIt) {
  QImage sheet = plainPicture(6, 6, kRed);
  QPainter(&sheet).fillRect(0, 0, 3, 3, kWhite);
  const HDC picture = pictureSurface("sheet", sheet);
  for (size_t i = 0; i < std::size(kDensities); ++i) {
    const HDC dc = whiteSurface(windows[i], 8, 8);
    BitBlt(dc, 0, 0, 3, 3, picture, 0, 0, SRCCOPY);
    const QImage pixels = pixelsOf(dc);
    for (int y = 0; y < pixels.height(); ++y) {
      for (int x = 0; x < pixels.width(); ++x) {
        ASSERT_EQ(pixels.pixelColor(x, y), kWhite)
            << pixels.pixelColor(x, y).name().toStdString() << "at " << x << "," << y << ", "
            << kDensities[i].ratio;
      }
    }
    mDC::ReleaseSurface(dc);
  }
  mDC::ReleaseSurface(picture);
}

TEST_F(Densities, ALargerPictureServesTheHigherDensities) {
  const HDC picture = pictureSurface("pic", plainPicture(4, 4, kRed), plainPicture(8, 8, kBlue));
  const HDC misfit = pictureSurface("misfit", plainPicture(4, 4, kRed), plainPicture(8, 7, kBlue));
  BITMAP info;
  GetObjectA(GetCurrentBitmap(picture), &info);
  EXPECT_EQ(QSize(info.bmWidth, info.bmHeight), QSize(4, 4)) << "sizes stay logical";
  for (size_t i = 0; i < std::size(kDensities); ++i) {
    const qreal ratio = kDensities[i].ratio;
    const HDC dc = whiteSurface(windows[i], 4, 8);
    BitBlt(dc, 0, 0, 4, 4, picture, 0, 0, SRCCOPY);
    BitBlt(dc, 0, 4, 4, 4, misfit, 0, 0, SRCCOPY);
    EXPECT_EQ(pixelsOf(dc).pixelColor(1, 1), ratio > 1 ? kBlue : kRed) << ratio;
    EXPECT_EQ(pixelsOf(dc).pixelColor(1, pixelsOf(dc).height() - 2), kRed)
        << "a larger picture of another shape is not used, at " << ratio;
    mDC::ReleaseSurface(dc);
  }
  // Drawing on the picture makes it a plain surface: the larger version goes.
  const HDC green = pictureSurface("green", plainPicture(1, 1, Qt::green));
  BitBlt(picture, 0, 0, 1, 1, green, 0, 0, SRCCOPY);
  const HDC dc = whiteSurface(windows[2], 4, 4);
  BitBlt(dc, 0, 0, 4, 4, picture, 0, 0, SRCCOPY);
  EXPECT_EQ(pixelsOf(dc).pixelColor(0, 0), QColor(Qt::green));
  EXPECT_EQ(pixelsOf(dc).pixelColor(7, 7), kRed);
  for (const HDC surface : {dc, green, misfit, picture}) mDC::ReleaseSurface(surface);
}

// The same text at 1 and 2: the same logical extent, but drawn with four
// times the pixels, not as an enlargement.
TEST_F(Densities, TextIsDrawnWithEveryPixel) {
  const QString text = QStringLiteral("快递单号查询 Query");
  QImage drawn[2];
  SIZE extents[2];
  for (const size_t i : {size_t(0), size_t(2)}) {
    const HDC dc = whiteSurface(windows[i], 160, 24);
    SetBkMode(dc, TRANSPARENT);
    mDC::DrawTextColored(dc, text, 2, 2, 158, 22, DT_SINGLELINE, 0);
    GetTextExtentPoint32W(dc, text, int(text.size()), &extents[i / 2]);
    drawn[i / 2] = pixelsOf(dc);
    mDC::ReleaseSurface(dc);
  }
  EXPECT_EQ(extents[0].cx, extents[1].cx);
  EXPECT_EQ(extents[0].cy, extents[1].cy);
  const QImage enlarged = repeatedPixels(drawn[0], 2);
  int ink = 0, differing = 0;
  for (int y = 0; y < enlarged.height(); ++y) {
    for (int x = 0; x < enlarged.width(); ++x) {
      ink += drawn[1].pixel(x, y) != qRgb(255, 255, 255);
      differing += drawn[1].pixel(x, y) != enlarged.pixel(x, y);
    }
  }
  EXPECT_GT(ink, 400);
  EXPECT_GT(differing, ink / 4) << "the text at 2 is the text at 1 enlarged";
}

TEST_F(Densities, IconsComeInTheSizeThatFits) {
  QIcon icon;
  icon.addPixmap(QPixmap::fromImage(plainPicture(16, 16, kRed)));
  icon.addPixmap(QPixmap::fromImage(plainPicture(32, 32, kBlue)));
  for (size_t i = 0; i < std::size(kDensities); ++i) {
    windows[i].setWindowIcon(icon);
    const HDC dc = whiteSurface(windows[i], 20, 20);
    DrawIconEx(dc, 2, 2, WindowSmallIcon(WindowHandle(&windows[i])), 16, 16, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(pixelsOf(dc).pixelColor(pixelsOf(dc).rect().center()),
              kDensities[i].ratio > 1 ? kBlue : kRed)
        << kDensities[i].ratio;
    mDC::ReleaseSurface(dc);
  }
}

// The window's own pictures take their larger versions on the screens of 2
// (the highest here); the pointer, pixel art, is doubled pixel for pixel.
TEST(DesignPictures, TheLargerVersionServesTheHighestDensity) {
  QTemporaryDir dir;
  plainPicture(4, 3, kRed).save(dir.filePath("P.bmp"));
  plainPicture(8, 6, kBlue).save(dir.filePath("P@2x.bmp"));
  plainPicture(4, 3, kRed).save(dir.filePath("Q.bmp"));
  const QPixmap larger = DesignPicture(dir.filePath("P.bmp"));
  EXPECT_EQ(larger.devicePixelRatio(), 2);
  EXPECT_EQ(larger.deviceIndependentSize(), QSizeF(4, 3));
  EXPECT_EQ(larger.toImage().pixelColor(5, 3), kBlue);
  const QPixmap scaled = DesignPicture(dir.filePath("Q.bmp"));
  EXPECT_EQ(scaled.deviceIndependentSize(), QSizeF(4, 3));
  EXPECT_EQ(scaled.toImage().pixelColor(5, 3), kRed);
}

TEST(DesignPictures, ThePointerIsDoubledPixelForPixel) {
  QTemporaryDir dir;
  QImage hand(3, 2, QImage::Format_ARGB32);
  hand.fill(Qt::transparent);
  hand.setPixelColor(1, 0, Qt::black);
  hand.save(dir.filePath("hand.png"));
  const QCursor cursor = DesignCursor(dir.filePath("hand.png"), {1, 0});
  EXPECT_EQ(cursor.hotSpot(), QPoint(2, 0));
  const QImage shown = cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
  ASSERT_EQ(shown.size(), QSize(6, 4));
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 6; ++x) EXPECT_EQ(shown.pixel(x, y), hand.pixel(x / 2, y / 2));
  }
}

// The frame picture of the test skin: an outline row and column, an inner
// edge, a line inside the caption band's bottom and a body colour.
QImage linedFrame() {
  QImage frame = plainPicture(60, 59, QColor(240, 246, 252));
  QPainter painter(&frame);
  painter.fillRect(0, 0, 60, 31, QColor(90, 160, 230));
  painter.fillRect(0, 28, 60, 1, QColor(250, 250, 120));
  painter.fillRect(1, 31, 1, 27, QColor(190, 215, 242));
  painter.fillRect(58, 31, 1, 27, QColor(190, 215, 242));
  painter.fillRect(1, 57, 58, 1, QColor(190, 215, 242));
  painter.setPen(QColor(43, 101, 173));
  painter.drawRect(0, 0, 59, 58);
  return frame;
}

const QByteArray kLinedSkin =
    "[Main]\r\nCmd.Height=20\r\nCmdClose.Width=39\r\nCmd.Top=1\r\nCmd.Left=-5\r\n"
    "Cmd.Width=28\r\nTopLeft=8\r\nTopRight=8\r\nTopCeter=44\r\nTopHeight=31\r\nCetLeft=3\r\n"
    "CetRight=3\r\nCetCeter=54\r\nCetHeight=20\r\nBotLeft=8\r\nBotRight=8\r\nBotCeter=44\r\n"
    "BotHeight=8\r\nSizeX1=8\r\nSizeY1=8\r\n";

// A window on a screen, skinned; odd sizes put the right and bottom slices
// half a pixel off the picture's grid at 1.5.
struct SkinnedOn {
  SkinnedOn(const QString& screen, const SkinFolder& folder, const QString& title = {}) {
    window.setWindowTitle(title);
    window.resize(401, 301);
    placeOn(window, screen);
    window.show();
    ui.Skin(folder.name(), WindowHandle(&window));
  }
  HDC frame() { return ui.painter().frameDC(); }

  QWidget window;
  VBDirectUI ui;
};

class SkinDensity : public ::testing::Test {
 protected:
  void SetUp() override {
    folder.writeSkin(kLinedSkin);
    folder.writePicture("main.bmp", linedFrame());
  }
  void TearDown() override { SetManualClock(false); }

  SkinFolder folder;
};

TEST_F(SkinDensity, AtTwiceTheDensityEveryLineIsTwoPixelsWideAndNothingIsBlended) {
  SkinnedOn one("1x", folder), two("2x", folder);
  const QImage atOne = pixelsOf(one.frame());
  EXPECT_EQ(pixelsOf(two.frame()), repeatedPixels(atOne, 2));
  // The same after every button has faded into its hover look.
  SetManualClock(true);
  for (SkinnedOn* skinned : {&one, &two}) {
    SendMessageA(WindowHandle(&skinned->window), WM_MOUSEMOVE, 0, MAKELPARAM(370, 10));
    while (TickTimers()) {
    }
  }
  EXPECT_NE(pixelsOf(one.frame()), atOne) << "the close button is hovered";
  EXPECT_EQ(pixelsOf(two.frame()), repeatedPixels(pixelsOf(one.frame()), 2));
}

TEST_F(SkinDensity, AtOneAndAHalfLinesAreSharpOnWholePixels) {
  SkinnedOn one("1x", folder), oneAndAHalf("1.5x", folder);
  EXPECT_TRUE(sharpOnWholePixels(pixelsOf(one.frame()), pixelsOf(oneAndAHalf.frame()), 1.5,
                                 QRect(0, 0, 401, 301)));
}

TEST_F(SkinDensity, TheWindowShowsTheFrameAsDrawn) {
  for (const Density& density : kDensities) {
    SkinnedOn skinned(density.screen, folder);
    QImage shown = skinned.window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    shown.setDevicePixelRatio(1);
    EXPECT_EQ(shown, pixelsOf(skinned.frame())) << density.ratio;
  }
}

TEST_F(SkinDensity, TheCaptionIsDrawnWithEveryPixelInItsPlace) {
  const QString title = QStringLiteral("快递单号查询 Courier");
  SkinnedOn one("1x", folder, title), two("2x", folder, title);
  const QRect caption(4, 2, 200, 26);
  const QImage atOne = pixelsOf(one.frame()).copy(caption);
  const QImage atTwo = pixelsOf(two.frame()).copy(QRect(caption.topLeft() * 2, caption.size() * 2));
  const QRgb band = atOne.pixel(caption.width() - 1, 0);
  QRect inkOne, inkTwo;
  int differing = 0;
  const QImage enlarged = repeatedPixels(atOne, 2);
  for (int y = 0; y < atTwo.height(); ++y) {
    for (int x = 0; x < atTwo.width(); ++x) {
      if (atOne.pixel(x / 2, y / 2) != band) inkOne |= QRect(x / 2, y / 2, 1, 1);
      if (atTwo.pixel(x, y) != band) inkTwo |= QRect(x, y, 1, 1);
      differing += atTwo.pixel(x, y) != enlarged.pixel(x, y);
    }
  }
  ASSERT_GT(inkOne.width(), 50) << "the caption is drawn";
  EXPECT_GT(differing, inkTwo.width() * inkTwo.height() / 8) << "not the 1x caption enlarged";
  const QRect inkTwoLogical(inkTwo.topLeft() / 2, inkTwo.size() / 2);
  for (const auto& [a, b] : {std::pair(inkOne.left(), inkTwoLogical.left()),
                             std::pair(inkOne.top(), inkTwoLogical.top()),
                             std::pair(inkOne.right(), inkTwoLogical.right()),
                             std::pair(inkOne.bottom(), inkTwoLogical.bottom())}) {
    EXPECT_NEAR(a, b, 1) << "the caption stays where it is";
  }
}

TEST_F(SkinDensity, AScreenOfAnotherDensityLaysTheFrameOutAgain) {
  SkinnedOn skinned("1x", folder);
  const QImage atOne = pixelsOf(skinned.frame());
  placeOn(skinned.window, "2x");
  EXPECT_EQ(SurfacePixels(skinned.frame()).devicePixelRatio(), 2);
  EXPECT_EQ(pixelsOf(skinned.frame()), repeatedPixels(atOne, 2));
  placeOn(skinned.window, "1.5x");
  EXPECT_EQ(SurfacePixels(skinned.frame()).devicePixelRatio(), 1.5);
  placeOn(skinned.window, "1x");
  EXPECT_EQ(pixelsOf(skinned.frame()), atOne);
}

// The program's own skin: the top outline row and the highlight below it
// are two pixels each at 2, in their own colours.
TEST(SkinDensityQQ2010, TheOutlineRowIsTwoPixelsOfItsColour) {
  SkinFolder folder;
  for (const QString& file : QDir(CQ_SKIN_QQ2010).entryList(QDir::Files))
    ASSERT_TRUE(QFile::copy(QStringLiteral(CQ_SKIN_QQ2010 "/") + file, folder.path(file)));
  SkinnedOn one("1x", folder), two("2x", folder);
  const QImage atOne = pixelsOf(one.frame());
  const QImage atTwo = pixelsOf(two.frame());
  for (const int x : {100, 201, 300}) {
    for (int y = 0; y < 6; ++y)
      EXPECT_EQ(atTwo.pixel(2 * x, y), atOne.pixel(x, y / 2)) << "x " << x << ", row " << y;
  }
}

}  // namespace
