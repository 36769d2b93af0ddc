// The real window's side of 空闲时透明: the pointer over a key reaches the core through the key's
// frame, and the opacity is the window's own, as any program reads it.

#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include <optional>

#include "tests/win32/panel_fixture_win.h"

namespace yg::win32 {
namespace {

class OutOfWayWinTest : public testing::PanelRigTest {
 protected:
  // The window's alpha as any program reads it; nothing when it is no layered window.
  std::optional<int> Alpha() {
    if ((GetWindowLongPtrW(panel.Handle(), GWL_EXSTYLE) & WS_EX_LAYERED) == 0) return std::nullopt;
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!GetLayeredWindowAttributes(panel.Handle(), nullptr, &alpha, &flags) || !(flags & LWA_ALPHA)) return -1;
    return alpha;
  }
};

TEST_F(OutOfWayWinTest, ThePointerOverAKeyInAFrameMakesTheFadedPanelOpaque) {
  panel.SetLeft(3000);
  panel.SetTop(3000);
  ASSERT_TRUE(SetCursorPos(0, 0));
  form.MenuChosen(MenuItem::IdleOpacity40);
  EXPECT_EQ(Alpha(), 255);
  for (int i = 0; i < 20; ++i) form.Timer(TimerId::IdleFade);
  EXPECT_EQ(Alpha(), 102) << "40% of 255";
  // As the system sends it to the key under the pointer, which hands it to Frame4, which hands it
  // to the panel.
  const HWND key = GetDlgItemDeep(Skb(50));
  SendMessageW(key, WM_SETCURSOR, reinterpret_cast<WPARAM>(key), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(Alpha(), 255);
  form.MenuChosen(MenuItem::IdleOpacity100);
  EXPECT_EQ(Alpha(), std::nullopt) << "an ordinary window again";
}

// The icon's events as the shell sends them (NOTIFYICON_VERSION_4: the event in the low word of
// lParam; Wine follows each release with NIN_SELECT), to a panel that gets no queued message in
// between: sent messages leave the time of its last queued one as it was.
TEST_F(OutOfWayWinTest, ADoubleClickOrOnePressOfEnterOnTheIconIsOneChoice) {
  form.MenuChosen(MenuItem::TrayIcon);
  constexpr UINT kPause = 0;  // longer than a double click takes
  const UINT down = WM_LBUTTONDOWN, up = WM_LBUTTONUP, dbl = WM_LBUTTONDBLCLK, select = NIN_SELECT, key = NIN_KEYSELECT;
  const struct {
    const char* what;
    std::vector<UINT> events;
    bool shown;
  } cases[] = {
      {"a double click", {down, up, select, dbl, up, select}, true},
      {"a double click, then a click", {down, up, select, dbl, up, select, down, up, select}, false},
      {"Enter, which may come twice", {key, key}, true},
      {"Enter a moment after Enter", {kPause, key}, true},
  };
  for (const auto& c : cases) {
    ShowWindow(panel.Handle(), SW_HIDE);
    for (UINT event : c.events) {
      if (event == kPause) Sleep(GetDoubleClickTime() + 100);
      SendMessageW(panel.Handle(), TrayIcon::kMessage, 0, MAKELPARAM(event, 1));
    }
    EXPECT_EQ(IsWindowVisible(panel.Handle()) != FALSE, c.shown) << c.what;
  }
  EXPECT_TRUE(fake.window.fatalErrors.empty());
}

}  // namespace
}  // namespace yg::win32
