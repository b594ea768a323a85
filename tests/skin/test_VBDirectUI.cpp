// The skin engine on real offscreen windows: loading a skin folder, the
// Skin.ini values and their defaults, attaching, layout and teardown.
#include "VBDirectUI.h"

#include "Gdi.h"
#include "Messages.h"
#include "Shell.h"
#include "SkinFolder.h"
#include "SkinParts.h"
#include "Subclass.h"
#include "Timer.h"
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

  // Resizes the window and runs a layout pass, as its WM_SIZE does.
  void resizeTo(int width, int height) {
    window.resize(width, height);
    layOut();
  }
  void layOut() { SendMessageA(WindowHandle(&window), WM_SIZE, 0, 0); }

  const SkinValues& values() const { return ui.description().values(); }
  const SkinPictures& pictures() const { return ui.description().pictures(); }
  const FrameGeometry& geometry() const { return ui.geometry(); }
  const SkinRect& button(CaptionButtonId id) const { return geometry().button(id).Rect; }
  std::array<HDC, 5> surfaces() const { return surfacesOf(ui); }

  QWidget window;
  SkinFolder folder;
  VBDirectUI ui;
};

TEST(VBDirectUI, ANewObjectHoldsTheInitialState) {
  VBDirectUI ui;
  EXPECT_TRUE(ui.HelpButton() && ui.MaxButton() && ui.MinButton() && ui.ControlBox());
  EXPECT_FALSE(ui.host().attached());
  EXPECT_EQ(ui.geometry().FrameInset, 0);
  for (const CaptionButtonId id : kCaptionButtons) {
    EXPECT_TRUE(ui.geometry().button(id).Visible);
    EXPECT_EQ(ui.fade().look(id), (ButtonLook{255, ButtonState::ButtonNormal}));
  }
  const FrameMouse& mouse = ui.mouse();
  EXPECT_TRUE(mouse.cursorsLoaded());
  EXPECT_EQ(mouse.hotButton(), std::nullopt);
  EXPECT_EQ(mouse.pressedButton(), std::nullopt);
  EXPECT_EQ(mouse.pressedArea(), Area::AreaNone);
  EXPECT_EQ(mouse.hoverArea(), Area::AreaNone);
  EXPECT_FALSE(mouse.pointerReset());
  EXPECT_FALSE(ui.messages().leaveTracking());
  ASSERT_EQ(ui.messages().subclassTable().size(), 1u);
  EXPECT_FALSE(ui.messages().subclassTable()[0].window);
  EXPECT_FALSE(ui.painter().smallIcon());
  for (const HDC dc : surfacesOf(ui)) EXPECT_FALSE(dc);
}

TEST(VBDirectUI, SkinFolderHasOneSeparator) {
  EXPECT_EQ(SkinDescription::withSeparator("/"), "/");
  EXPECT_EQ(SkinDescription::withSeparator("/opt/app"), "/opt/app/");
  EXPECT_EQ(SkinDescription::withSeparator("/opt/app/"), "/opt/app/");
  EXPECT_EQ(SkinDescription::skinFolder("/", "QQ2010"), "/Skin/QQ2010/");
}

TEST_F(SkinTest, LoadsPicturesAndValues) {
  skin(
      "BackAlpha=255\r\nTopLeft=7.5\r\nTopRight=6.5\r\nTopCeter=&H10\r\nTopHeight= 31 \r\n"
      "CetLeft=-2\r\nCaptionColor=255\r\nSizeX1=8\r\nSizeY1=9\r\n" +
      kCmdKeys);
  EXPECT_EQ(ui.description().skinName(), folder.name());
  EXPECT_EQ(ui.description().skinPath(), ModAPI::AppPath() + "/Skin/" + folder.name() + "/");
  EXPECT_TRUE(ui.description().appPath().endsWith('/'));
  EXPECT_EQ(pictures().mainSize(), QSize(60, 59));
  EXPECT_EQ(QSize(pictures().ButtonImageWidth, pictures().ButtonImageHeight), QSize(151, 60));
  EXPECT_TRUE(pictures().HasBack);
  EXPECT_EQ(QSize(pictures().BackWidth, pictures().BackHeight), QSize(300, 200));
  for (const HDC dc : surfaces()) EXPECT_TRUE(dc);
  SkinValues expected;
  expected.BackAlpha = 255;
  expected.Slices = {.TopLeft = 8, .TopRight = 6, .TopCeter = 16, .TopHeight = 31, .CetLeft = -2};
  expected.CaptionColor = 0x0000FF;
  expected.SizeX1 = 8;
  expected.SizeY1 = 9;
  EXPECT_EQ(values(), expected);
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
    SkinDescription description;
    description.load(fresh.name());
    EXPECT_EQ(description.values().BackAlpha, c.backAlpha) << c.ini.constData();
    EXPECT_EQ(description.values().CaptionColor, c.captionColor) << c.ini.constData();
  }
}

