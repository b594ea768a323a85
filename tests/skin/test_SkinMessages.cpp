// The skin's message handler driven with messages directly, and the frame
// it paints, read back from FrameDC.
#include "SkinnedWindow.h"

#include "Gdi.h"
#include "Messages.h"
#include "Timer.h"
#include "Window.h"

#include <QLineEdit>
#include <QPainter>
#include <QTest>
#include <QWindow>

using namespace ModAPI;

namespace {

qint32 at(QPoint p) {
  return MAKELPARAM(p.x(), p.y());
}

using SkinMessages = SkinnedWindow;

TEST_F(SkinMessages, DeactivationRepaintsAndKeepsTheWindowsResult) {
  skin();
  window.skin->setHelpButton(false);  // shows only after a repaint
  bool handled = true;
  const qint32 result = send(false, WM_NCACTIVATE, 0, 0, /*lReturn=*/1, &handled);
  EXPECT_EQ(result, 1);
  EXPECT_FALSE(handled);
  EXPECT_EQ(pixelAt(frameDC(), 285, 10), frameColour());
}

TEST_F(SkinMessages, OtherTimersDrawNothingAndAreHandled) {
  skin();
  send(true, WM_MOUSEMOVE, 0, at(centre(CaptionButtonId::Close)));  // a fade from 200
  const quint64 copies = WindowCopyCount();
  bool handled = false;
  EXPECT_EQ(send(false, WM_TIMER, 7, 0, /*lReturn=*/5, &handled), 0);
  EXPECT_TRUE(handled);
  EXPECT_EQ(look(CaptionButtonId::Close).Fade, 200);
  EXPECT_EQ(WindowCopyCount(), copies);
}

TEST_F(SkinMessages, MouseMoveDerivesItsButtonFromTheKeys) {
  const struct {
    quint32 keys;
    qint16 button;
  } cases[] = {
      {0, 0},
      {MK_LBUTTON, 1},
      {MK_RBUTTON, 2},
      {MK_RBUTTON | MK_MBUTTON, 3},
      {MK_LBUTTON | MK_MBUTTON, 3},  // the later test wins
      {MK_LBUTTON | MK_RBUTTON, 2},
      {MK_MBUTTON | MK_SHIFT | MK_CONTROL, 3},
  };
  for (const auto& c : cases) EXPECT_EQ(SkinMessageHandler::moveButton(c.keys), c.button) << c.keys;

  // Only a move with the left button (1) leaves the hover alone.
  skin();
  const QPoint help = centre(CaptionButtonId::Help);
  send(true, WM_MOUSEMOVE, MK_LBUTTON, at(help));
  EXPECT_EQ(mouse().hotButton(), std::nullopt);
  send(true, WM_MOUSEMOVE, MK_LBUTTON | MK_MBUTTON, at(help));
  EXPECT_EQ(mouse().hotButton(), CaptionButtonId::Help);
}

TEST_F(SkinMessages, CoordinatesAreSignExtended) {
  skin();
  // In the edge band the pointer keeps its shape, unless the point lies left
  // of or above the window: read unsigned, -3 would be far right, in the band.
  send(true, WM_MOUSEMOVE, 0, MAKELPARAM(398, 100));
  EXPECT_FALSE(mouse().pointerReset());
  send(true, WM_MOUSEMOVE, 0, MAKELPARAM(-3, 100));
  EXPECT_TRUE(mouse().pointerReset());
  send(true, WM_MOUSEMOVE, 0, MAKELPARAM(398, 100));
  send(true, WM_MOUSEMOVE, 0, MAKELPARAM(398, -2));
  EXPECT_TRUE(mouse().pointerReset());
}

TEST(SkinSizeLimits, MaximisedCoversTheWorkAreaAndTrackingKeepsTheStrip) {
  const auto previous = WorkAreaSource();
  WorkAreaSource() = [] { return RECT{0, 0, 1000, 700}; };
  SkinFolder folder;
  folder.writeSkin("[Main]\r\n" + kTestCmdKeys);
  QWidget window;
  window.setWindowFlag(Qt::FramelessWindowHint);  // FrameInset 0
  window.resize(400, 300);
  window.show();
  VBDirectUI ui;
  ui.Skin(folder.name(), WindowHandle(&window));
  const MINMAXINFO info = QueryMinMaxInfo(WindowHandle(&window));
  EXPECT_EQ(info.ptMaxSize, (POINT{1004, 700}));
  EXPECT_EQ(info.ptMaxPosition, (POINT{0, 0}));
  EXPECT_EQ(info.ptMaxTrackSize, (POINT{1004, 700}));
  EXPECT_EQ(info.ptMinTrackSize, (POINT{398 - 272 + 56, 42}));

  // The window system gets the limits for the user's dragging. (Where it
  // maximises, the answer places the window; the offscreen platform keeps
  // its own place for maximised windows, so that shows only on a display.)
  window.resize(410, 300);
  EXPECT_EQ(window.windowHandle()->minimumSize(), QSize(182, 42));
  EXPECT_EQ(window.windowHandle()->maximumSize(), QSize(1004, 700));
  WorkAreaSource() = previous;
}

// A window of fixed size keeps it for the window system too: the skin's
// limits are for dragging a sizing frame, which it has none of.
TEST(SkinSizeLimits, AWindowWithoutSizingFrameHasEqualLimits) {
  SkinFolder folder;
  folder.writeSkin("[Main]\r\n" + kTestCmdKeys);
  QWidget window;
  window.setWindowFlag(Qt::FramelessWindowHint);
  window.setFixedSize(400, 300);
  window.show();
  VBDirectUI ui;
  ui.Skin(folder.name(), WindowHandle(&window));
  window.setFixedSize(420, 320);
  EXPECT_EQ(window.windowHandle()->minimumSize(), QSize(420, 320));
  EXPECT_EQ(window.windowHandle()->maximumSize(), QSize(420, 320));
}

TEST_F(SkinMessages, KeysForTheWindowItselfStopAtTheSkin) {
  skin();
  QLineEdit child(&window);
  child.show();
  QTest::keyClick(&window, Qt::Key_A);
  QTest::keyClick(&window, Qt::Key_Return);
  EXPECT_EQ(window.keyEvents, 0);
  QTest::keyClicks(&child, "ab");
  EXPECT_EQ(child.text(), "ab") << "a control's keys are its own";
}

TEST_F(SkinMessages, APressFadesInFrom100In155Steps) {
  skin();
  const QPoint close = centre(CaptionButtonId::Close);
  send(true, WM_LBUTTONDOWN, MK_LBUTTON, at(close));
  EXPECT_EQ(look(CaptionButtonId::Close), (ButtonLook{100, ButtonState::ButtonPressed}));
  for (int step = 0; step < 154; ++step) TickTimers();
  EXPECT_EQ(look(CaptionButtonId::Close).Fade, 254);
  TickTimers();
  EXPECT_EQ(look(CaptionButtonId::Close).Fade, 255);
  EXPECT_EQ(pixelAt(frameDC(), close.x(), close.y()), glyphColour(0, 2));
}

TEST_F(SkinMessages, AHoverFadeSettlesAfter55StepsAndStopsTheTimer) {
  skin();
  const QPoint close = centre(CaptionButtonId::Close);
  send(true, WM_MOUSEMOVE, 0, at(close));
  EXPECT_EQ(look(CaptionButtonId::Close).Fade, 200);
  EXPECT_TRUE(IsTimerSet(hwnd, 0));
  for (int step = 0; step < 55; ++step) TickTimers();
  EXPECT_EQ(look(CaptionButtonId::Close).Fade, 255);
  EXPECT_EQ(pixelAt(frameDC(), close.x(), close.y()), glyphColour(0, 1));
  EXPECT_TRUE(IsTimerSet(hwnd, 0)) << "the step that finds nothing to do stops it";
  const quint64 copies = WindowCopyCount();
  TickTimers();
  EXPECT_FALSE(IsTimerSet(hwnd, 0));
  EXPECT_EQ(WindowCopyCount(), copies + 1) << "one copy to the window per step";
}

TEST_F(SkinMessages, APaintCopiesTheFrameToTheWindowOnce) {
  skin();
  const quint64 copies = WindowCopyCount();
  repaint();
  EXPECT_EQ(WindowCopyCount(), copies + 1);
  const HDC screen = GetDC(hwnd);
  EXPECT_EQ(pixelAt(screen, 375, 10), glyphColour(0, 0));
  ReleaseDC(hwnd, screen);
}

// The caption bar's pixels: what a change of caption or icon shows in.
std::vector<QRgb> captionPixels(HDC frame) {
  std::vector<QRgb> pixels;
  for (int y = 2; y < 29; ++y) {
    for (int x = 4; x < 260; ++x) pixels.push_back(pixelAt(frame, x, y).rgb());
  }
  return pixels;
}

// Showing and activating the window lay it out and paint it again with
// nothing changed: the frame composed when the skin was attached serves.
// Whatever would compose differently composes anew.
TEST_F(SkinMessages, AFrameIsComposedAgainOnlyWhenWhatItShowsChanged) {
  skin("CaptionColor=&H00FF00\r\n");
  const auto surfaces = surfacesOf(ui());
  const std::vector<QRgb> caption = captionPixels(frameDC());
  send(false, WM_SIZE, 0, 0);
  send(false, WM_NCACTIVATE, 1, 0);
  EXPECT_EQ(surfacesOf(ui()), surfaces) << "surfaces of the same size are kept";
  EXPECT_EQ(captionPixels(frameDC()), caption);

  window.setWindowTitle("another caption");
  send(false, WM_NCACTIVATE, 1, 0);
  EXPECT_NE(captionPixels(frameDC()), caption) << "a new caption";

  // The icon keeps its handle when the window gets another picture.
  QPixmap icon(16, 16);
  for (const QColor colour : {QColor(Qt::red), QColor(Qt::blue)}) {
    icon.fill(colour);
    window.setWindowIcon(QIcon(icon));
    send(false, WM_NCACTIVATE, 0, 0);
    EXPECT_EQ(pixelAt(frameDC(), 10, 15), colour) << "a new icon";
  }

  const QPoint close = centre(CaptionButtonId::Close);
  send(true, WM_MOUSEMOVE, 0, at(close));
  for (int step = 0; step < 55; ++step) TickTimers();
  ASSERT_EQ(pixelAt(frameDC(), close.x(), close.y()), glyphColour(0, 1));
  send(false, WM_SIZE, 0, 0);
  EXPECT_EQ(pixelAt(frameDC(), close.x(), close.y()), glyphColour(0, 0))
      << "a faded button is composed in its normal look again";
}

TEST_F(SkinMessages, TheWindowPaintsItselfFromTheFrame) {
  skin();
  const QImage shown = window.grab().toImage();
  EXPECT_EQ(shown.pixelColor(375, 10), glyphColour(0, 0));
  EXPECT_EQ(shown.pixelColor(200, 150), frameColour());
}

TEST_F(SkinMessages, TheMaximiseButtonShowsTheRestoreGlyphWhileMaximised) {
  skin();
  const QPoint maximise = centre(CaptionButtonId::Maximise);
  EXPECT_EQ(pixelAt(frameDC(), maximise.x(), maximise.y()), glyphColour(2, 0));
  window.showMaximized();
  QTest::qWait(20);
  const QPoint atMax = centre(CaptionButtonId::Maximise);
  EXPECT_EQ(pixelAt(frameDC(), atMax.x(), atMax.y()), glyphColour(1, 0));
  // Fading uses it too.
  send(true, WM_MOUSEMOVE, 0, at(atMax));
  for (int step = 0; step < 55; ++step) TickTimers();
  EXPECT_EQ(pixelAt(frameDC(), atMax.x(), atMax.y()), glyphColour(1, 1));
}

TEST_F(SkinMessages, AHiddenButtonIsNeitherDrawnNorFaded) {
  skin();
  window.skin->setHelpButton(false);
  repaint();
  const QPoint help = centre(CaptionButtonId::Help);
  EXPECT_EQ(pixelAt(frameDC(), help.x(), help.y()), frameColour());
  send(true, WM_MOUSEMOVE, 0, at(help));
  EXPECT_EQ(mouse().hotButton(), std::nullopt) << "it does not react to the mouse";
  send(true, WM_MOUSEMOVE, 0, at(QPoint(200, 150)));  // off the strip: every button fades
  EXPECT_EQ(look(CaptionButtonId::Help), (ButtonLook{200, ButtonState::ButtonNormal}));
  while (TickTimers()) {
  }
  EXPECT_EQ(pixelAt(frameDC(), help.x(), help.y()), frameColour());
  EXPECT_EQ(look(CaptionButtonId::Help).Fade, 200) << "never stepped";
  EXPECT_EQ(look(CaptionButtonId::Close).Fade, 255);
  EXPECT_FALSE(IsTimerSet(hwnd, 0));
}

// Buttons laid out left of the window (Cmd.Left far inwards) have their
// glyphs drawn counted from the right edge.
TEST_F(SkinMessages, AGlyphLeftOfTheWindowIsDrawnFromTheRightEdge) {
  folder.writeSkin(
      "[Main]\r\nCmd.Height=20\r\nCmdClose.Width=39\r\nCmd.Top=0\r\nCmd.Left=-390\r\n"
      "Cmd.Width=28\r\n",
      false);
  showSkinned();
  ASSERT_EQ(rectOf(ui(), CaptionButtonId::Close).Left, -29);
  EXPECT_EQ(ui().painter().glyphOrigin(CaptionButtonId::Close), QPoint(371, 0));
  EXPECT_EQ(ui().painter().glyphOrigin(CaptionButtonId::Help), QPoint(287, 0));
  EXPECT_EQ(pixelAt(frameDC(), 380, 10), glyphColour(0, 0));
  EXPECT_EQ(pixelAt(frameDC(), 300, 10), glyphColour(4, 0));
}

TEST_F(SkinMessages, WithoutBackgroundNoLayerIsBlended) {
  skin();
  EXPECT_EQ(pixelAt(frameDC(), 200, 150), frameColour());
  EXPECT_EQ(pixelAt(frameDC(), 1, 299 - 1), frameColour());
}

TEST_F(SkinMessages, TheBackgroundIsBlendedOverEverything) {
  skin("BackAlpha=255\r\n", /*withBack=*/true);  // opaque: the picture alone
  EXPECT_EQ(pixelAt(frameDC(), 200, 150), QColor(Qt::white));
  EXPECT_EQ(pixelAt(frameDC(), 0, 150), frameColour()) << "one pixel of frame stays";
}

// A picture whose every pixel tells where it lies: red = x, green = y.
QImage positions(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) image.setPixelColor(x, y, QColor(x % 256, y % 256, 128));
  }
  return image;
}

