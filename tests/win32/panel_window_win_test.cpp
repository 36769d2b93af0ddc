// The Win32 panel in a real window (under Wine in the test run): twips and pixels, the layout
// after a DPI change, and the key events as SendInput takes them.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <vector>

#include "panel/layout.h"
#include "platform/win32/dpi_win.h"
#include "platform/win32/key_sink_win.h"
#include "platform/win32/panel_window_win.h"
#include "tests/win32/panel_fixture_win.h"

namespace yg::win32 {
namespace {

TEST(SendInputSink, EventsCarryScanCodeZeroAndOnlyTheKeyUpFlag) {
  const KeyEvent events[] = {Down(33), Up(33), Down(160), Up(160)};
  const auto inputs = ToInputs(events);
  ASSERT_EQ(inputs.size(), 4u);
  const DWORD flags[] = {0, KEYEVENTF_KEYUP, 0, KEYEVENTF_KEYUP};
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    EXPECT_EQ(inputs[i].type, static_cast<DWORD>(INPUT_KEYBOARD));
    EXPECT_EQ(inputs[i].ki.wVk, events[i].vk);
    EXPECT_EQ(inputs[i].ki.wScan, 0);
    EXPECT_EQ(inputs[i].ki.dwFlags, flags[i]) << "no extended-key flag, also not for Page Up";
    EXPECT_EQ(inputs[i].ki.dwExtraInfo, 0u);
  }
}

using testing::FontHeight;
using testing::Win32PanelTest;

TEST_F(Win32PanelTest, ReadsBackSizesInWholePixels) {
  const UINT dpi = DpiOf(panel.Handle());
  panel.SetHeight(1800);
  panel.SetWidth(5840);
  EXPECT_NEAR(panel.Width(), 5840, 1440.0 / dpi);
  EXPECT_NEAR(panel.Height(), 1800, 1440.0 / dpi);
  panel.SetLeft(4762.5f);
  panel.SetTop(9270);
  EXPECT_NEAR(panel.Left(), 4762.5, 1440.0 / dpi);
  EXPECT_NEAR(panel.Top(), 9270, 1440.0 / dpi);
  // The client area is where a window with the design frame has it, whatever the real frame.
  RECT client;
  GetClientRect(panel.Handle(), &client);
  EXPECT_EQ(client.right, TwipsToPixels(5840 - 90, dpi));
  EXPECT_EQ(client.bottom, TwipsToPixels(1800 - 330, dpi));
}

TEST_F(Win32PanelTest, ADpiChangeTakesTheSuggestedRectangleAndLaysEverythingOutAtTheNewScale) {
  panel.SetWidth(5840);
  panel.SetHeight(1800);
  // The system asks for the size first and suggests a rectangle of that size.
  SIZE size{};
  ASSERT_TRUE(SendMessageW(panel.Handle(), WM_GETDPISCALEDSIZE, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&size)));
  RECT suggested{100, 120, 100 + size.cx, 120 + size.cy};
  SendMessageW(panel.Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  RECT outer;
  GetWindowRect(panel.Handle(), &outer);
  EXPECT_TRUE(EqualRect(&outer, &suggested)) << "at " << outer.left << "," << outer.top << " " << outer.right - outer.left
                                             << " x " << outer.bottom - outer.top;
  // Whatever the real frame, the whole layout fits the client area it leaves.
  RECT client;
  GetClientRect(panel.Handle(), &client);
  EXPECT_GE(client.right, TwipsToPixels(5745, 144));
  EXPECT_GE(client.bottom, TwipsToPixels(1460, 144));
  const struct {
    ControlId control;
    RECT expected;  // pixels at 144 DPI in the container: twips / 10
  } cases[] = {
      {Ctl::Comm1, {0, 0, 30, 28}},
      {Ctl::Frame4, {300, 0, 483, 110}},
      {Ctl::Image6, {36, 0, 74, 56}},
      {Skb(189), {148, 57, 181, 84}},
      {Ctl::Command5, {54, 0, 92, 144}},
      {Ctl::Command23, {438, 112, 481, 144}},
  };
  for (const auto& c : cases) {
    const RECT r = ChildRect(c.control);
    EXPECT_EQ(r.left, c.expected.left) << ControlName(c.control);
    EXPECT_EQ(r.top, c.expected.top) << ControlName(c.control);
    EXPECT_EQ(r.right, c.expected.right) << ControlName(c.control);
    EXPECT_EQ(r.bottom, c.expected.bottom) << ControlName(c.control);
  }
  // Fonts follow: 9 points are 18 pixels at 144 DPI.
  EXPECT_EQ(FontHeight(GetDlgItemDeep(Ctl::Comm1)), -18);
}

// Plays a second monitor at 150% right of x = 800 as Windows does for a per-monitor aware window
// (Wine 8 has no per-monitor DPI): a move that puts the window's corner on the other monitor
// sends WM_GETDPISCALEDSIZE, then WM_DPICHANGED with a rectangle of that size at the same corner.
struct SecondMonitor {
  UINT first, second, now;
};

LRESULT CALLBACK PlaySecondMonitor(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
  auto& monitor = *reinterpret_cast<SecondMonitor*>(data);
  RECT r;
  GetWindowRect(hwnd, &r);
  const UINT dpi = r.left >= 800 ? monitor.second : monitor.first;
  if (message == WM_WINDOWPOSCHANGED && dpi != monitor.now) {
    monitor.now = dpi;
    SIZE size{};
    SendMessageW(hwnd, WM_GETDPISCALEDSIZE, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&size));
    RECT suggested{r.left, r.top, r.left + size.cx, r.top + size.cy};
    SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  }
  return result;
}

