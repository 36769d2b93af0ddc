// The Windows side of the desktop around the panel, in real windows under Wine: the single-copy
// decision, integrity levels read from this process's own token, the monitors, the tip window,
// and the panel coming back onto the screen after a display change.

#include <gtest/gtest.h>

#include <windows.h>

#include "panel/form1.h"
#include "platform/win32/displays_win.h"
#include "platform/win32/dpi_win.h"
#include "platform/win32/key_target_win.h"
#include "platform/win32/panel_window_win.h"
#include "platform/win32/shell_win.h"
#include "platform/win32/tip_win.h"
#include "tests/win32/panel_fixture_win.h"

namespace yg::win32 {
namespace {

TEST(SingleCopyFrom, EveryResultOfCreateMutex) {
  const struct {
    const char* name;
    bool gotHandle;
    DWORD error;
    SingleCopy expected;
  } cases[] = {
      {"made it", true, ERROR_SUCCESS, SingleCopy::First},
      {"opened a copy's mutex", true, ERROR_ALREADY_EXISTS, SingleCopy::Another},
      {"a copy run as administrator holds it", false, ERROR_ACCESS_DENIED, SingleCopy::Another},
      {"another kind of object has the name", false, ERROR_INVALID_HANDLE, SingleCopy::Failed},
      {"out of resources", false, ERROR_NOT_ENOUGH_MEMORY, SingleCopy::Failed},
      {"no error said", false, ERROR_SUCCESS, SingleCopy::Failed},
  };
  for (const auto& c : cases) EXPECT_EQ(SingleCopyFrom(c.gotHandle, c.error), c.expected) << c.name;
}

TEST(IntegrityLevel, OfThisProcessIsOneWindowsKnowsAndOfSomethingElseNothing) {
  const auto own = IntegrityLevelOf(GetCurrentProcess());
  ASSERT_TRUE(own.has_value());
  EXPECT_TRUE(*own == 0x1000 || *own == 0x2000 || *own == 0x2100 || *own == 0x3000 || *own == 0x4000)
      << std::hex << *own;
  // A handle whose token cannot be opened, as a protected process's: nothing to read. (Wine
  // grants every right to every handle of a process, so an event stands in for it.)
  ScopedHandle event(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  ASSERT_TRUE(event);
  EXPECT_FALSE(IntegrityLevelOf(event.get()).has_value());
}

TEST(ReachBetween, KeysAreDroppedOnlyOnTheirWayUp) {
  const struct {
    std::optional<DWORD> panel, target;
    KeyReach reach;
  } cases[] = {
      {0x2000, 0x3000, KeyReach::Blocked},  // an ordinary panel, a program run as administrator
      {0x2000, 0x2100, KeyReach::Blocked},
      {0x1000, 0x2000, KeyReach::Blocked},
      {0x2000, 0x2000, KeyReach::Reaches},
      {0x3000, 0x3000, KeyReach::Reaches},
      {0x3000, 0x2000, KeyReach::Reaches},  // down is fine
      {0x2000, std::nullopt, KeyReach::Unknown},
      {std::nullopt, 0x3000, KeyReach::Unknown},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReachBetween(c.panel, c.target), c.reach)
        << std::hex << c.panel.value_or(0) << " to " << c.target.value_or(0);
  }
}

class DesktopWinTest : public testing::PanelRigTest {
 protected:
  RECT WindowRect() const {
    RECT r{};
    GetWindowRect(panel.Handle(), &r);
    return r;
  }