// A blue picture of `size` with the part `red` red.
QImage redOnBlue(QSize size, QRect red) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::blue);
  QPainter(&image).fillRect(red, Qt::red);
  return image;
}

// The window is 400 x 300. A larger picture is cropped to its top-left
// 400 x 300, a smaller one stretched over the window, less a 1-pixel border.
TEST_F(SkinMessages, TheBackgroundIsCroppedOrStretchedToTheWindow) {
  skinOver(redOnBlue({800, 600}, {0, 0, 400, 300}));
  ASSERT_EQ(ui().geometry().clientSize(), QSize(400, 300));
  EXPECT_EQ(pixelAt(frameDC(), 390, 290), QColor(Qt::red)) << "cropped";
  EXPECT_EQ(pixelAt(frameDC(), 200, 150), QColor(Qt::red));
}

TEST_F(SkinMessages, ASmallerBackgroundIsStretched) {
  skinOver(redOnBlue({200, 150}, {0, 0, 100, 150}));
  EXPECT_EQ(pixelAt(frameDC(), 190, 150), QColor(Qt::red));
  EXPECT_EQ(pixelAt(frameDC(), 210, 150), QColor(Qt::blue));
  EXPECT_EQ(pixelAt(frameDC(), 390, 290), QColor(Qt::blue)) << "stretched";
}

