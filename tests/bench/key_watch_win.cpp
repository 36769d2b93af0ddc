#include "tests/bench/key_watch_win.h"

#include "tests/bench/tool_win.h"

namespace yg::tools {

namespace {

constexpr wchar_t kFocusClass[] = L"YgMeasureFocus";
// The one watch of the program: a low-level hook has no parameter to find it by.
KeyWatch* g_watch = nullptr;

}  // namespace

KeyWatch::KeyWatch(Source source, const wchar_t* title) : source_(source) {
  g_watch = this;
  WNDCLASSEXW cls{};
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = WindowProc;
  cls.hInstance = GetModuleHandleW(nullptr);
  cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  cls.lpszClassName = kFocusClass;
  RegisterClassExW(&cls);
  // Out of the way of the panel, which starts at the bottom of the screen.
  window_ = CreateWindowExW(0, kFocusClass, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 640, 40, 360, 200, nullptr,
                            nullptr, cls.hInstance, nullptr);
  if (source == Source::Hook) hook_ = SetWindowsHookExW(WH_KEYBOARD_LL, HookProc, GetModuleHandleW(nullptr), 0);
}

KeyWatch::~KeyWatch() {
  if (hook_) UnhookWindowsHookEx(hook_);
  if (window_) DestroyWindow(window_);
  g_watch = nullptr;
}

bool KeyWatch::ok() const { return window_ && (source_ == Source::Queue || hook_); }

bool KeyWatch::HasKeyboard() const {
  return window_ && GetForegroundWindow() == window_ && GetFocus() == window_;
}

bool KeyWatch::TakeKeyboard() {
  if (HasKeyboard()) return true;
  SetForegroundWindow(window_);
  SetFocus(window_);
  return PumpUntil(NowMs() + 3000, [this] { return HasKeyboard(); });
}

void KeyWatch::Clear() {
  keys_.clear();
  queued_ = 0;
}

LRESULT CALLBACK KeyWatch::HookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && g_watch && g_watch->recording_) {
    const double now = NowMs();
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    g_watch->keys_.push_back({key->vkCode, wParam == WM_KEYUP || wParam == WM_SYSKEYUP,
                              (key->flags & LLKHF_INJECTED) != 0, now});
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK KeyWatch::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
      if (g_watch && g_watch->recording_) {
        ++g_watch->queued_;
        if (g_watch->source_ == Source::Queue) {
          g_watch->keys_.push_back(
              {static_cast<DWORD>(wParam), message == WM_KEYUP || message == WM_SYSKEYUP, true, NowMs()});
        }
      }
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace yg::tools