// Moved by the panel itself onto a monitor of another scaling, the window takes that scale once it
// stands there: its client area's corner where it was put, the same twips at the new scale.
TEST_F(Win32PanelTest, MovedOntoAMonitorOfAnotherScalingThePanelTakesItsScaleWhereItWasPut) {
  ASSERT_EQ(DpiOf(panel.Handle()), 96u) << "the pixels below are worked out at 96 and 144 DPI";
  panel.SetWidth(5840);  // a client area of 5750 x 1470 twips: 383 x 98 pixels at 96 DPI
  panel.SetHeight(1800);
  panel.SetLeft(1500);  // its corner at 103, 119
  panel.SetTop(1500);
  SecondMonitor monitor{96, 144, 96};
  SetWindowSubclass(panel.Handle(), PlaySecondMonitor, 1, reinterpret_cast<DWORD_PTR>(&monitor));
  const struct {
    const char* move;
    std::function<void()> make;
    RECT client;  // on the screen
    UINT dpi;
  } cases[] = {
      {"its left edge onto the second", [&] { panel.SetLeft(15000); }, {1003, 119, 1003 + 575, 119 + 147}, 144},
      {"to a place taken there", [&] { panel.Move(20000, 3000, 144); }, {2005, 329, 2005 + 575, 329 + 147}, 144},
      {"back to the first, at its scale now", [&] { panel.Move(1500, 1500, 0); }, {155, 179, 155 + 383, 179 + 98},
       96},
  };
  for (const auto& c : cases) {
    c.make();
    RECT client;
    GetClientRect(panel.Handle(), &client);
    MapWindowPoints(panel.Handle(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    EXPECT_TRUE(EqualRect(&client, &c.client)) << c.move << ": " << client.left << "," << client.top << " "
                                               << client.right - client.left << " x " << client.bottom - client.top;
    EXPECT_EQ(LayoutDpiOf(panel.Handle()), c.dpi) << c.move;
    EXPECT_EQ(ChildRect(Ctl::Comm1).right, TwipsToPixels(300, c.dpi)) << c.move << ": laid out at that scale";
  }
  RemoveWindowSubclass(panel.Handle(), PlaySecondMonitor, 1);
}

// Counts the fonts a control still uses that were freed before the new one came.
LRESULT CALLBACK WatchFonts(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR freed) {
  if (message == WM_SETFONT) {
    const auto current = reinterpret_cast<HGDIOBJ>(DefSubclassProc(hwnd, WM_GETFONT, 0, 0));
    if (current && GetObjectType(current) == 0) ++*reinterpret_cast<int*>(freed);
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

HWND TooltipOfThisThread() {
  HWND found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM result) -> BOOL {
        wchar_t name[64] = {};
        GetClassNameW(hwnd, name, 64);
        if (lstrcmpiW(name, TOOLTIPS_CLASSW) != 0) return TRUE;
        *reinterpret_cast<HWND*>(result) = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

int IconWidth(HWND hwnd, WPARAM which) {
  ICONINFO info{};
  if (!GetIconInfo(reinterpret_cast<HICON>(SendMessageW(hwnd, WM_GETICON, which, 0)), &info)) return 0;
  BITMAP bitmap{};
  GetObjectW(info.hbmMask, sizeof bitmap, &bitmap);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return bitmap.bmWidth;
}

TEST_F(Win32PanelTest, ADpiChangeGivesEveryControlItsNewFontBeforeTheOldIsFreed) {
  int freedInUse = 0;
  std::vector<HWND> children;
  EnumChildWindows(
      panel.Handle(),
      [](HWND child, LPARAM list) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&children));
  const HWND tooltip = TooltipOfThisThread();
  ASSERT_TRUE(tooltip);
  children.push_back(tooltip);
  for (HWND child : children) SetWindowSubclass(child, WatchFonts, 1, reinterpret_cast<DWORD_PTR>(&freedInUse));

  for (UINT dpi : {144u, 120u, 96u}) {
    RECT suggested{100, 100, 700, 300};
    SendMessageW(panel.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(freedInUse, 0) << dpi << " DPI";
    // 9 points at the new DPI, on the keys and on the tips alike.
    const LONG height = -MulDiv(9, static_cast<int>(dpi), 72);
    EXPECT_EQ(FontHeight(GetDlgItemDeep(Ctl::Comm1)), height) << dpi << " DPI";
    EXPECT_EQ(FontHeight(GetDlgItemDeep(Skb(49))), height) << dpi << " DPI";
    EXPECT_EQ(FontHeight(tooltip), height) << dpi << " DPI";
    EXPECT_EQ(IconWidth(panel.Handle(), ICON_BIG), MetricForDpi(SM_CXICON, dpi)) << dpi << " DPI";
    EXPECT_EQ(IconWidth(panel.Handle(), ICON_SMALL), MetricForDpi(SM_CXSMICON, dpi)) << dpi << " DPI";
  }
  for (HWND child : children) RemoveWindowSubclass(child, WatchFonts, 1);
}

// At 125% and 175% a twip is not a whole share of a pixel: neighbours that touch in the layout
// must still touch on the screen, with neither a gap nor an overlap of a pixel between them.
TEST_F(Win32PanelTest, NeighboursTouchOnTheScreenAtFractionalScales) {
  for (UINT dpi : {120u, 168u}) {
    RECT suggested{0, 0, 800, 300};
    SendMessageW(panel.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    int pairs = 0;
    for (const LayoutRow& a : LayoutTable()) {
      for (const LayoutRow& b : LayoutTable()) {
        if (a.container != b.container || a.left + a.width != b.left) continue;
        if (a.top >= b.top + b.height || b.top >= a.top + a.height) continue;  // not side by side
        ++pairs;
        EXPECT_EQ(ChildRect(a.control).right, ChildRect(b.control).left)
            << ControlName(a.control) << " and " << ControlName(b.control) << " at " << dpi << " DPI";
      }
    }
    EXPECT_GT(pairs, 50);
  }
}

}  // namespace
}  // namespace yg::win32