// The fade step lays the background picture, scaled to the whole window,
// over each button it draws.
TEST_F(SkinMessages, AFadeStepBlendsTheBackgroundOverTheButtons) {
  const QImage back = positions(400, 300);
  skinOver(back);
  const QPoint close = centre(CaptionButtonId::Close);
  send(true, WM_MOUSEMOVE, 0, at(close));
  TickTimers();
  const SkinRect& r = rectOf(ui(), CaptionButtonId::Close);
  for (const QPoint p : {close, QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Bottom - 1)})
    EXPECT_EQ(pixelAt(frameDC(), p.x(), p.y()), back.pixelColor(p)) << p.x() << "," << p.y();
}

TEST_F(SkinMessages, TheIconAndTheCaptionStartAtTheLeft) {
  QPixmap icon(16, 16);
  icon.fill(Qt::red);
  window.setWindowIcon(QIcon(icon));
  skin("CaptionColor=&H00FF00\r\n");
  EXPECT_TRUE(ui().painter().smallIcon());
  EXPECT_EQ(pixelAt(frameDC(), 4, 8), QColor(Qt::red));
  EXPECT_EQ(pixelAt(frameDC(), 19, 23), QColor(Qt::red));
  EXPECT_EQ(pixelAt(frameDC(), 20, 24), frameColour());

  window.setWindowIcon(QIcon());
  repaint();
  EXPECT_FALSE(ui().painter().smallIcon());
  bool textNearTheLeft = false;
  for (int x = 4; x < 12; ++x) {
    for (int y = 5; y < 26; ++y) textNearTheLeft |= pixelAt(frameDC(), x, y) != frameColour();
  }
  EXPECT_TRUE(textNearTheLeft) << "the caption moves to x = 4";
}

