// Paints the skinned window. The frame (the nine slices of "main.bmp", the
// caption buttons in their normal look, the window icon, the caption and the
// background picture over all of it) is composed in WorkDC and kept in
// FrameDC, which is what the window shows; the fade step blends the
// buttons' current looks over FrameDC.
#pragma once

#include "FadeAnimation.h"
#include "FrameGeometry.h"
#include "HostWindow.h"
#include "SkinDescription.h"
#include "mDC.h"

#include <QString>

#include <array>
#include <optional>

class FramePainter {
 public:
  // Paints `host` with `description`'s pictures and values, where
  // `geometry` lays things out; all three outlive the painter.
  FramePainter(const SkinDescription& description, const FrameGeometry& geometry,
               const HostWindow& host);

  // Both surfaces exist with the client size and the window's density.
  bool surfacesFit() const;
  // Makes the two client-sized surfaces, at the window's density, unless
  // there are some.
  void makeSurfaces();
  void releaseSurfaces();

  // Composes the frame, unless FrameDC still holds the one composed from the
  // same inputs (the surface, the client size, the buttons' places and
  // visibility, the maximised state, the caption and the icon's picture),
  // and copies FrameDC to the window.
  void PaintFrame();
  // One tick of the fades: every shown button not yet settled gets its look
  // blended over FrameDC one step more opaque (the background picture over
  // it again), then FrameDC goes to the window.
  void fadeStep(FadeAnimation& fade);
  // FrameDC onto `dc`, a paint event's context.
  void copyFrameTo(ModAPI::HDC dc) const;
  // FrameDC onto the window, which shows it at its next repaint.
  void showFrame() const;

  ModAPI::HDC workDC() const { return WorkDC.get(); }
  ModAPI::HDC frameDC() const { return FrameDC.get(); }
  // The window's small icon as last fetched for painting.
  ModAPI::HICON smallIcon() const { return SmallIcon; }
  // Where the button's glyph was last drawn: its laid-out place, a negative
  // left edge counted from the right, a negative top from the bottom.
  QPoint glyphOrigin(CaptionButtonId id) const { return GlyphOrigins[size_t(id)]; }
  // The left column of the button's glyph in the sprite sheet now.
  qint32 glyphSourceX(CaptionButtonId id) const;

 private:
  struct FrameInputs {
    ModAPI::HDC surface;
    QSize client;
    std::array<SkinRect, 4> buttonRects{};
    std::array<bool, 4> buttonsVisible{};
    bool zoomed = false;
    QString caption;
    qint64 icon = 0;

    bool operator==(const FrameInputs&) const = default;
  };
  FrameInputs currentInputs();
  void compose(const FrameInputs& inputs);
  void drawGlyphs();
  void drawIconAndCaption(const QString& caption);
  std::array<bool, 4> shownButtons() const;

  const SkinDescription& description_;
  const FrameGeometry& geometry_;
  const HostWindow& host_;
  mDC::OwnedSurface WorkDC;
  mDC::OwnedSurface FrameDC;
  std::array<QPoint, 4> GlyphOrigins{};
  ModAPI::HICON SmallIcon;  // not owned
  // What FrameDC was composed from; empty once a fade step has drawn over it.
  std::optional<FrameInputs> composedFrom_;
};
