// The Win32 panel in a real window (under Wine in the test run): twips and pixels, the layout
// after a DPI change, and the key events as SendInput takes them.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

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
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(GetDlgItemDeep(Ctl::Comm1), WM_GETFONT, 0, 0)), sizeof font, &font);
  EXPECT_EQ(font.lfHeight, -18);
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

LONG FontHeight(HWND hwnd) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font.lfHeight;
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
