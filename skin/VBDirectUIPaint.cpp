// Composing the window's frame off-screen, and the fade step that blends the
// caption buttons into their current looks.
#include "VBDirectUI.h"

#include "CodePage.h"
#include "Gdi.h"
#include "SkinValue.h"
#include "Subclass.h"
#include "Timer.h"
#include "Window.h"

#include <algorithm>

using namespace ModAPI;

namespace {

constexpr qint32 kCaptionHeight = 31;  // the caption bar, the body's top
constexpr qint32 kIconLeft = 4;
constexpr qint32 kIconSize = 16;
constexpr unsigned kCaptionFormat = DT_SINGLELINE | DT_END_ELLIPSIS;

// The blend function with a constant opacity and no per-pixel alpha.
constexpr quint32 Opacity(qint32 alpha) {
  return quint32(alpha) << 16;
}

}  // namespace

VBDirectUI::FrameInputs VBDirectUI::CurrentFrameInputs() {
  SmallIcon = HICON{quint32(SendMessageA(HostWnd, WM_GETICON, ICON_SMALL2, 0))};
  FrameInputs inputs{.Surface = FrameDC,
                     .Width = ClientWidth,
                     .Height = ClientHeight,
                     .Zoomed = IsZoomed(HostWnd),
                     .Caption = WindowCaption(HostWnd),
                     .Icon = IconPictureKey(SmallIcon)};
  for (size_t i = 0; i < inputs.ButtonRects.size(); ++i) {
    inputs.ButtonRects[i] = Buttons[i].Rect;
    inputs.ButtonsVisible[i] = Buttons[i].Visible;
  }
  return inputs;
}

// The frame goes to the window, composed anew unless FrameDC still holds the
// one composed from the same inputs: activation and a resize to the same
// size, as when the window is first shown, would compose it again pixel for
// pixel. `Active` does not change the look.
void VBDirectUI::PaintFrame(bool) {
  FrameInputs inputs = CurrentFrameInputs();
  if (ComposedFrom != inputs) {
    ComposeFrame(inputs);
    ComposedFrom = std::move(inputs);
  }
  ShowFrame();
}

// Everything is composed in WorkDC, then copied to FrameDC in one piece:
// buttons in their normal look, icon, caption text and the background
// picture over all of it.
void VBDirectUI::ComposeFrame(const FrameInputs& inputs) {
  const qint32 W = ClientWidth;
  const qint32 H = ClientHeight;
  SetBkMode(WorkDC, TRANSPARENT);
  mDC::DrawNineSlice(MainDC, MainHeight, MainWidth, WorkDC, H, W, TopLeft, TopRight, TopCeter,
                     TopHeight, CetLeft, CetRight, CetCeter, CetHeight, BotLeft, BotRight, BotCeter,
                     BotHeight);
  for (size_t i = 0; i < GlyphOrigins.size(); ++i) {
    const SkinRect& r = Buttons[i].Rect;
    GlyphOrigins[i] = {r.Left < 0 ? r.Left + W : r.Left, r.Top < 0 ? r.Top + H : r.Top};
  }
  for (size_t i = 0; i < GlyphOrigins.size(); ++i) {
    const CaptionButton& b = Buttons[i];
    if (!b.Visible) continue;
    StretchBlt(WorkDC, GlyphOrigins[i][0], GlyphOrigins[i][1], b.Rect.Width, b.Rect.Height,
               ButtonDC, GlyphSourceX(qint32(i)), 0, b.Rect.Width, b.Rect.Height, SRCCOPY);
  }
  const QString& text = inputs.Caption;
  SIZE extent;
  GetTextExtentPoint32W(WorkDC, text, int(text.size()), &extent);
  qint32 textLeft = kIconLeft;
  if (SmallIcon) {
    const qint32 iconTop = SkinValue::roundHalfEven((kCaptionHeight - kIconSize) / 2.0);
    DrawIconEx(WorkDC, kIconLeft, iconTop, SmallIcon, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
    textLeft = kIconLeft + kIconSize + 4;
  }
  const qint32 textTop = SkinValue::roundHalfEven((kCaptionHeight - extent.cy) / 2.0);
  mDC::DrawTextColored(WorkDC, text, textLeft, textTop, Areas[3].Left, Areas[1].Bottom,
                       kCaptionFormat, CaptionColor);
  if (HasBack) {
    AlphaBlend(WorkDC, 1, 1, W - 2, H - 2, BackDC, 0, 0, std::min(W, BackWidth),
               std::min(H, BackHeight), Opacity(BackAlpha));
  }
  BitBlt(FrameDC, 0, 0, W, H, WorkDC, 0, 0, SRCCOPY);
}

// One tick of the fade timer: every visible button not yet settled gets its
// current look blended over FrameDC one step more opaque (the background
// picture over it again), then FrameDC goes to the window. The tick that
// finds every button settled stops the timer.
void VBDirectUI::FadeStep() {
  const qint32 W = ClientWidth;
  const qint32 H = ClientHeight;
  HDC back;
  if (HasBack) {
    back = mDC::CreateSurface(W, H, FrameDC);
    AlphaBlend(back, 0, 0, W, H, BackDC, 0, 0, std::min(W, BackWidth), std::min(H, BackHeight),
               Opacity(255));
  }
  bool fading = false;
  for (qint32 i = 0; i < 4; ++i) {
    CaptionButton& b = Buttons[size_t(i)];
    if (!b.Visible || b.Fade >= 255) continue;
    fading = true;
    ++b.Fade;
    const SkinRect& r = b.Rect;
    AlphaBlend(FrameDC, r.Left, r.Top, r.Width, r.Height, ButtonDC, GlyphSourceX(i),
               b.State * r.Height, r.Width, r.Height, Opacity(b.Fade));
    if (HasBack) {
      AlphaBlend(FrameDC, r.Left, r.Top, r.Width, r.Height, back, r.Left, r.Top, r.Width, r.Height,
                 Opacity(BackAlpha));
    }
  }
  if (fading) ComposedFrom.reset();
  if (back) mDC::ReleaseSurface(back);
  ShowFrame();
  if (!fading) KillTimer(HostWnd, 0);
}

// The maximise button shows the restore glyph while the window is maximised.
qint32 VBDirectUI::GlyphSourceX(qint32 button) const {
  return FrameLayout::GlyphLeft(button, IsZoomed(HostWnd), ButtonImageWidth, Buttons[0].Rect.Width,
                                Buttons[1].Rect.Width);
}

QString VBDirectUI::WindowCaption(HWND window) {
  QByteArray text(GetWindowTextLengthA(window) + 1, '\0');
  const int copied = GetWindowTextA(window, text.data(), int(text.size()));
  return FromCodePage(CP_ACP, text.left(copied));
}