TEST_F(SkinTest, ACaptionColorThatIsNoNumberLeavesTheMemberAlone) {
  skin("CaptionColor=&HFF0000\r\n");
  folder.writeIni("[Main]\r\nCaptionColor=blue\r\n");
  ui.Skin(folder.name(), WindowHandle(&window));
  EXPECT_EQ(values().CaptionColor, 0xFF0000);
}

TEST_F(SkinTest, ASkinWithoutBackgroundLoads) {
  skin(kCmdKeys, /*withBack=*/false);
  EXPECT_FALSE(pictures().HasBack);
  EXPECT_FALSE(pictures().BackDC);
  EXPECT_EQ(QSize(pictures().BackWidth, pictures().BackHeight), QSize(0, 0));
  EXPECT_TRUE(ui.painter().workDC() && ui.painter().frameDC());
}

TEST_F(SkinTest, AMissingSkinFolderStillAttaches) {
  ui.Skin("no-such-skin", WindowHandle(&window));
  EXPECT_EQ(ui.host().HostWnd, WindowHandle(&window));
  EXPECT_FALSE(pictures().MainDC);
  EXPECT_EQ(values().BackAlpha, 30);
  // Buttons come from the program's own sheet size: 20 high, 30 wide.
  EXPECT_EQ(button(CaptionButtonId::Close).Height, 20);
  EXPECT_TRUE(ui.painter().workDC());
}

TEST_F(SkinTest, AttachingTakesTheCaptionAwayOnce) {
  skin(kCmdKeys);
  EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(ui.host().Sizable);
  EXPECT_EQ(quint32(ui.host().WindowStyle) & WS_CAPTION, 0u);
  EXPECT_NE(quint32(ui.host().WindowStyle) & WS_THICKFRAME, 0u);
  // Whatever frame the window system still reports is measured once.
  EXPECT_EQ(geometry().FrameInset, (window.frameGeometry().width() - window.width()) / 2);
  EXPECT_EQ(geometry().clientSize(), QSize(400, 300));
  EXPECT_EQ(QPoint(geometry().ClientLeft, geometry().ClientTop), window.geometry().topLeft());

  // A second Skin reloads but keeps the first window.
  QWidget other;
  ui.Skin(folder.name(), WindowHandle(&other));
  EXPECT_EQ(ui.host().HostWnd, WindowHandle(&window));
  EXPECT_FALSE(other.windowFlags().testFlag(Qt::FramelessWindowHint));
}

TEST_F(SkinTest, LaysOutButtonsAreasAndGrips) {
  skin(kCmdKeys);
  EXPECT_EQ(button(CaptionButtonId::Close).Left, 356);
  EXPECT_EQ(button(CaptionButtonId::Close).Right, 395);
  EXPECT_EQ(button(CaptionButtonId::Help).Left, 356 - 3 * 28);
  const FrameAreas& a = geometry().Areas;
  const auto edges = [](const SkinRect& r) { return std::array{r.Left, r.Top, r.Right, r.Bottom}; };
  EXPECT_EQ(edges(a.body), (std::array{2, 31, 398, 297}));
  EXPECT_EQ(edges(a.captionBar), (std::array{4, 2, 396, 29}));
  EXPECT_EQ(edges(a.strip), (std::array{272, 2, 398, 20}));
  EXPECT_EQ(a.window.Width, window.frameGeometry().width());
  EXPECT_EQ(geometry().Grips[6].Top, 296);
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
  EXPECT_EQ(values().Slices.TopLeft, 20000) << "the values themselves are kept";
  EXPECT_EQ(button(CaptionButtonId::Close).Width, 151);
  EXPECT_EQ(button(CaptionButtonId::Maximise).Width, 151);
  EXPECT_EQ(button(CaptionButtonId::Close).Height, 60);
  const qint32 desktopWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const qint32 desktopHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  ASSERT_GT(desktopWidth, 0);
  EXPECT_EQ(button(CaptionButtonId::Close).Top, desktopHeight);
  const MINMAXINFO limits = QueryMinMaxInfo(WindowHandle(&window));
  EXPECT_LE(limits.ptMinTrackSize.x, limits.ptMaxTrackSize.x);
  EXPECT_LE(window.frameGeometry().width(), desktopWidth + 4);
  EXPECT_LE(geometry().ClientWidth, desktopWidth + 4);
  EXPECT_TRUE(ui.painter().workDC() && ui.painter().frameDC()) << "the frame can be painted";
  SendMessageA(WindowHandle(&window), WM_NCACTIVATE, 1, 0);
}

TEST_F(SkinTest, HalfPixelsRoundToEven) {
  skin("Cmd.Height=20\r\nCmdClose.Width=39\r\nCmd.Top=0\r\nCmd.Left=-4.5\r\nCmd.Width=28\r\n");
  EXPECT_EQ(button(CaptionButtonId::Close).Left, 356);
}

