#pragma once

#include <windows.h>

#include <vector>

#include "keys/key_sink.h"

namespace yg::win32 {

// The key events as SendInput takes them: each by its virtual key, with the scan code it carries
// (0 unless remote-desktop mode gave it one), KEYEVENTF_KEYUP for a release and
// KEYEVENTF_EXTENDEDKEY only for an E0-prefixed scan code (so never for scan code 0, also not
// for Page Up and Page Down), no extra information.
std::vector<INPUT> ToInputs(std::span<const KeyEvent> events);

// One SendInput call per batch: the system inserts the events contiguously, so no keystroke of
// the user lands in the middle of a stroke code.
class SendInputSink : public KeySink {
 public:
  std::size_t Inject(std::span<const KeyEvent> events) override;
};

}  // namespace yg::win32
