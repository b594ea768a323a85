// The fades on their own: how a button's look steps towards settled, which
// buttons are stepped, and the timer that drives them.
#include "FadeAnimation.h"

#include "SkinParts.h"
#include "Timer.h"
#include "Window.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

using namespace ModAPI;

namespace {

constexpr std::array<bool, 4> kAllShown = {true, true, true, true};

// The steps until nothing is left to fade, each button's count.
std::array<int, 4> stepsToSettle(FadeAnimation& fade, const std::array<bool, 4>& shown) {
  std::array<int, 4> steps{};
  while (fade.step(shown, [&](CaptionButtonId id, const ButtonLook&) { ++steps[size_t(id)]; })) {
  }
  return steps;
}

TEST(FadeAnimation, EveryButtonStartsSettledInItsNormalLook) {
  const FadeAnimation fade;
  for (const CaptionButtonId id : kCaptionButtons)
    EXPECT_EQ(fade.look(id), (ButtonLook{255, ButtonState::ButtonNormal}));
}

TEST(FadeAnimation, APressSettlesIn155StepsAChangeIn55) {
  FadeAnimation fade;
  fade.start(CaptionButtonId::Close, FadeAnimation::kPressFade, ButtonState::ButtonPressed);
  fade.start(CaptionButtonId::Help, FadeAnimation::kChangeFade, ButtonState::ButtonHover);
  EXPECT_EQ(stepsToSettle(fade, kAllShown), (std::array{155, 0, 0, 55}));
  EXPECT_EQ(fade.look(CaptionButtonId::Close), (ButtonLook{255, ButtonState::ButtonPressed}));
  EXPECT_EQ(fade.look(CaptionButtonId::Help), (ButtonLook{255, ButtonState::ButtonHover}))
      << "a settled button keeps the look it faded into";
}

// Each step hands over the look one step more opaque than before, in the
// buttons' order.
TEST(FadeAnimation, AStepDrawsEachUnsettledButtonOnceMoreOpaque) {
  FadeAnimation fade;
  fade.start(CaptionButtonId::Minimise, 253, ButtonState::ButtonHover);
  fade.start(CaptionButtonId::Close, 254, ButtonState::ButtonNormal);
  std::vector<std::pair<CaptionButtonId, ButtonLook>> drawn;
  const auto record = [&](CaptionButtonId id, const ButtonLook& look) {
    drawn.emplace_back(id, look);
  };
  EXPECT_TRUE(fade.step(kAllShown, record));
  EXPECT_TRUE(fade.step(kAllShown, record));
  EXPECT_FALSE(fade.step(kAllShown, record)) << "nothing left to fade";
  using enum ButtonState;
  const std::vector<std::pair<CaptionButtonId, ButtonLook>> expected = {
      {CaptionButtonId::Close, {255, ButtonNormal}},
      {CaptionButtonId::Minimise, {254, ButtonHover}},
      {CaptionButtonId::Minimise, {255, ButtonHover}},
  };
  EXPECT_EQ(drawn, expected);
}

TEST(FadeAnimation, AHiddenButtonIsNeitherSteppedNorDrawn) {
  FadeAnimation fade;
  fade.startAllNormal();
  const std::array<bool, 4> helpHidden = {true, true, true, false};
  EXPECT_EQ(stepsToSettle(fade, helpHidden), (std::array{55, 55, 55, 0}));
  EXPECT_EQ(fade.look(CaptionButtonId::Help), (ButtonLook{200, ButtonState::ButtonNormal}));
  // Shown again, it fades on from where it stood.
  EXPECT_EQ(stepsToSettle(fade, kAllShown), (std::array{0, 0, 0, 55}));
}

TEST(FadeAnimation, EveryButtonReturnsToNormal) {
  FadeAnimation fade;
  fade.start(CaptionButtonId::Maximise, FadeAnimation::kPressFade, ButtonState::ButtonPressed);
  fade.startAllNormal();
  for (const CaptionButtonId id : kCaptionButtons)
    EXPECT_EQ(fade.look(id), (ButtonLook{200, ButtonState::ButtonNormal}));
}

// The timer runs from the first start until the step that finds nothing to
// fade; the window's own ticks drive it.
TEST(FadeAnimation, TheTimerRunsUntilAStepFindsNothingToFade) {
  SetManualClock(true);
  QWidget window;
  window.show();
  const HWND hwnd = WindowHandle(&window);
  FadeAnimation fade;
  fade.step(kAllShown, [](CaptionButtonId, const ButtonLook&) {});
  fade.start(CaptionButtonId::Close, FadeAnimation::kChangeFade, ButtonState::ButtonHover);
  EXPECT_FALSE(IsTimerSet(hwnd, FadeAnimation::FadeTimer)) << "no window, no timer";

  fade.setWindow(hwnd);
  fade.start(CaptionButtonId::Close, FadeAnimation::kChangeFade, ButtonState::ButtonHover);
  EXPECT_TRUE(IsTimerSet(hwnd, FadeAnimation::FadeTimer));
  stepsToSettle(fade, kAllShown);
  EXPECT_FALSE(IsTimerSet(hwnd, FadeAnimation::FadeTimer));
  fade.startAllNormal();
  EXPECT_TRUE(IsTimerSet(hwnd, FadeAnimation::FadeTimer));
  fade.stop();
  EXPECT_FALSE(IsTimerSet(hwnd, FadeAnimation::FadeTimer));
  SetManualClock(false);
}

}  // namespace