TEST_F(SkinTest, HiddenButtonsKeepTheirSlots) {
  ui.setMaxButton(false);
  skin(kCmdKeys);
  EXPECT_FALSE(geometry().button(CaptionButtonId::Maximise).Visible);
  EXPECT_EQ(button(CaptionButtonId::Maximise).Left, 328);
  EXPECT_EQ(button(CaptionButtonId::Minimise).Right, 328);
  ui.setHelpButton(false);
  EXPECT_FALSE(ui.HelpButton());
  EXPECT_EQ(button(CaptionButtonId::Help).Left, 272);
  ui.setControlBox(false);
  EXPECT_FALSE(ui.ControlBox());
}

TEST_F(SkinTest, CmdKeysThatAreNoNumbersFallBackToTheSheet) {
  skin("Cmd.Height=tall\r\nCmd.Left=right\r\n");
  EXPECT_EQ(button(CaptionButtonId::Close).Height, 20) << "a third of the sheet";
  EXPECT_EQ(button(CaptionButtonId::Close).Width, 30) << "a fifth of the sheet";
  EXPECT_EQ(button(CaptionButtonId::Close).Right, 400);
  EXPECT_EQ(button(CaptionButtonId::Help).Left, 400 - 4 * 30);
  EXPECT_TRUE(ui.painter().workDC() && ui.painter().frameDC()) << "the frame can be painted";
}

TEST_F(SkinTest, EveryLayoutPassFollowsTheSize) {
  skin("SizeX1=8\r\nSizeY1=8\r\n" + kCmdKeys);
  const HDC firstWork = ui.painter().workDC();
  resizeTo(500, 240);
  EXPECT_EQ(geometry().clientSize(), QSize(500, 240));
  EXPECT_EQ(button(CaptionButtonId::Close).Left, 456);
  EXPECT_EQ(geometry().Areas.body.Bottom, 237);
  EXPECT_NE(ui.painter().workDC(), firstWork);
  EXPECT_FALSE(window.mask().contains(QPoint(499, 0)));
  EXPECT_TRUE(window.mask().contains(QPoint(499, 120)));
}

TEST_F(SkinTest, TheOutlineRoundsTheCornersUnlessZeroOrMaximised) {
  skin("SizeX1=8\r\nSizeY1=8\r\n" + kCmdKeys);
  EXPECT_FALSE(window.mask().contains(QPoint(0, 0)));
  EXPECT_TRUE(window.mask().contains(QPoint(0, 150)));
  EXPECT_FALSE(window.mask().contains(QPoint(400, 150)));

  window.showMaximized();
  layOut();
  EXPECT_TRUE(window.mask().isEmpty()) << "a maximised window is a plain rectangle";
  window.showNormal();
  layOut();
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
  EXPECT_EQ(ui.geometry().FrameInset, 0);
  EXPECT_FALSE(ui.host().Sizable);
  EXPECT_EQ(QPoint(ui.geometry().ClientLeft, ui.geometry().ClientTop),
            window.frameGeometry().topLeft());
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
    SendMessageA(WindowHandle(&window), WM_SIZE, 0, 0);
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
};

TEST_F(VBDirectUIQQ2010, TheProgramsSkinLoads) {
  const SkinPictures& pictures = ui.description().pictures();
  const NineSlices& n = ui.description().values().Slices;
  EXPECT_EQ(n.TopLeft + n.TopCeter + n.TopRight, pictures.MainWidth);
  EXPECT_EQ(n.TopHeight + n.CetHeight + n.BotHeight, pictures.MainHeight);
  EXPECT_EQ(ui.description().values().CaptionColor, 0xFFFFFF);
  EXPECT_TRUE(pictures.HasBack);
  const SkinRect& close = rectOf(ui, CaptionButtonId::Close);
  const SkinRect& maximise = rectOf(ui, CaptionButtonId::Maximise);
  EXPECT_EQ(QSize(pictures.ButtonImageWidth, pictures.ButtonImageHeight),
            QSize(close.Width + 4 * maximise.Width, 3 * close.Height));
  EXPECT_EQ(close.Right, ui.geometry().ClientWidth - 4);
  for (const HDC dc : surfacesOf(ui)) EXPECT_TRUE(dc);
}

// The fade step blends the background picture over the buttons' boxes; the
// frame's one-pixel border must stay as it was painted, and a button back in
// its normal look must look as painted.
TEST_F(VBDirectUIQQ2010, FadesLeaveNoSeam) {
  SetManualClock(true);
  const HDC frame = ui.painter().frameDC();
  const SkinRect strip = ui.geometry().Areas.strip;
  const auto painted = [&] {
    QImage image(strip.Width + 2, 31, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x)
        image.setPixelColor(x, y, pixelAt(frame, strip.Left + x, y));
    }
    return image;
  };
  const QImage before = painted();
  const QColor border = pixelAt(frame, 100, 0);
  for (const CaptionButtonId button : kCaptionButtons) {
    const SkinRect& r = rectOf(ui, button);
    SendMessageA(WindowHandle(&window), WM_MOUSEMOVE, 0, MAKELPARAM(r.Left + 5, r.Top + 5));
    while (TickTimers()) {
    }
    for (int x = strip.Left; x <= strip.Right; ++x)
      ASSERT_EQ(pixelAt(frame, x, 0), border)
          << "hovering button " << qint32(button) << ", x " << x;
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
