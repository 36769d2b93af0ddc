#pragma once

#include <cstddef>
#include <span>

#include "keys/key_event.h"

namespace yg {

// Where synthesised keys go: the system's input stream.
class KeySink {
 public:
  virtual ~KeySink() = default;

  // Places the events in the input stream in one go, in order, with no other input between
  // them. Returns how many of them, from the first on, the system took; it may take fewer
  // than it was given (for instance when a program of higher integrity has the focus).
  virtual std::size_t Inject(std::span<const KeyEvent> events) = 0;
};

}  // namespace yg
