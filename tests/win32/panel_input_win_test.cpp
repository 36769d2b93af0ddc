// The mouse on the real panel's keys, with the core's handlers behind it and the keys they type
// recorded: quick clicks on push buttons, and stroke keys that lose the mouse.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "panel/form1.h"
#include "tests/win32/panel_fixture_win.h"

namespace yg::win32 {
namespace {

using yg::testing::Describe;
using PanelInputTest = testing::PanelRigTest;

// As the system sends them to the button under the pointer: a second press soon after the first
// comes as a double click.
void Click(HWND button, UINT press) {
  const LPARAM inside = MAKELPARAM(4, 4);
  SendMessageW(button, press, MK_LBUTTON, inside);
  SendMessageW(button, WM_LBUTTONUP, 0, inside);
}

TEST_F(PanelInputTest, EveryClickOfAButtonTypesItsKeysHoweverQuick) {
  const struct {
    ControlId control;
    const char* keys;
  } cases[] = {
      {Skb(50), "d50 u50 d50 u50"},
      {Skb(189), "d189 u189 d189 u189"},
      {Skb(48), "d48 u48 d48 u48"},
      {Ctl::Command29, "d190 u190 d190 u190"},
      {Ctl::Command10, "d33 u33 d33 u33"},
  };
  for (const auto& c : cases) {
    fake.keys.Clear();
    const HWND button = GetDlgItemDeep(c.control);
    Click(button, WM_LBUTTONDOWN);
    Click(button, WM_LBUTTONDBLCLK);
    EXPECT_EQ(Describe(fake.keys.Delivered()), c.keys) << ControlName(c.control);
    EXPECT_EQ(fake.keys.Batches().size(), 2u) << ControlName(c.control);
  }
}

TEST_F(PanelInputTest, AQuickSecondPressDraggedOffTheButtonTypesNothing) {
  const HWND button = GetDlgItemDeep(Skb(50));
  Click(button, WM_LBUTTONDOWN);
  SendMessageW(button, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(4, 4));
  SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(-40, 300));
  EXPECT_EQ(Describe(fake.keys.Delivered()), "d50 u50");
}

// A pixel of a stroke key as it paints itself: one in from the top-left corner, white on the
// raised key and grey on the sunken one.
COLORREF CornerOf(HWND key) {
  RECT r;
  GetClientRect(key, &r);
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right, r.bottom);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  SendMessageW(key, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
  const int inner = static_cast<int>(1.5 * r.right / 25);
  const COLORREF pixel = GetPixel(memory, inner, inner);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixel;
}

constexpr COLORREF kRaised = RGB(255, 255, 255);
constexpr COLORREF kSunken = RGB(128, 128, 128);

TEST_F(PanelInputTest, AStrokeKeyThatLosesTheMouseLooksReleasedAndTypesNothing) {
  const struct {
    const char* loss;
    void (*take)(HWND key, HWND panel);
  } cases[] = {
      {"a box or a menu cancels the mode", [](HWND key, HWND) { SendMessageW(key, WM_CANCELMODE, 0, 0); }},
      {"another window takes the mouse", [](HWND, HWND other) { SetCapture(other); }},
  };
  const HWND key = GetDlgItemDeep(Ctl::Image6);
  const LPARAM inside = MAKELPARAM(5, 5);
  for (const auto& c : cases) {
    SendMessageW(key, WM_LBUTTONDOWN, MK_LBUTTON, inside);
    EXPECT_EQ(GetCapture(), key) << c.loss;
    EXPECT_EQ(CornerOf(key), kSunken) << c.loss;
    c.take(key, panel.Handle());
    EXPECT_EQ(CornerOf(key), kRaised) << c.loss;
    // The button, let go over the key at last, completes no stroke.
    SendMessageW(key, WM_LBUTTONUP, 0, inside);
    ReleaseCapture();
    EXPECT_EQ(Describe(fake.keys.Delivered()), "") << c.loss;
  }
  // The next whole click types again.
  SendMessageW(key, WM_LBUTTONDOWN, MK_LBUTTON, inside);
  SendMessageW(key, WM_LBUTTONUP, 0, inside);
  EXPECT_EQ(Describe(fake.keys.Delivered()), "d73 u73");
  EXPECT_EQ(CornerOf(key), kRaised);
  EXPECT_NE(GetCapture(), key);
}

// A press on the bare panel that the mouse did not make, sent by another program with the left
// button up, starts no move loop: Wine's would wait for a release and leave the panel deaf.
TEST_F(PanelInputTest, APressMessageWithoutTheButtonDownStartsNoMoveLoop) {
  ASSERT_GE(GetKeyState(VK_LBUTTON), 0) << "the left button must be up for this test";
  ShowWindow(panel.Handle(), SW_SHOWNOACTIVATE);
  RECT client;
  GetClientRect(panel.Handle(), &client);
  // A move loop would take this Escape from the queue and end on it; without one it stays.
  PostMessageW(panel.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  SendMessageW(panel.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.right - 1, client.bottom - 1));
  MSG escape;
  EXPECT_TRUE(PeekMessageW(&escape, panel.Handle(), WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
}

// Counts the times a window loses the activation or the keyboard focus.
LRESULT CALLBACK CountLosses(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR losses) {
  if ((message == WM_ACTIVATE && LOWORD(wParam) == WA_INACTIVE) || message == WM_KILLFOCUS) {
    ++*reinterpret_cast<int*>(losses);
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

// A right release on a key or the bare panel comes to the panel as WM_CONTEXTMENU. Only the title
// bar's opens the window menu; anywhere else the user's program keeps the keyboard throughout,
// not only in the end: an input method may commit its composition when its window loses it.
TEST_F(PanelInputTest, ARightClickOnAKeyOrTheBarePanelNeverTakesTheKeyboard) {
  ShowWindow(panel.Handle(), SW_SHOWNOACTIVATE);
  const HWND user = CreateWindowExW(0, L"Edit", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 500, 400, 200, 80, nullptr,
                                    nullptr, GetModuleHandleW(nullptr), nullptr);
  SetForegroundWindow(user);
  ::SetFocus(user);
  ASSERT_EQ(GetForegroundWindow(), user);
  int losses = 0;
  SetWindowSubclass(user, CountLosses, 1, reinterpret_cast<DWORD_PTR>(&losses));
  RECT client;
  GetClientRect(panel.Handle(), &client);
  // Released as the system sends it: to the window under the pointer, which passes it up.
  SendMessageW(GetDlgItemDeep(Skb(57)), WM_RBUTTONUP, 0, MAKELPARAM(4, 4));
  SendMessageW(panel.Handle(), WM_RBUTTONUP, 0, MAKELPARAM(client.right - 2, client.bottom - 2));
  EXPECT_EQ(losses, 0);
  EXPECT_EQ(GetForegroundWindow(), user);
  EXPECT_EQ(Describe(fake.keys.Delivered()), "");
  DestroyWindow(user);
}

// The foreground window once another program has read the system's word that it is `expected`.
HWND Settled(HWND expected) {
  for (int tries = 0; tries < 20 && GetForegroundWindow() != expected; ++tries) Sleep(50);
  return GetForegroundWindow();
}

// After a loop the keyboard goes back to the program that held it when that loop began, never to
// one that held it at an earlier loop and that the user has left since: here for the taskbar.
TEST_F(PanelInputTest, ALoopBegunWhileTheTaskbarHoldsTheForegroundBringsNoEarlierProgramBack) {
  // The desktop, a window of another program, Explorer's (Wine has no shell window of its own).
  const HWND earlier = GetShellWindow() ? GetShellWindow() : GetDesktopWindow();
  WNDCLASSW taskbarClass{};
  taskbarClass.lpfnWndProc = DefWindowProcW;
  taskbarClass.lpszClassName = L"Shell_TrayWnd";
  RegisterClassW(&taskbarClass);
  const HWND taskbar =
      CreateWindowExW(WS_EX_TOOLWINDOW, L"Shell_TrayWnd", L"", WS_POPUP | WS_VISIBLE, 0, 728, 1024, 40, nullptr,
                      nullptr, nullptr, nullptr);
  const WPARAM kNoSuchCommand = 0xF1F0;  // a WM_SYSCOMMAND the system does nothing with
  SetForegroundWindow(earlier);
  EXPECT_EQ(Settled(earlier), earlier);
  SendMessageW(panel.Handle(), WM_SYSCOMMAND, kNoSuchCommand, 0);
  SetForegroundWindow(taskbar);
  SendMessageW(panel.Handle(), WM_SYSCOMMAND, kNoSuchCommand, 0);
  EXPECT_EQ(Settled(earlier), taskbar);
  DestroyWindow(taskbar);
  UnregisterClassW(L"Shell_TrayWnd", nullptr);
}

// Counts the times the system's menu loop begins.
LRESULT CALLBACK CountMenus(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR menus) {
  if (message == WM_ENTERMENULOOP) ++*reinterpret_cast<int*>(menus);
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

// The menu key and Shift+F10 ask for the window menu at the point -1, -1: Wine passes the number
// -1, a point made with MAKELPARAM leaves the upper half of a 64-bit number 0.
TEST_F(PanelInputTest, TheMenuKeyOpensTheWindowMenuHoweverItsPointIsPassed) {
  int menus = 0;
  SetWindowSubclass(panel.Handle(), CountMenus, 1, reinterpret_cast<DWORD_PTR>(&menus));
  for (const LPARAM keyboard : {LPARAM{-1}, static_cast<LPARAM>(MAKELPARAM(-1, -1))}) {
    menus = 0;
    const UINT_PTR close = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) { EndMenu(); });
    SendMessageW(panel.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(panel.Handle()), keyboard);
    KillTimer(nullptr, close);
    EXPECT_EQ(menus, 1) << std::hex << keyboard;
  }
  RemoveWindowSubclass(panel.Handle(), CountMenus, 1);
}

}  // namespace
}  // namespace yg::win32
