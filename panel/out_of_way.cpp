#include "panel/out_of_way.h"

#include "panel/settings.h"

namespace yg {

std::uint8_t AlphaOf(int percent) { return static_cast<std::uint8_t>((255 * percent + 50) / 100); }

bool IdleFade::Active() const { return percent_ < kOpaque && !highContrast_; }

void IdleFade::Configure(int percent, bool highContrast) {
  const bool was = Active();
  const bool changed = percent != percent_;
  percent_ = percent;
  highContrast_ = highContrast;
  if (Active()) {
    if (!was || changed) Watch();
  } else if (was) {
    Stop();
    window_.SetOpacity(std::nullopt);
  }
}

void IdleFade::Shown() {
  shown_ = true;
  if (Active()) Watch();
}

void IdleFade::Hidden() {
  shown_ = false;
  if (phase_ != Phase::Still) Stop();
}

void IdleFade::PointerOver() {
  if (phase_ == Phase::Watching) {
    count_ = 0;
  } else if (Active() && shown_) {
    Watch();
  }
}

void IdleFade::Tick() {
  if (phase_ == Phase::Still) return Stop();  // a tick that was on its way
  if (window_.PointerOver()) {
    if (phase_ == Phase::Fading) return Watch();
    count_ = 0;
    return;
  }
  if (phase_ == Phase::Watching) {
    if (++count_ < kChecksBeforeFading) return;
    phase_ = Phase::Fading;
    count_ = 0;
    window_.StartTimer(TimerId::IdleFade, kFadeStepMilliseconds);
    return;
  }
  ++count_;
  const int target = AlphaOf(percent_);
  window_.SetOpacity(static_cast<std::uint8_t>(255 - (255 - target) * count_ / kFadeSteps));
  if (count_ >= kFadeSteps) Stop();
}

void IdleFade::Watch() {
  if (!shown_) return;
  window_.SetOpacity(255);
  phase_ = Phase::Watching;
  count_ = 0;
  window_.StartTimer(TimerId::IdleFade, kPointerCheckMilliseconds);
}

void IdleFade::Stop() {
  window_.StopTimer(TimerId::IdleFade);
  phase_ = Phase::Still;
  count_ = 0;
}

}  // namespace yg
