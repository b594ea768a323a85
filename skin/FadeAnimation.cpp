#include "FadeAnimation.h"

#include "Timer.h"

void FadeAnimation::start(CaptionButtonId id, qint32 Fade, ButtonState State) {
  looks_[size_t(id)] = {Fade, State};
  ModAPI::SetTimer(window_, FadeTimer, kPeriod, nullptr);
}

void FadeAnimation::startAllNormal() {
  looks_.fill({kChangeFade, ButtonState::ButtonNormal});
  ModAPI::SetTimer(window_, FadeTimer, kPeriod, nullptr);
}

void FadeAnimation::stop() {
  ModAPI::KillTimer(window_, FadeTimer);
}