TEST_F(SkinMessages, ALongCaptionEndsBeforeTheStrip) {
  skin("CaptionColor=&H00FF00\r\n");
  window.setWindowTitle(QString(200, 'W'));
  repaint();
  bool reachesTheStrip = false;
  for (int x = 250; x < 272; ++x) {
    for (int y = 2; y < 29; ++y) reachesTheStrip |= pixelAt(frameDC(), x, y) != frameColour();
  }
  EXPECT_TRUE(reachesTheStrip);
  // Below the buttons nothing of the text shows.
  for (int x = 272; x < 396; ++x) {
    for (int y = 21; y < 29; ++y)
      ASSERT_EQ(pixelAt(frameDC(), x, y), frameColour()) << x << "," << y;
  }
}

TEST_F(SkinMessages, DestroyReleasesEverythingOnce) {
  skin();
  const GdiObjectCounts before = LiveGdiObjects();
  send(true, WM_DESTROY, 0, 0);
  // Work, frame, frame picture and sprite sheet; there is no background.
  EXPECT_EQ(LiveGdiObjects().deviceContexts, before.deviceContexts - 4);
  EXPECT_FALSE(ui().messages().subclassTable()[0].window);
  window.skin.reset();
  EXPECT_EQ(LiveGdiObjects().deviceContexts, before.deviceContexts - 4);
}

}  // namespace
