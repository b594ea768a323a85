// The skin engine on real offscreen windows: loading a skin folder, the
// Skin.ini values and their defaults, attaching, layout and teardown.
#include "VBDirectUI.h"

#include "Gdi.h"
#include "Messages.h"
#include "Shell.h"
#include "SkinFolder.h"
#include "Subclass.h"
#include "Timer.h"
#include "VBDirectUIProbe.h"
#include "Window.h"

#include <QDir>
#include <QFile>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>

using namespace ModAPI;

namespace {

const QByteArray kCmdKeys =
    "Cmd.Height=20\r\nCmdClose.Width=39\r\nCmd.Top=0\r\nCmd.Left=-5\r\nCmd.Width=28\r\n";

class SkinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window.setWindowTitle("skin test");
    window.resize(400, 300);
    window.show();
  }

  // Skins the window from `ini` (section header added) and lays it out at 400 x 300.
  void skin(const QByteArray& ini, bool withBack = true) {
    folder.writeSkin("[Main]\r\n" + ini, withBack);
    ui.Skin(folder.name(), WindowHandle(&window));
    resizeTo(400, 300);
  }

  void resizeTo(int width, int height) {
    window.resize(width, height);
    probe.layoutFrame();
  }

  QWidget window;
  SkinFolder folder;
  VBDirectUI ui;
  VBDirectUIProbe probe{ui};
};

TEST(VBDirectUI, ANewObjectHoldsTheInitialState) {
  VBDirectUI ui;
  EXPECT_TRUE(VBDirectUIProbe(ui).hasInitialState());
  EXPECT_TRUE(ui.HelpButton() && ui.MaxButton() && ui.MinButton() && ui.ControlBox());
}

TEST(VBDirectUI, SkinFolderHasOneSeparator) {
  EXPECT_EQ(VBDirectUIProbe::withSeparator("/"), "/");
  EXPECT_EQ(VBDirectUIProbe::withSeparator("/opt/app"), "/opt/app/");
  EXPECT_EQ(VBDirectUIProbe::withSeparator("/opt/app/"), "/opt/app/");
}

TEST_F(SkinTest, LoadsPicturesAndValues) {
  skin(
      "BackAlpha=255\r\nTopLeft=7.5\r\nTopRight=6.5\r\nTopCeter=&H10\r\nTopHeight= 31 \r\n"
      "CetLeft=-2\r\nCaptionColor=255\r\nSizeX1=8\r\nSizeY1=9\r\n" +
      kCmdKeys);
  EXPECT_EQ(probe.skinPath(), ModAPI::AppPath() + "/Skin/" + folder.name() + "/");
  EXPECT_TRUE(probe.appPath().endsWith('/'));
  EXPECT_EQ(probe.mainSize(), QSize(60, 59));
  EXPECT_EQ(probe.sheetSize(), QSize(151, 60));
  EXPECT_TRUE(probe.hasBack());
  EXPECT_EQ(probe.backSize(), QSize(300, 200));
  for (const HDC dc : probe.surfaces()) EXPECT_TRUE(dc);
  const std::map<QString, qint32> expected = {{"BackAlpha", 255}, {"TopLeft", 8},
                                              {"TopRight", 6},    {"TopCeter", 16},
                                              {"TopHeight", 31},  {"CetLeft", -2},
                                              {"CetRight", 0},    {"CetCeter", 0},
                                              {"CetHeight", 0},   {"BotLeft", 0},
                                              {"BotRight", 0},    {"BotCeter", 0},
                                              {"BotHeight", 0},   {"CaptionColor", 0x0000FF},
                                              {"SizeX1", 8},      {"SizeY1", 9}};
  EXPECT_EQ(probe.values(), expected);
}

TEST_F(SkinTest, ValuesFallBackToTheirDefaults) {
  const struct {
    QByteArray ini;
    qint32 backAlpha;
    qint32 captionColor;
  } cases[] = {
      {"", 30, 0xFFFFFF},                                            // both missing
      {"BackAlpha=0\r\nCaptionColor=\r\n", 30, 0xFFFFFF},            // 0 and empty
      {"BackAlpha=abc\r\nCaptionColor=&HFF0000\r\n", 30, 0xFF0000},  // no number; blue
      {"BackAlpha=300\r\nCaptionColor=-1\r\n", 255, -1},             // the opacity is one byte
  };
  for (const auto& c : cases) {
    SkinFolder fresh;
    fresh.writeSkin("[Main]\r\n" + c.ini);
    VBDirectUI other;
    QWidget host;
    other.Skin(fresh.name(), WindowHandle(&host));
    const auto values = VBDirectUIProbe(other).values();
    EXPECT_EQ(values.at("BackAlpha"), c.backAlpha) << c.ini.constData();
    EXPECT_EQ(values.at("CaptionColor"), c.captionColor) << c.ini.constData();
  }
}

