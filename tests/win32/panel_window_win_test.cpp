// The Win32 panel in a real window (under Wine in the test run): twips and pixels, the layout
// after a change of DPI or key size, fonts and icons.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <functional>
#include <vector>

#include "panel/layout.h"
#include "platform/win32/dpi_win.h"
#include "platform/win32/panel_window_win.h"
#include "tests/win32/panel_fixture_win.h"

namespace yg::win32 {
namespace {

using testing::ChangeDpi;
using testing::FontHeight;
using testing::Win32PanelTest;

POINT ClientCorner(HWND panel) {
  POINT corner{0, 0};
  ClientToScreen(panel, &corner);
  return corner;
}

TEST_F(Win32PanelTest, ReadsBackSizesInWholePixels) {
  ChangeDpi(panel.Handle(), 120);  // 12 twips a pixel
  panel.SetHeight(1800);
  panel.SetWidth(5840);
  EXPECT_NEAR(panel.Width(), 5840, 12);
  EXPECT_NEAR(panel.Height(), 1800, 12);
  panel.SetLeft(4762.5f);
  panel.SetTop(9270);
  EXPECT_NEAR(panel.Left(), 4762.5, 12);
  EXPECT_NEAR(panel.Top(), 9270, 12);
  // The client area is where a window with the design frame (45 twips at the sides and the
  // bottom, 285 at the top) has it, whatever the real frame: 5750 x 1470 twips.
  RECT client;
  GetClientRect(panel.Handle(), &client);
  EXPECT_EQ(client.right, 479);   // 479.17
  EXPECT_EQ(client.bottom, 123);  // 122.5, the half rounded up
}

// Pixels in the container at a layout of 144 DPI: twips / 10.
const struct {
  ControlId control;
  RECT expected;
} kAt144Dpi[] = {
    {Ctl::Comm1, {0, 0, 30, 28}},
    {Ctl::Frame4, {300, 0, 483, 110}},
    {Ctl::Image6, {36, 0, 74, 56}},
    {Skb(189), {148, 57, 181, 84}},
    {Ctl::Command5, {54, 0, 92, 144}},
    {Ctl::Command23, {438, 112, 481, 144}},
};

void ExpectLaidOutAt144Dpi(const Win32PanelTest& test, const char* how) {
  for (const auto& c : kAt144Dpi) {
    const RECT r = test.ChildRect(c.control);
    EXPECT_EQ((std::array{r.left, r.top, r.right, r.bottom}),
              (std::array{c.expected.left, c.expected.top, c.expected.right, c.expected.bottom}))
        << ControlName(c.control) << ", " << how;
  }
}

TEST_F(Win32PanelTest, ADpiChangeTakesTheSuggestedRectangleAndLaysEverythingOutAtTheNewScale) {
  panel.SetWidth(5840);
  panel.SetHeight(1800);
  // The system asks for the size first and suggests a rectangle of that size.
  SIZE size{};
  ASSERT_TRUE(SendMessageW(panel.Handle(), WM_GETDPISCALEDSIZE, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&size)));
  RECT suggested{100, 120, 100 + size.cx, 120 + size.cy};
  ChangeDpi(panel.Handle(), 144, suggested);
  RECT outer;
  GetWindowRect(panel.Handle(), &outer);
  EXPECT_TRUE(EqualRect(&outer, &suggested)) << "at " << outer.left << "," << outer.top << " " << outer.right - outer.left
                                             << " x " << outer.bottom - outer.top;
  // Whatever the real frame, the whole layout fits the client area it leaves.
  RECT client;
  GetClientRect(panel.Handle(), &client);
  EXPECT_GE(client.right, 575);  // 5745 twips
  EXPECT_GE(client.bottom, 146);  // 1460 twips
  ExpectLaidOutAt144Dpi(*this, "144 DPI");
}

// 150% at 96 DPI lays out as 144 DPI does; the corner stays and so do the twips.
TEST_F(Win32PanelTest, AKeySizeGrowsEveryControlAndFontOnTopOfTheDpi) {
  ChangeDpi(panel.Handle(), 96);
  panel.SetWidth(5840);
  panel.SetHeight(1800);
  panel.SetLeft(1500);
  panel.SetTop(1500);
  const POINT corner = ClientCorner(panel.Handle());
  const float width = panel.Width();
  panel.SetKeySize(150);
  EXPECT_EQ(LayoutDpiOf(panel.Handle()), 144u) << "the monitors and the tip take the same scale";
  const POINT after = ClientCorner(panel.Handle());
  EXPECT_EQ((std::array{after.x, after.y}), (std::array{corner.x, corner.y})) << "the corner stays";
  RECT client;
  GetClientRect(panel.Handle(), &client);
  EXPECT_EQ(client.right, 575);  // 5750 twips
  EXPECT_NEAR(panel.Width(), width, 10) << "the same twips at the new scale";
  ExpectLaidOutAt144Dpi(*this, "96 DPI at 150%");
  EXPECT_EQ(FontHeight(GetDlgItemDeep(Ctl::Comm1)), -18);

  // A change of the monitor's scale keeps the key size: 120 DPI at 150% is 180.
  SIZE size{};
  SendMessageW(panel.Handle(), WM_GETDPISCALEDSIZE, MAKEWPARAM(120, 120), reinterpret_cast<LPARAM>(&size));
  ChangeDpi(panel.Handle(), 120, {0, 0, size.cx, size.cy});
  EXPECT_EQ(LayoutDpiOf(panel.Handle()), 180u);
  EXPECT_EQ(ChildRect(Ctl::Comm1).right, 38);  // 300 twips: 37.5
  GetClientRect(panel.Handle(), &client);
  EXPECT_GE(client.right, 718) << "the whole layout fits at 125% times 150%";  // 5745 twips

  // Back at 100%, the panel is as it was made for the DPI.
  panel.SetKeySize(100);
  EXPECT_EQ(LayoutDpiOf(panel.Handle()), 120u);
  EXPECT_EQ(ChildRect(Ctl::Comm1).right, 25);
}

// Plays a second monitor at 150% right of x = 800 as Windows does for a per-monitor aware window
// (Wine 8 has no per-monitor DPI): a move that puts the window's corner on the other monitor
// sends WM_GETDPISCALEDSIZE, then WM_DPICHANGED with a rectangle of that size at the same corner.
struct SecondMonitor {
  UINT first, second, now;
  LONG width = 0;   // the window's, as last seen
  int resizes = 0;  // the changes of its width seen
};

LRESULT CALLBACK PlaySecondMonitor(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
  auto& monitor = *reinterpret_cast<SecondMonitor*>(data);
  RECT r;
  GetWindowRect(hwnd, &r);
  const UINT dpi = r.left >= 800 ? monitor.second : monitor.first;
  if (message == WM_WINDOWPOSCHANGED && r.right - r.left != monitor.width) {
    monitor.width = r.right - r.left;
    ++monitor.resizes;
  }
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
    int comm1Right;  // 300 twips
  } cases[] = {
      {"its left edge onto the second", [&] { panel.SetLeft(15000); }, {1003, 119, 1003 + 575, 119 + 147}, 144, 30},
      {"to a place taken there", [&] { panel.Move(20000, 3000, 144); }, {2005, 329, 2005 + 575, 329 + 147}, 144, 30},
      {"back to the first, at its scale now", [&] { panel.Move(1500, 1500, 0); }, {155, 179, 155 + 383, 179 + 98},
       96, 20},
      {"from the first to a place taken on the second, as start-up restores it",
       [&] { panel.Move(20000, 3000, 144); }, {2005, 329, 2005 + 575, 329 + 147}, 144, 30},
  };
  for (const auto& c : cases) {
    RECT outer;
    GetWindowRect(panel.Handle(), &outer);
    monitor = {monitor.first, monitor.second, monitor.now, outer.right - outer.left, 0};
    c.make();
    // Sized for the new scale in the middle of the move, the window would be sized back and again.
    EXPECT_LE(monitor.resizes, 1) << c.move << ": sized once at most";
    RECT client;
    GetClientRect(panel.Handle(), &client);
    MapWindowPoints(panel.Handle(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    EXPECT_TRUE(EqualRect(&client, &c.client)) << c.move << ": " << client.left << "," << client.top << " "
                                               << client.right - client.left << " x " << client.bottom - client.top;
    EXPECT_EQ(LayoutDpiOf(panel.Handle()), c.dpi) << c.move;
    EXPECT_EQ(ChildRect(Ctl::Comm1).right, c.comm1Right) << c.move << ": laid out at that scale";
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
  // The tips are made when the pointer first comes over a key with one.
  EXPECT_FALSE(TooltipOfThisThread());
  SendMessageW(GetDlgItemDeep(Ctl::Command1), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  const HWND tooltip = TooltipOfThisThread();
  ASSERT_TRUE(tooltip);
  children.push_back(tooltip);
  for (HWND child : children) SetWindowSubclass(child, WatchFonts, 1, reinterpret_cast<DWORD_PTR>(&freedInUse));

  // 9 points at the new DPI, on the keys and on the tips alike, and the system's icon sizes.
  const struct {
    UINT dpi;
    LONG fontHeight;
    int icon, smallIcon;
  } cases[] = {{144, -18, 48, 24}, {120, -15, 40, 20}, {96, -12, 32, 16}};
  for (const auto& c : cases) {
    ChangeDpi(panel.Handle(), c.dpi);
    EXPECT_EQ(freedInUse, 0) << c.dpi << " DPI";
    for (HWND hwnd : {GetDlgItemDeep(Ctl::Comm1), GetDlgItemDeep(Skb(49)), tooltip})
      EXPECT_EQ(FontHeight(hwnd), c.fontHeight) << c.dpi << " DPI";
    EXPECT_EQ(IconWidth(panel.Handle(), ICON_BIG), c.icon) << c.dpi << " DPI";
    EXPECT_EQ(IconWidth(panel.Handle(), ICON_SMALL), c.smallIcon) << c.dpi << " DPI";
  }
  for (HWND child : children) RemoveWindowSubclass(child, WatchFonts, 1);
}

// At 125% and 175% a twip is not a whole share of a pixel: neighbours that touch in the layout
// must still touch on the screen, with neither a gap nor an overlap of a pixel between them.
TEST_F(Win32PanelTest, NeighboursTouchOnTheScreenAtFractionalScales) {
  for (UINT dpi : {120u, 168u}) {
    ChangeDpi(panel.Handle(), dpi);
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
