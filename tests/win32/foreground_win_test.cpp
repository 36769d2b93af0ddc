// Whose window is whose when the keyboard is handed back.

#include <gtest/gtest.h>

#include <windows.h>

#include "platform/win32/foreground_win.h"

namespace yg::win32 {
namespace {

TEST(Foreground, TellsThePanelsOwnWindowsFromOtherPrograms) {
  const HWND own = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(OwnerOf(own), WindowOwner::Panel);
  EXPECT_EQ(OwnerOf(nullptr), WindowOwner::None);
  // The desktop belongs to the system's shell, another program.
  EXPECT_EQ(OwnerOf(GetDesktopWindow()), WindowOwner::Other);
  DestroyWindow(own);
}

}  // namespace
}  // namespace yg::win32
