#include "tests/fakes/fake_key_sink.h"

#include <algorithm>

namespace yg::testing {

std::size_t FakeKeySink::Inject(std::span<const KeyEvent> events) {
  batches_.emplace_back(events.begin(), events.end());
  if (log) log->Add("Inject " + Describe(events));
  std::size_t take = events.size();
  if (!limits_.empty()) {
    take = limits_.front();
    limits_.pop_front();
  } else if (policy_) {
    take = policy_(events);
  }
  take = std::min(take, events.size());
  for (const KeyEvent& e : events.first(take)) {
    down_[e.vk] = e.direction == KeyDirection::Down;
    delivered_.push_back(e);
  }
  return take;
}

std::vector<std::uint8_t> FakeKeySink::HeldKeys() const {
  std::vector<std::uint8_t> held;
  for (int vk = 0; vk < 256; ++vk) {
    if (down_[vk]) held.push_back(static_cast<std::uint8_t>(vk));
  }
  return held;
}

void FakeKeySink::Clear() {
  down_.fill(false);
  limits_.clear();
  batches_.clear();
  delivered_.clear();
}

}  // namespace yg::testing
