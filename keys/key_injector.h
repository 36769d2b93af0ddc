#pragma once

#include <span>
#include <vector>

#include "keys/key_event.h"
#include "keys/key_sequence.h"
#include "keys/key_sink.h"

namespace yg {

// Hands key sequences to the system, one batch per sequence, and makes sure the panel never
// leaves a key pressed.
class KeyInjector {
 public:
  explicit KeyInjector(KeySink& sink) : sink_(sink) {}

  // One injection call for the whole sequence. If the system takes only the first part of it,
  // the keys that part left down are released at once.
  void Send(const KeySequence& keys) const;

  static constexpr int kReleaseAttempts = 3;

 private:
  KeySink& sink_;
};

// The key-ups that release every key a run of events leaves down, the last pressed first.
std::vector<KeyEvent> ReleasesFor(std::span<const KeyEvent> delivered);

}  // namespace yg
