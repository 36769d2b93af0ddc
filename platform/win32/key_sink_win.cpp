#include "platform/win32/key_sink_win.h"

namespace yg::win32 {

std::vector<INPUT> ToInputs(std::span<const KeyEvent> events) {
  std::vector<INPUT> inputs(events.size());
  for (std::size_t i = 0; i < events.size(); ++i) {
    INPUT& in = inputs[i];
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = events[i].vk;
    in.ki.wScan = events[i].scan;
    in.ki.dwFlags = (events[i].direction == KeyDirection::Up ? KEYEVENTF_KEYUP : 0) |
                    (events[i].extended ? KEYEVENTF_EXTENDEDKEY : 0);
    in.ki.time = 0;
    in.ki.dwExtraInfo = 0;
  }
  return inputs;
}

std::size_t SendInputSink::Inject(std::span<const KeyEvent> events) {
  auto inputs = ToInputs(events);
  if (inputs.empty()) return 0;
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace yg::win32
