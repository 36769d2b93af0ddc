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

}  // namespace
}  // namespace yg::win32
