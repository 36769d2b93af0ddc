#pragma once

// yg_probe_hook.dll: a hook that the measuring programs put on the thread of a program they
// watch. Inside that program it counts the messages the thread takes (timers, paints, input,
// messages sent to it) and, asked with a registered message, sends the program messages whose
// parameters must point into its own memory. What it counts goes into memory shared with the
// measuring program.

#include <windows.h>

namespace yg::tools::probe {

inline constexpr wchar_t kSharedName[] = L"Local\\YgProbeHook.Counts";
inline constexpr wchar_t kRequestMessage[] = L"YgProbeHook.Request";
// The hook procedures the DLL exports.
inline constexpr char kCallWndProc[] = "YgProbeCallWndProc";    // WH_CALLWNDPROC
inline constexpr char kGetMessageProc[] = "YgProbeGetMessage";  // WH_GETMESSAGE

// What the watched program's thread took from its queue (GetMessage, or PeekMessage with
// PM_REMOVE) and had sent to it, since the hook came in.
struct Counts {
  LONG pid;        // the process the slot belongs to; 0: free
  LONG retrieved;  // every message taken from the queue
  LONG timers;     // WM_TIMER and WM_SYSTIMER among them
  LONG paints;     // WM_PAINT among them
  LONG input;      // mouse and keyboard messages among them
  LONG sent;       // messages sent to a window of the thread (the hook's own requests included)
  LONG requests;   // requests done
};

inline constexpr int kSlots = 8;
struct Shared {
  Counts slots[kSlots];
};

// wParam of the request message; the request is done before the message returns.
enum Request : WPARAM {
  kPing = 1,
  // WM_GETDPISCALEDSIZE for the DPI, then WM_DPICHANGED with a rectangle of that size at the place
  // given: lParam bits 0-15 the DPI, 16-31 the left edge and 32-47 the top edge (signed).
  kDpiChange = 2,
};

inline LPARAM PackDpiChange(int dpi, int left, int top) {
  const auto word = [](int v) { return static_cast<ULONG_PTR>(static_cast<USHORT>(static_cast<SHORT>(v))); };
  return static_cast<LPARAM>(word(dpi) | (word(left) << 16) | (word(top) << 32));
}

inline void UnpackDpiChange(LPARAM packed, int& dpi, int& left, int& top) {
  const auto value = static_cast<ULONG_PTR>(packed);
  dpi = static_cast<USHORT>(value & 0xFFFF);
  left = static_cast<SHORT>((value >> 16) & 0xFFFF);
  top = static_cast<SHORT>((value >> 32) & 0xFFFF);
}

}  // namespace yg::tools::probe
