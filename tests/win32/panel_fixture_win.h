#pragma once

// A real Win32 panel, created hidden, alone or with the core behind it, ways to reach its child
// windows, and what a window shows.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>

#include "panel/form1.h"
#include "panel/layout.h"
#include "platform/win32/displays_win.h"
#include "platform/win32/panel_window_win.h"
#include "platform/win32/tip_win.h"
#include "resources/stroke_art.h"
#include "tests/fakes/fake_platform.h"

namespace yg::win32::testing {

// Runs what the panel's message loop would, without waiting for more.
inline void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

// The system tells the panel it is on a monitor of another DPI and suggests a rectangle there.
inline void ChangeDpi(HWND panel, UINT dpi, RECT suggested = {0, 0, 800, 300}) {
  SendMessageW(panel, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

// The window of a control: numbered from 1000 in the layout table's order, in the panel or one of
// its frames (not the edit inside the combo box, which has a number of its own).
inline HWND ControlWindow(HWND panel, ControlId control) {
  int id = 1000;
  for (const LayoutRow& row : LayoutTable()) {
    if (row.control == control) break;
    ++id;
  }
  if (const HWND direct = GetDlgItem(panel, id)) return direct;
  for (Ctl frame : {Ctl::Frame1, Ctl::Frame4, Ctl::Frame6}) {
    if (const HWND child = GetDlgItem(ControlWindow(panel, frame), id)) return child;
  }
  return nullptr;
}

// What a window shows, as 0x00RRGGBB pixels.
inline Bitmap Shown(HWND hwnd) {
  RECT r;
  GetClientRect(hwnd, &r);
  BITMAPINFO header{};
  header.bmiHeader.biSize = sizeof header.bmiHeader;
  header.bmiHeader.biWidth = r.right;
  header.bmiHeader.biHeight = -r.bottom;
  header.bmiHeader.biPlanes = 1;
  header.bmiHeader.biBitCount = 32;
  header.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const HBITMAP dib = CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HDC window = GetDC(hwnd);
  const HDC memory = CreateCompatibleDC(window);
  const HGDIOBJ old = SelectObject(memory, dib);
  BitBlt(memory, 0, 0, r.right, r.bottom, window, 0, 0, SRCCOPY);
  GdiFlush();
  Bitmap pixels(r.right, r.bottom, 0);
  const auto* p = static_cast<const std::uint32_t*>(bits);
  for (std::size_t i = 0; i < pixels.pixels.size(); ++i) pixels.pixels[i] = p[i] & 0x00FFFFFF;
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(hwnd, window);
  DeleteObject(dib);
  return pixels;
}

// The height a window's font was made with: negative, the character height in pixels.
inline LONG FontHeight(HWND hwnd) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font.lfHeight;
}

// The panel window alone.
struct PanelAlone {
  PanelAlone() { panel.Create(); }

  HWND GetDlgItemDeep(ControlId control) const { return ControlWindow(panel.Handle(), control); }

  // The child's rectangle in its container.
  RECT ChildRect(ControlId control) const {
    const HWND child = GetDlgItemDeep(control);
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

  Win32Panel panel{GetModuleHandleW(nullptr)};
};

// The panel with the core behind it: Form1 handles its events, the system's monitors and tip
// window serve it, and recording fakes stand in for the keys, the keyboard layouts, the shell,
// the program in front and the settings store.
struct PanelRig : PanelAlone {
  PanelRig() {
    displays.panel = panel.Handle();
    tip.panel = panel.Handle();
    panel.Attach(form);
  }

  yg::testing::FakePlatform fake;
  SystemDisplays displays;
  Win32Tip tip{GetModuleHandleW(nullptr)};
  Form1 form{{fake.keys, panel, panel, fake.layouts, fake.shell, displays, fake.target, tip, fake.settings,
               fake.hotkey, fake.icon}};
};

class Win32PanelTest : public ::testing::Test, public PanelAlone {};
class PanelRigTest : public ::testing::Test, public PanelRig {};

}  // namespace yg::win32::testing