TEST_F(SkinTest, ACaptionColorThatIsNoNumberLeavesTheMemberAlone) {
  skin("CaptionColor=&HFF0000\r\n");
  folder.writeIni("[Main]\r\nCaptionColor=blue\r\n");
  ui.Skin(folder.name(), WindowHandle(&window));
  EXPECT_EQ(probe.values().at("CaptionColor"), 0xFF0000);
}

TEST_F(SkinTest, ASkinWithoutBackgroundLoads) {
  skin(kCmdKeys, /*withBack=*/false);
  EXPECT_FALSE(probe.hasBack());
  EXPECT_FALSE(probe.surfaces()[4]);
  EXPECT_EQ(probe.backSize(), QSize(0, 0));
  EXPECT_TRUE(probe.surfaces()[0] && probe.surfaces()[1]);
}

TEST_F(SkinTest, AMissingSkinFolderStillAttaches) {
  ui.Skin("no-such-skin", WindowHandle(&window));
  EXPECT_EQ(probe.hostWnd(), WindowHandle(&window));
  EXPECT_FALSE(probe.surfaces()[2]);
  EXPECT_EQ(probe.values().at("BackAlpha"), 30);
  // Buttons come from the program's own sheet size: 20 high, 30 wide.
  EXPECT_EQ(probe.buttons()[0].Rect.Height, 20);
  EXPECT_TRUE(probe.surfaces()[0]);
}

TEST_F(SkinTest, AttachingTakesTheCaptionAwayOnce) {
  skin(kCmdKeys);
  EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(probe.sizable());
  EXPECT_EQ(quint32(probe.windowStyle()) & WS_CAPTION, 0u);
  EXPECT_NE(quint32(probe.windowStyle()) & WS_THICKFRAME, 0u);
  // Whatever frame the window system still reports is measured once.
  EXPECT_EQ(probe.frameInset(), (window.frameGeometry().width() - window.width()) / 2);
  EXPECT_EQ(probe.clientSize(), QSize(400, 300));
  EXPECT_EQ(probe.clientOrigin(), window.geometry().topLeft());

  // A second Skin reloads but keeps the first window.
  QWidget other;
  ui.Skin(folder.name(), WindowHandle(&other));
  EXPECT_EQ(probe.hostWnd(), WindowHandle(&window));
  EXPECT_FALSE(other.windowFlags().testFlag(Qt::FramelessWindowHint));
}

TEST_F(SkinTest, LaysOutButtonsAreasAndGrips) {
  skin(kCmdKeys);
  const auto& b = probe.buttons();
  EXPECT_EQ(b[0].Rect.Left, 356);
  EXPECT_EQ(b[0].Rect.Right, 395);
  EXPECT_EQ(b[3].Rect.Left, 356 - 3 * 28);
  EXPECT_EQ(b[4].Rect.Width, 0) << "the fifth button is never laid out";
  const auto& a = probe.areas();
  const qint32 expected[3][4] = {{2, 31, 398, 297}, {4, 2, 396, 29}, {272, 2, 398, 20}};
  for (int i = 0; i < 3; ++i) {
    const SkinRect& r = a[size_t(i) + 1];
    EXPECT_EQ((std::array{r.Left, r.Top, r.Right, r.Bottom}),
              (std::array{expected[i][0], expected[i][1], expected[i][2], expected[i][3]}))
        << "area " << i + 1;
  }
  EXPECT_EQ(a[0].Width, window.frameGeometry().width());
  EXPECT_EQ(probe.grips()[6].Top, 296);
}

// A skin whose keys ask for 20000 pixels: the slices copy only what the
// frame picture holds, the buttons stay within the sprite sheet and the
// window within the screens, and everything is still laid out and painted.
TEST_F(SkinTest, SizesBeyondThePicturesAndTheScreensAreBounded) {
  skin(
      "Cmd.Height=20000\r\nCmdClose.Width=20000\r\nCmd.Top=20000\r\nCmd.Left=-20000\r\n"
      "Cmd.Width=20000\r\nTopLeft=20000\r\nTopRight=20000\r\nTopCeter=20000\r\n"
      "TopHeight=20000\r\nCetLeft=20000\r\nCetCeter=20000\r\nCetHeight=20000\r\n"
      "BotLeft=20000\r\nBotCeter=20000\r\nBotHeight=20000\r\n");
  EXPECT_EQ(probe.values().at("TopLeft"), 20000) << "the values themselves are kept";
  const auto& b = probe.buttons();
  EXPECT_EQ(b[0].Rect.Width, 151);
  EXPECT_EQ(b[1].Rect.Width, 151);
  EXPECT_EQ(b[0].Rect.Height, 60);
  const qint32 desktopWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const qint32 desktopHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  ASSERT_GT(desktopWidth, 0);
  EXPECT_EQ(b[0].Rect.Top, desktopHeight);
  const MINMAXINFO limits = QueryMinMaxInfo(WindowHandle(&window));
  EXPECT_LE(limits.ptMinTrackSize.x, limits.ptMaxTrackSize.x);
  EXPECT_LE(window.frameGeometry().width(), desktopWidth + 4);
  EXPECT_LE(probe.clientSize().width(), desktopWidth + 4);
  EXPECT_TRUE(probe.surfaces()[0] && probe.surfaces()[1]) << "the frame can be painted";
  probe.paintFrame();
}