  void MoveTo(int x, int y) {
    SetWindowPos(panel.Handle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  RECT PrimaryWork() const {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
  }
};

TEST_F(DesktopWinTest, TheSystemsMonitorsPrimaryFirstInTwipsAtThePanelsScale) {
  testing::ChangeDpi(panel.Handle(), 120);  // 12 twips a pixel
  const auto areas = displays.WorkAreas();
  ASSERT_FALSE(areas.empty());
  const RECT work = PrimaryWork();
  EXPECT_EQ(areas.front(), (ScreenRect{12.0 * work.left, 12.0 * work.top, 12.0 * work.right, 12.0 * work.bottom}));
  EXPECT_EQ(areas.front().left, 0);
  EXPECT_EQ(areas.front().top, 0);
  MoveTo(-30, 40);
  const ScreenRect bounds = displays.PanelBounds();
  EXPECT_EQ(bounds.left, -360);
  EXPECT_EQ(bounds.top, 480);
  EXPECT_EQ(bounds.Width(), 12.0 * (WindowRect().right - WindowRect().left));
}

// The compositor draws a shown window's frame inside its rectangle; of a window never shown it
// knows nothing that means anything (start-up places the panel hidden).
TEST_F(DesktopWinTest, ThePanelsOutlineIsItsWindowUntilShownThenTheFrameTheCompositorDraws) {
  testing::ChangeDpi(panel.Handle(), 120);  // 12 twips a pixel
  displays.drawnFrame = [](HWND) { return std::optional(RECT{107, 203, 493, 318}); };
  const RECT r = WindowRect();
  EXPECT_EQ(displays.PanelBounds(), (ScreenRect{12.0 * r.left, 12.0 * r.top, 12.0 * r.right, 12.0 * r.bottom}))
      << "hidden";
  ShowWindow(panel.Handle(), SW_SHOWNA);
  EXPECT_EQ(displays.PanelBounds(), (ScreenRect{1284, 2436, 5916, 3816})) << "shown";
}

TEST_F(DesktopWinTest, ADisplayChangeBringsAStrandedPanelBackByTheLeastDistance) {
  const RECT work = PrimaryWork();
  const struct {
    const char* name;
    UINT message;
    WPARAM wParam;
    bool moves;
  } cases[] = {
      {"display change", WM_DISPLAYCHANGE, 32, true},
      {"work area change", WM_SETTINGCHANGE, SPI_SETWORKAREA, true},
      {"another setting", WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER, false},
  };
  for (const auto& c : cases) {
    MoveTo(work.left - 50, work.bottom - 20);  // off the left and the bottom
    const RECT before = WindowRect();
    SendMessageW(panel.Handle(), c.message, c.wParam, 0);
    const RECT after = WindowRect();
    if (c.moves) {
      EXPECT_EQ(after.left, work.left) << c.name;
      EXPECT_EQ(after.bottom, work.bottom) << c.name;
      EXPECT_EQ(after.right - after.left, before.right - before.left) << c.name << ": the size is kept";
    } else {
      EXPECT_TRUE(EqualRect(&after, &before)) << c.name;
    }
  }
}

TEST_F(DesktopWinTest, AScaleChangeWhileTheUserDragsThePanelLeavesItWhereTheSystemPutIt) {
  const RECT work = PrimaryWork();
  SendMessageW(panel.Handle(), WM_ENTERSIZEMOVE, 0, 0);
  RECT suggested = WindowRect();
  OffsetRect(&suggested, work.left - 100 - suggested.left, work.top + 10 - suggested.top);
  const UINT dpi = DpiOf(panel.Handle());
  testing::ChangeDpi(panel.Handle(), dpi, suggested);
  EXPECT_EQ(WindowRect().left, work.left - 100) << "while dragging";
  SendMessageW(panel.Handle(), WM_EXITSIZEMOVE, 0, 0);
  testing::ChangeDpi(panel.Handle(), dpi, suggested);
  EXPECT_EQ(WindowRect().left, work.left) << "a change of scale of its own";
}

TEST_F(DesktopWinTest, TheTipShowsOnTopWithoutTakingTheActivation) {
  panel.Show();
  SetForegroundWindow(panel.Handle());
  const HWND before = GetForegroundWindow();
  testing::ChangeDpi(panel.Handle(), 120);  // the tip takes the panel's scale: 12 twips a pixel
  const TipWindow::Size size = tip.Measure(kNoInputMethodTip, 3600);
  EXPECT_LE(size.width, 3600);
  const TipWindow::Size wide = tip.Measure(kNoInputMethodTip, 24000);
  EXPECT_GT(size.height, wide.height) << "narrower means more lines";
  tip.Show(kNoInputMethodTip, 480, 600, size);
  const HWND hwnd = tip.Handle();
  ASSERT_TRUE(hwnd);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  RECT r{};
  GetWindowRect(hwnd, &r);
  EXPECT_EQ(r.left, 40);
  EXPECT_EQ(r.top, 50);
  EXPECT_NEAR(r.right - r.left, size.width / 12, 0.5);
  const auto ex = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE));
  EXPECT_EQ(ex & (WS_EX_NOACTIVATE | WS_EX_TOPMOST), static_cast<DWORD>(WS_EX_NOACTIVATE | WS_EX_TOPMOST));
  EXPECT_EQ(GetWindow(hwnd, GW_OWNER), nullptr) << "an owned topmost popup keeps the panel out of the topmost band";
  EXPECT_EQ(GetForegroundWindow(), before);
  EXPECT_EQ(SendMessageW(hwnd, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
            MA_NOACTIVATE);
  SendMessageW(hwnd, WM_TIMER, 1, 0);  // its few seconds are up
  EXPECT_FALSE(IsWindowVisible(hwnd));
}

// The system answers these presses itself (the move loop, the window menu, the close box); a tip
// left standing would float where the panel no longer is.
TEST_F(DesktopWinTest, APressOnTheTitleBarOrTheBorderTakesTheTipAway) {
  const struct {
    const char* name;
    UINT message;
    WPARAM hit;
  } cases[] = {
      {"left, on the border", WM_NCLBUTTONDOWN, HTBORDER},
      {"right, on the border", WM_NCRBUTTONDOWN, HTBORDER},
      {"middle, on the title bar", WM_NCMBUTTONDOWN, HTCAPTION},
  };
  fake.target.reach = KeyReach::Blocked;
  for (const auto& c : cases) {
    form.Click(Ctl::Command29);
    ASSERT_TRUE(tip.Handle() && IsWindowVisible(tip.Handle())) << c.name;
    SendMessageW(panel.Handle(), c.message, c.hit, 0);
    EXPECT_FALSE(IsWindowVisible(tip.Handle())) << c.name;
  }
}

TEST_F(DesktopWinTest, ThisProcessInTheForegroundCanBeTypedInto) {
  panel.Show();
  SetForegroundWindow(panel.Handle());
  ASSERT_EQ(GetForegroundWindow(), panel.Handle());
  SystemKeyTarget target;
  EXPECT_EQ(target.KeysReachFocus(), KeyReach::Reaches);
  EXPECT_EQ(target.Layout(), reinterpret_cast<LayoutHandle>(GetKeyboardLayout(0)));
}

}  // namespace
}  // namespace yg::win32
