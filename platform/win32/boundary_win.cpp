#include "platform/win32/boundary_win.h"

namespace yg::win32 {

std::u16string FromUtf8(const char* text) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  std::u16string wide(n > 0 ? n - 1 : 0, u'\0');
  if (n > 1) MultiByteToWideChar(CP_UTF8, 0, text, -1, reinterpret_cast<wchar_t*>(wide.data()), n);
  return wide;
}

int RunMessageLoop(const std::function<bool(const MSG&)>& filter, const FatalReport& report) {
  MSG msg;
  BOOL got;
  while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
    if (got == -1) return 1;
    if (WithinBoundary(report, false, [&] { return filter(msg); })) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace yg::win32
