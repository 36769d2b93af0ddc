#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "keys/key_event.h"
#include "keys/key_sequence.h"
#include "keys/key_sink.h"

namespace yg {

// What the layout of the program the keys go to says of a virtual key's scan code, as
// MapVirtualKeyEx with MAPVK_VK_TO_VSC_EX gives it (see ScanCodeOf).
using ScanCodeLookup = std::function<std::uint32_t(std::uint8_t vk)>;

// Hands key sequences to the system, one batch per sequence, and makes sure the panel never
// leaves a key pressed.
class KeyInjector {
 public:
  explicit KeyInjector(KeySink& sink) : sink_(sink) {}

  // From now on every event carries its key's scan code from `lookup`; an empty lookup sends
  // scan code 0 and no extended flag again.
  void UseScanCodes(ScanCodeLookup lookup) { scanCodes_ = std::move(lookup); }

  // One injection call for the whole sequence. If the system takes only the first part of it,
  // the keys that part left down are released at once.
  void Send(const KeySequence& keys) const;

  static constexpr int kReleaseAttempts = 3;

 private:
  std::vector<KeyEvent> WithScanCodes(std::span<const KeyEvent> events) const;

  KeySink& sink_;
  ScanCodeLookup scanCodes_;
};

// The key-ups that release every key a run of events leaves down, the last pressed first.
std::vector<KeyEvent> ReleasesFor(std::span<const KeyEvent> delivered);

}  // namespace yg
