#include "FramePainter.h"

#include "Gdi.h"
#include "SkinValue.h"
#include "Window.h"

#include <algorithm>

using namespace ModAPI;

namespace {

constexpr qint32 kCaptionHeight = 31;  // the caption bar, the body's top
constexpr qint32 kIconLeft = 4;
constexpr qint32 kIconSize = 16;
constexpr unsigned kCaptionFormat = DT_SINGLELINE | DT_END_ELLIPSIS;

// The blend function with a constant opacity and no per-pixel alpha.
constexpr quint32 opacity(qint32 alpha) {
  return quint32(alpha) << 16;
}

}  // namespace

FramePainter::FramePainter(const SkinDescription& description, const FrameGeometry& geometry,
                           const HostWindow& host)
    : description_(description), geometry_(geometry), host_(host) {}

bool FramePainter::surfacesFit() const {
  BITMAP frame;
  if (!WorkDC || !GetObjectA(GetCurrentBitmap(FrameDC.get()), &frame)) return false;
  const HDC window = GetDC(host_.HostWnd);
  const bool sameDensity = GetDeviceDensity(window) == GetDeviceDensity(FrameDC.get());
  ReleaseDC(host_.HostWnd, window);
  return sameDensity && QSize(frame.bmWidth, frame.bmHeight) == geometry_.clientSize();
}

// At the window's pixel density, so that text, icon and pictures use every
// pixel of a high-density screen.
void FramePainter::makeSurfaces() {
  if (FrameDC) return;
  const QSize size = geometry_.clientSize();
  const HDC window = GetDC(host_.HostWnd);
  WorkDC.reset(mDC::CreateSurface(size.width(), size.height(), window));
  FrameDC.reset(mDC::CreateSurface(size.width(), size.height(), window));
  ReleaseDC(host_.HostWnd, window);
}

void FramePainter::releaseSurfaces() {
  WorkDC.reset();
  FrameDC.reset();
  composedFrom_.reset();
}

FramePainter::FrameInputs FramePainter::currentInputs() {
  SmallIcon = host_.smallIcon();
  FrameInputs inputs{.surface = FrameDC.get(),
                     .client = geometry_.clientSize(),
                     .zoomed = host_.isZoomed(),
                     .caption = host_.WindowCaption(),
                     .icon = IconPictureKey(SmallIcon)};
  for (const CaptionButtonId id : kCaptionButtons) {
    inputs.buttonRects[size_t(id)] = geometry_.button(id).Rect;
    inputs.buttonsVisible[size_t(id)] = geometry_.button(id).Visible;
  }
  return inputs;
}

// Activation and a resize to the same size, as when the window is first
// shown, would compose the frame again pixel for pixel.
void FramePainter::PaintFrame() {
  FrameInputs inputs = currentInputs();
  if (composedFrom_ != inputs) {
    compose(inputs);
    composedFrom_ = std::move(inputs);
  }
  showFrame();
}

void FramePainter::compose(const FrameInputs& inputs) {
  const qint32 W = geometry_.ClientWidth;
  const qint32 H = geometry_.ClientHeight;
  const SkinPictures& pictures = description_.pictures();
  const SkinValues& values = description_.values();
  SetBkMode(WorkDC.get(), TRANSPARENT);
  mDC::DrawNineSlice(pictures.MainDC.get(), pictures.mainSize(), WorkDC.get(), {W, H},
                     values.Slices);
  drawGlyphs();
  drawIconAndCaption(inputs.caption);
  if (pictures.HasBack) {
    AlphaBlend(WorkDC.get(), 1, 1, W - 2, H - 2, pictures.BackDC.get(), 0, 0,
               std::min(W, pictures.BackWidth), std::min(H, pictures.BackHeight),
               opacity(values.BackAlpha));
  }
  BitBlt(FrameDC.get(), 0, 0, W, H, WorkDC.get(), 0, 0, SRCCOPY);
}

