#pragma once

// Where the measuring programs take the keys the panel types: a window of their own that holds the
// foreground and the keyboard, as the user's program would, and a low-level keyboard hook that
// sees every key event as the system delivers it.

#include <windows.h>

#include <vector>

#include "keys/key_event.h"

namespace yg::tools {

struct SeenKey {
  DWORD vk;
  bool up;
  bool injected;
  double at;  // NowMs()

  // A low-level hook sees the Ctrl the panel sends as the left Ctrl on Windows and under Wine 10;
  // Wine 8 passes it on as sent.
  KeyEvent Event() const {
    return {static_cast<std::uint8_t>(vk == VK_LCONTROL ? VK_CONTROL : vk), up ? KeyDirection::Up : KeyDirection::Down};
  }
};

class KeyWatch {
 public:
  // Hook: the keys as the low-level hook sees them; Queue: as the focus window takes them from
  // its queue (no hook slows the injection down: Wine hands every event of a SendInput call to
  // every low-level hook in turn).
  enum class Source { Hook, Queue };

  KeyWatch(Source source, const wchar_t* title);
  KeyWatch(const KeyWatch&) = delete;
  KeyWatch& operator=(const KeyWatch&) = delete;
  ~KeyWatch();

  bool ok() const;
  HWND Window() const { return window_; }
  bool HasKeyboard() const;
  // Makes the focus window the foreground and focus window again; false when it did not get them.
  bool TakeKeyboard();

  // Keys are kept while recording only.
  void Record(bool on) { recording_ = on; }
  void Clear();
  const std::vector<SeenKey>& Keys() const { return keys_; }
  // Key messages that reached the focus window: the keys went where the user types.
  int QueuedKeys() const { return queued_; }

 private:
  static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  Source source_;
  HHOOK hook_ = nullptr;
  HWND window_ = nullptr;
  bool recording_ = false;
  std::vector<SeenKey> keys_;
  int queued_ = 0;
};

}  // namespace yg::tools