TEST_F(SkinTest, HalfPixelsRoundToEven) {
  skin("Cmd.Height=20\r\nCmdClose.Width=39\r\nCmd.Top=0\r\nCmd.Left=-4.5\r\nCmd.Width=28\r\n");
  EXPECT_EQ(probe.buttons()[0].Rect.Left, 356);
}

TEST_F(SkinTest, HiddenButtonsKeepTheirSlots) {
  ui.setMaxButton(false);
  skin(kCmdKeys);
  EXPECT_FALSE(probe.buttons()[1].Visible);
  EXPECT_EQ(probe.buttons()[1].Rect.Left, 328);
  EXPECT_EQ(probe.buttons()[2].Rect.Right, 328);
  ui.setHelpButton(false);
  EXPECT_FALSE(ui.HelpButton());
  EXPECT_EQ(probe.buttons()[3].Rect.Left, 272);
  ui.setControlBox(false);
  EXPECT_FALSE(ui.ControlBox());
}

TEST_F(SkinTest, CmdKeysThatAreNoNumbersFallBackToTheSheet) {
  skin("Cmd.Height=tall\r\nCmd.Left=right\r\n");
  const auto& b = probe.buttons();
  EXPECT_EQ(b[0].Rect.Height, 20) << "a third of the sheet";
  EXPECT_EQ(b[0].Rect.Width, 30) << "a fifth of the sheet";
  EXPECT_EQ(b[0].Rect.Right, 400);
  EXPECT_EQ(b[3].Rect.Left, 400 - 4 * 30);
  EXPECT_TRUE(probe.surfaces()[0] && probe.surfaces()[1]) << "the frame can be painted";
}

TEST_F(SkinTest, EveryLayoutPassFollowsTheSize) {
  skin("SizeX1=8\r\nSizeY1=8\r\n" + kCmdKeys);
  const HDC firstWork = probe.surfaces()[0];
  resizeTo(500, 240);
  EXPECT_EQ(probe.clientSize(), QSize(500, 240));
  EXPECT_EQ(probe.buttons()[0].Rect.Left, 456);
  EXPECT_EQ(probe.areas()[1].Bottom, 237);
  EXPECT_NE(probe.surfaces()[0], firstWork);
  EXPECT_FALSE(window.mask().contains(QPoint(499, 0)));
  EXPECT_TRUE(window.mask().contains(QPoint(499, 120)));
}

TEST_F(SkinTest, TheOutlineRoundsTheCornersUnlessZeroOrMaximised) {
  skin("SizeX1=8\r\nSizeY1=8\r\n" + kCmdKeys);
  EXPECT_FALSE(window.mask().contains(QPoint(0, 0)));
  EXPECT_TRUE(window.mask().contains(QPoint(0, 150)));
  EXPECT_FALSE(window.mask().contains(QPoint(400, 150)));

  window.showMaximized();
  probe.layoutFrame();
  EXPECT_TRUE(window.mask().isEmpty()) << "a maximised window is a plain rectangle";
  window.showNormal();
  probe.layoutFrame();
  EXPECT_FALSE(window.mask().contains(QPoint(0, 0)));
}

TEST(VBDirectUIFrameless, AWindowWithoutFrameKeepsFrameInsetZero) {
  SkinFolder folder;
  folder.writeSkin("[Main]\r\nSizeX1=6\r\nSizeY1=6\r\n" + kCmdKeys);
  QWidget window;
  window.setWindowFlag(Qt::FramelessWindowHint);
  window.setFixedSize(300, 200);
  window.show();
  VBDirectUI ui;
  ui.Skin(folder.name(), WindowHandle(&window));
  VBDirectUIProbe probe(ui);
  EXPECT_EQ(probe.frameInset(), 0);
  EXPECT_FALSE(probe.sizable());
  EXPECT_EQ(probe.clientOrigin(), window.frameGeometry().topLeft());
  // The outline starts at the window's top-left pixel.
  EXPECT_FALSE(window.mask().contains(QPoint(0, 0)));
  EXPECT_TRUE(window.mask().contains(QPoint(3, 0)));
  EXPECT_TRUE(window.mask().contains(QPoint(0, 3)));
}