// Each shown button's glyph in its normal look.
void FramePainter::drawGlyphs() {
  for (const CaptionButtonId id : kCaptionButtons) {
    const SkinRect& r = geometry_.button(id).Rect;
    GlyphOrigins[size_t(id)] = {r.Left < 0 ? r.Left + geometry_.ClientWidth : r.Left,
                                r.Top < 0 ? r.Top + geometry_.ClientHeight : r.Top};
  }
  for (const CaptionButtonId id : kCaptionButtons) {
    const CaptionButton& b = geometry_.button(id);
    if (!b.Visible) continue;
    const QPoint at = GlyphOrigins[size_t(id)];
    StretchBlt(WorkDC.get(), at.x(), at.y(), b.Rect.Width, b.Rect.Height,
               description_.pictures().ButtonDC.get(), glyphSourceX(id), 0, b.Rect.Width,
               b.Rect.Height, SRCCOPY);
  }
}

// The icon centred in the caption bar's height, the caption after it, cut
// with an ellipsis where the button strip begins.
void FramePainter::drawIconAndCaption(const QString& caption) {
  SIZE extent;
  GetTextExtentPoint32W(WorkDC.get(), caption, int(caption.size()), &extent);
  qint32 textLeft = kIconLeft;
  if (SmallIcon) {
    const qint32 iconTop = SkinValue::roundHalfEven((kCaptionHeight - kIconSize) / 2.0);
    DrawIconEx(WorkDC.get(), kIconLeft, iconTop, SmallIcon, kIconSize, kIconSize, 0, nullptr,
               DI_NORMAL);
    textLeft = kIconLeft + kIconSize + 4;
  }
  const qint32 textTop = SkinValue::roundHalfEven((kCaptionHeight - extent.cy) / 2.0);
  const FrameAreas& areas = geometry_.Areas;
  mDC::DrawTextColored(WorkDC.get(), caption, textLeft, textTop, areas.strip.Left,
                       areas.body.Bottom, kCaptionFormat, description_.values().CaptionColor);
}

void FramePainter::fadeStep(FadeAnimation& fade) {
  const qint32 W = geometry_.ClientWidth;
  const qint32 H = geometry_.ClientHeight;
  const SkinPictures& pictures = description_.pictures();
  mDC::OwnedSurface back;
  if (pictures.HasBack) {
    back.reset(mDC::CreateSurface(W, H, FrameDC.get()));
    AlphaBlend(back.get(), 0, 0, W, H, pictures.BackDC.get(), 0, 0, std::min(W, pictures.BackWidth),
               std::min(H, pictures.BackHeight), opacity(255));
  }
  const auto draw = [&](CaptionButtonId id, const ButtonLook& look) {
    const SkinRect& r = geometry_.button(id).Rect;
    AlphaBlend(FrameDC.get(), r.Left, r.Top, r.Width, r.Height, pictures.ButtonDC.get(),
               glyphSourceX(id), qint32(look.State) * r.Height, r.Width, r.Height,
               opacity(look.Fade));
    if (back) {
      AlphaBlend(FrameDC.get(), r.Left, r.Top, r.Width, r.Height, back.get(), r.Left, r.Top,
                 r.Width, r.Height, opacity(description_.values().BackAlpha));
    }
  };
  if (fade.step(shownButtons(), draw)) composedFrom_.reset();
  back.reset();
  showFrame();
}

std::array<bool, 4> FramePainter::shownButtons() const {
  std::array<bool, 4> shown{};
  for (const CaptionButtonId id : kCaptionButtons) shown[size_t(id)] = geometry_.button(id).Visible;
  return shown;
}

void FramePainter::copyFrameTo(HDC dc) const {
  BitBlt(dc, 0, 0, geometry_.ClientWidth, geometry_.ClientHeight, FrameDC.get(), 0, 0, SRCCOPY);
}

void FramePainter::showFrame() const {
  const HDC screen = GetDC(host_.HostWnd);
  copyFrameTo(screen);
  ReleaseDC(host_.HostWnd, screen);
}

qint32 FramePainter::glyphSourceX(CaptionButtonId id) const {
  return geometry_.glyphLeft(id, host_.isZoomed(), description_.pictures().ButtonImageWidth);
}
