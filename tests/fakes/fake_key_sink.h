#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "keys/key_sink.h"
#include "tests/expected_clicks.h"
#include "tests/fakes/call_log.h"

namespace yg::testing {

// The system's input stream as the panel sees it: keeps the state of all 256 keys, records
// what it was handed and what it took, and can be told to take only part of a batch.
class FakeKeySink : public KeySink {
 public:
  std::size_t Inject(std::span<const KeyEvent> events) override;

  // The next injection takes only its first `n` events (queued; one entry per call).
  void TakeOnlyNext(std::size_t n) { limits_.push_back(n); }
  // Decides, for every call without a queued limit, how many events to take.
  void SetPolicy(std::function<std::size_t(std::span<const KeyEvent>)> policy) { policy_ = std::move(policy); }

  const std::vector<std::vector<KeyEvent>>& Batches() const { return batches_; }
  const std::vector<KeyEvent>& Delivered() const { return delivered_; }
  std::vector<std::uint8_t> HeldKeys() const;
  void Clear();

 CallLog* log = nullptr;  // when set, every call is logged as "Inject d17 ..."

 private:
  std::array<bool, 256> down_{};
  std::deque<std::size_t> limits_;
  std::function<std::size_t(std::span<const KeyEvent>)> policy_;
  std::vector<std::vector<KeyEvent>> batches_;
  std::vector<KeyEvent> delivered_;
};


}  // namespace yg::testing