TEST_F(SkinTest, ZeroEllipseGivesSquareCorners) {
  skin("SizeX1=0\r\nSizeY1=0\r\n" + kCmdKeys);
  EXPECT_EQ(window.mask(), QRegion(0, 0, 400, 300));
}

TEST(VBDirectUITeardown, ReleasesEverySurface) {
  const GdiObjectCounts before = LiveGdiObjects();
  {
    SkinFolder folder;
    folder.writeSkin("[Main]\r\n" + kCmdKeys);
    QWidget window;
    window.show();
    VBDirectUI ui;
    ui.Skin(folder.name(), WindowHandle(&window));
    const GdiObjectCounts skinned = LiveGdiObjects();
    EXPECT_EQ(skinned.deviceContexts - before.deviceContexts, 5);
    // Reloading and laying out again replace surfaces instead of adding some.
    ui.Skin(folder.name(), WindowHandle(&window));
    VBDirectUIProbe(ui).layoutFrame();
    EXPECT_EQ(LiveGdiObjects().deviceContexts, skinned.deviceContexts);
    EXPECT_EQ(LiveGdiObjects().bitmaps, skinned.bitmaps);
  }
  EXPECT_EQ(LiveGdiObjects().deviceContexts, before.deviceContexts);
  EXPECT_EQ(LiveGdiObjects().bitmaps, before.bitmaps);
}

class VBDirectUIQQ2010 : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* file : {"main.bmp", "SysButton.bmp", "bkg.jpg", "Skin.ini"}) {
      ASSERT_TRUE(QFile::copy(QStringLiteral(CQ_SKIN_QQ2010 "/") + file, folder.path(file)))
          << file;
    }
    window.resize(600, 500);
    window.show();
    ui.Skin(folder.name(), WindowHandle(&window));
  }
  void TearDown() override { SetManualClock(false); }

  SkinFolder folder;
  QWidget window;
  VBDirectUI ui;
  VBDirectUIProbe probe{ui};
};

TEST_F(VBDirectUIQQ2010, TheProgramsSkinLoads) {
  const auto values = probe.values();
  EXPECT_EQ(values.at("TopLeft") + values.at("TopCeter") + values.at("TopRight"),
            probe.mainSize().width());
  EXPECT_EQ(values.at("TopHeight") + values.at("CetHeight") + values.at("BotHeight"),
            probe.mainSize().height());
  EXPECT_EQ(values.at("CaptionColor"), 0xFFFFFF);
  EXPECT_TRUE(probe.hasBack());
  const auto& b = probe.buttons();
  EXPECT_EQ(probe.sheetSize(), QSize(b[0].Rect.Width + 4 * b[1].Rect.Width, 3 * b[0].Rect.Height));
  EXPECT_EQ(b[0].Rect.Right, probe.clientSize().width() - 4);
  for (const HDC dc : probe.surfaces()) EXPECT_TRUE(dc);
}

// The fade step blends the background picture over the buttons' boxes; the
// frame's one-pixel border must stay as it was painted, and a button back in
// its normal look must look as painted.
TEST_F(VBDirectUIQQ2010, FadesLeaveNoSeam) {
  SetManualClock(true);
  const HDC frame = probe.frameDC();
  const SkinRect strip = probe.areas()[3];
  const auto painted = [&] {
    QImage image(strip.Width + 2, 31, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x)
        image.setPixelColor(x, y, PixelAt(frame, strip.Left + x, y));
    }
    return image;
  };
  const QImage before = painted();
  const QColor border = PixelAt(frame, 100, 0);
  for (qint32 button = 0; button < 4; ++button) {
    const SkinRect& r = probe.buttons()[size_t(button)].Rect;
    SendMessageA(WindowHandle(&window), WM_MOUSEMOVE, 0, MAKELPARAM(r.Left + 5, r.Top + 5));
    while (TickTimers()) {
    }
    for (int x = strip.Left; x <= strip.Right; ++x)
      ASSERT_EQ(PixelAt(frame, x, 0), border) << "hovering button " << button << ", x " << x;
  }
  SendMessageA(WindowHandle(&window), WM_MOUSEMOVE, 0, MAKELPARAM(300, 250));  // off the strip
  while (TickTimers()) {
  }
  const QImage after = painted();
  for (int y = 0; y < before.height(); ++y) {
    for (int x = 0; x < before.width(); ++x) {
      const QColor a = before.pixelColor(x, y), b = after.pixelColor(x, y);
      const int difference = std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                                       std::abs(a.blue() - b.blue())});
      ASSERT_LE(difference, 2) << "at " << strip.Left + x << "," << y;
    }
  }
}

}  // namespace
