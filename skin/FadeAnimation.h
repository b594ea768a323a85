// The caption buttons' fades. Each button shows one sprite row of its glyph
// (State) and blends it in over what the frame shows, one step more opaque
// (Fade, up to 255) on every tick of its window's timer FadeTimer, until
// every shown button has settled; the tick that finds none left to fade
// stops the timer.
#pragma once

#include "FrameGeometry.h"
#include "Handles.h"

#include <array>

// The sprite row a button shows.
enum class ButtonState : qint32 { ButtonNormal = 0, ButtonHover = 1, ButtonPressed = 2 };

// A button's look: the opacity with which its State's glyph is being
// blended in, 255 when settled.
struct ButtonLook {
  qint32 Fade = 255;
  ButtonState State = ButtonState::ButtonNormal;

  bool operator==(const ButtonLook&) const = default;
};

class FadeAnimation {
 public:
  // The window timer that steps the fades, and its period.
  static constexpr quint32 FadeTimer = 0;
  static constexpr quint32 kPeriod = 15;  // milliseconds
  // Where a fade starts: a press fades in over 155 steps, every other
  // change over 55.
  static constexpr qint32 kPressFade = 100;
  static constexpr qint32 kChangeFade = 200;

  // The window whose timer drives the fades; none at first, and then no
  // timer runs.
  void setWindow(ModAPI::HWND window) { window_ = window; }

  const ButtonLook& look(CaptionButtonId id) const { return looks_[size_t(id)]; }

  // `id` shows `State`, faded in from `Fade`; the timer runs (a timer
  // already running starts its period again).
  void start(CaptionButtonId id, qint32 Fade, ButtonState State);
  // Every button back to its normal look, faded in from kChangeFade.
  void startAllNormal();

  // One tick: every button that is `shown` and not settled gets one step
  // more opaque and is handed to `draw(id, look)` to be drawn so. Returns
  // whether any was; when none was, the timer stops.
  template <typename Draw>
  bool step(const std::array<bool, 4>& shown, Draw&& draw);

  // Stops the timer, wherever the fades are.
  void stop();

 private:
  std::array<ButtonLook, 4> looks_{};
  ModAPI::HWND window_;
};

template <typename Draw>
bool FadeAnimation::step(const std::array<bool, 4>& shown, Draw&& draw) {
  bool fading = false;
  for (const CaptionButtonId id : kCaptionButtons) {
    ButtonLook& look = looks_[size_t(id)];
    if (!shown[size_t(id)] || look.Fade >= 255) continue;
    fading = true;
    ++look.Fade;
    draw(id, look);
  }
  if (!fading) stop();
  return fading;
}
