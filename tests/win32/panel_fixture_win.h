#pragma once

// A real Win32 panel, created hidden, and ways to reach its child windows.

#include <gtest/gtest.h>

#include <windows.h>

#include "panel/layout.h"
#include "platform/win32/panel_window_win.h"

namespace yg::win32::testing {

class Win32PanelTest : public ::testing::Test {
 protected:
  void SetUp() override { panel.Create(); }

  // The child's rectangle in its container.
  RECT ChildRect(ControlId control) {
    const HWND child = GetDlgItemDeep(control);
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

  // The child window of a control: numbered from 1000 in the layout table's order, in the panel
  // or one of its frames (not the edit inside the combo box, which has a number of its own).
  HWND GetDlgItemDeep(ControlId control) {
    int id = 1000;
    for (const LayoutRow& row : LayoutTable()) {
      if (row.control == control) break;
      ++id;
    }
    const HWND direct = GetDlgItem(panel.Handle(), id);
    if (direct) return direct;
    for (Ctl frame : {Ctl::Frame1, Ctl::Frame4, Ctl::Frame6}) {
      if (const HWND child = GetDlgItem(GetDlgItemDeep(frame), id)) return child;
    }
    return nullptr;
  }

  Win32Panel panel{GetModuleHandleW(nullptr)};
};

}  // namespace yg::win32::testing
