// yg_bare_button: one push button that types one key. A click on it sends a single key tap (down,
// then up) in one SendInput call. Like the panel, its window stays on top and never takes the
// keyboard from the program being typed into, and its button is the common controls 6 one (see
// bare_button.rc). yg_bench times the panel's clicks against it.
#include <windows.h>

namespace {

constexpr wchar_t kClassName[] = L"YgBareButton";
constexpr int kButtonId = 100;
constexpr WORD kKey = 'I';

void TapKey() {
  INPUT inputs[2]{};
  inputs[0].type = INPUT_KEYBOARD;
  inputs[0].ki.wVk = kKey;
  inputs[1] = inputs[0];
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, inputs, sizeof(INPUT));
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_COMMAND:
      if (LOWORD(wParam) == kButtonId && HIWORD(wParam) == BN_CLICKED) TapKey();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSEXW cls{};
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = WindowProc;
  cls.hInstance = instance;
  cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  cls.lpszClassName = kClassName;
  if (!RegisterClassExW(&cls)) return 1;

  const HWND hwnd = CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, kClassName, kClassName,
                                    WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, 20, 20, 200, 120, nullptr, nullptr,
                                    instance, nullptr);
  if (!hwnd) return 1;
  const HWND button = CreateWindowExW(0, L"BUTTON", L"I", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 20, 20, 100, 40, hwnd,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonId)), instance, nullptr);
  if (!button) return 1;
  ShowWindow(hwnd, SW_SHOWNOACTIVATE);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
