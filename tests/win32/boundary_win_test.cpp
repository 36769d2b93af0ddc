// Where the system calls into the panel: errors end in the fatal report, never in a silent end.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "base/errors.h"
#include "platform/win32/boundary_win.h"

namespace yg::win32 {
namespace {

TEST(MessageLoop, AnErrorWhileHandlingAKeyEndsInTheFatalReport) {
  std::vector<std::u16string> reports;
  PostThreadMessageW(GetCurrentThreadId(), WM_KEYDOWN, VK_TAB, 0);
  const int code = RunMessageLoop(
      [](const MSG& msg) -> bool {
        if (msg.message == WM_KEYDOWN) throw PanelError(ErrorKind::FacilityFailed, "SetFocus 五");
        return false;
      },
      [&](std::u16string_view text) {
        reports.emplace_back(text);
        PostQuitMessage(3);  // as the real report ends the program
      });
  EXPECT_EQ(code, 3);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find(u"System facility failed"), std::u16string::npos);
  EXPECT_NE(reports[0].find(u"SetFocus 五"), std::u16string::npos);
}

TEST(MessageLoop, MessagesTheFilterLeavesAreDispatched) {
  static int seen = 0;
  WNDCLASSW c{};
  c.lpfnWndProc = [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
    if (message == WM_APP) ++seen;
    return DefWindowProcW(hwnd, message, wParam, lParam);
  };
  c.hInstance = GetModuleHandleW(nullptr);
  c.lpszClassName = L"YgLoopTest";
  RegisterClassW(&c);
  const HWND window = CreateWindowW(L"YgLoopTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, c.hInstance, nullptr);
  PostMessageW(window, WM_APP, 0, 0);
  PostMessageW(window, WM_KEYDOWN, VK_RETURN, 0);
  PostMessageW(window, WM_APP, 0, 0);
  PostQuitMessage(0);
  int filtered = 0;
  RunMessageLoop([&](const MSG& msg) { return msg.message == WM_KEYDOWN && ++filtered; },
                 [](std::u16string_view) { ADD_FAILURE() << "no error was raised"; });
  EXPECT_EQ(seen, 2);
  EXPECT_EQ(filtered, 1);
  DestroyWindow(window);
}

}  // namespace
}  // namespace yg::win32
