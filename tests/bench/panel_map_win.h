#pragma once

// The running panel as another program sees it: its controls by the layout table (each child
// window's id is its row's place in the table), where a click on each lands, a bare spot to drag
// it by, and what each control types.

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "panel/layout.h"
#include "tests/expected_clicks.h"

namespace yg::tools {

struct PanelControl {
  const LayoutRow* row = nullptr;
  HWND hwnd = nullptr;
  std::string name;  // ControlName: "Comm1", "skb(49)"
};

// Every child window of the panel that belongs to a row of the layout table.
std::vector<PanelControl> ControlsOf(HWND panel);
// ControlsOf once every row of the layout table has its window, or after the timeout whatever
// there is: the panel may still be making them while it already answers messages.
std::vector<PanelControl> WaitForControls(HWND panel, double timeoutMs);

// The centre of the control, when a click there reaches it: it is shown, inside the panel's
// client area and not covered by another window.
std::optional<POINT> ClickPoint(HWND control);

// A point of the panel's client area where a press reaches the panel itself (no control, no
// frame), or nothing.
std::optional<POINT> BareSpot(HWND panel);

// The keys a click on each control types, by control name, read from expected_clicks.txt.
using KeysByControl = std::map<std::string, std::vector<KeyEvent>>;
std::optional<KeysByControl> ReadKeysByControl(const std::wstring& path, std::string& error);

// An absolute mouse event at the point, in screen pixels, with button flags.
INPUT MouseAt(POINT at, DWORD flags);
// A move to the point and a left press and release there, in one SendInput call.
bool ClickAt(POINT at);

}  // namespace yg::tools
