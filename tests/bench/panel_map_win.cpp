#include "tests/bench/panel_map_win.h"

#include <sstream>

#include "platform/win32/resource_ids.h"
#include "tests/bench/tool_win.h"

namespace yg::tools {

namespace {

const LayoutRow* RowOf(HWND child) {
  const auto table = LayoutTable();
  const int index = GetDlgCtrlID(child) - YG_FIRST_CONTROL_ID;
  if (index < 0 || static_cast<std::size_t>(index) >= table.size()) return nullptr;
  return &table[static_cast<std::size_t>(index)];
}

}  // namespace

std::vector<PanelControl> ControlsOf(HWND panel) {
  struct Found {
    HWND panel;
    std::vector<PanelControl> controls;
  } found{panel, {}};
  EnumChildWindows(
      panel,
      [](HWND child, LPARAM param) -> BOOL {
        auto* f = reinterpret_cast<Found*>(param);
        // Only the panel's own children and those of its frames: the edit inside the combo box
        // has an id of the system's, which may be that of a row.
        const HWND parent = GetParent(child);
        const LayoutRow* parentRow = parent == f->panel ? nullptr : RowOf(parent);
        if (parent != f->panel && (!parentRow || parentRow->kind != ControlKind::Frame)) return TRUE;
        if (const LayoutRow* row = RowOf(child)) f->controls.push_back({row, child, ControlName(row->control)});
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found.controls;
}

std::vector<PanelControl> WaitForControls(HWND panel, double timeoutMs) {
  std::vector<PanelControl> controls;
  PumpUntil(NowMs() + timeoutMs, [&] {
    controls = ControlsOf(panel);
    return controls.size() >= LayoutTable().size();
  });
  return controls;
}

std::optional<POINT> ClickPoint(HWND control) {
  if (!IsWindowVisible(control)) return std::nullopt;
  RECT r{};
  GetWindowRect(control, &r);
  const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  // What a click there would reach: in compact mode some controls lie beyond the panel's edge,
  // and a tip or another window may cover one.
  if (WindowFromPoint(centre) != control) return std::nullopt;
  return centre;
}

std::optional<POINT> BareSpot(HWND panel) {
  RECT client{};
  GetClientRect(panel, &client);
  MapWindowPoints(panel, nullptr, reinterpret_cast<POINT*>(&client), 2);
  // From the bottom right, where the panel's gaps between its controls are; they may be a pixel
  // wide only.
  for (int y = client.bottom - 1; y >= client.top; --y) {
    for (int x = client.right - 1; x >= client.left; --x) {
      const POINT p{x, y};
      if (WindowFromPoint(p) == panel) return p;
    }
  }
  return std::nullopt;
}

std::optional<KeysByControl> ReadKeysByControl(const std::wstring& path, std::string& error) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = "cannot open " + Utf8(path);
    return std::nullopt;
  }
  std::string text;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) text.append(chunk, got);
  CloseHandle(file);
  std::istringstream in(text);
  KeysByControl keys;
  for (const testing::ExpectedClick& c : testing::ReadExpectedClicks(in)) keys[c.control] = testing::ExpandKeys(c.tokens);
  if (keys.empty()) {
    error = Utf8(path) + " names no control";
    return std::nullopt;
  }
  return keys;
}

INPUT MouseAt(POINT at, DWORD flags) {
  // Normalised to 0..65535 over the primary screen, aimed at the pixel's centre, so that both
  // Windows' rounding and Wine's (x * width >> 16) come back to the pixel.
  const LONG w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = static_cast<LONG>(((2LL * at.x + 1) << 16) / (2LL * w));
  in.mi.dy = static_cast<LONG>(((2LL * at.y + 1) << 16) / (2LL * h));
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
  return in;
}

bool ClickAt(POINT at) {
  // The move and both buttons in one call: no other input lands in between, not even a late
  // pointer motion of Wine's X11 driver, which would take the press elsewhere.
  INPUT click[3] = {MouseAt(at, 0), MouseAt(at, MOUSEEVENTF_LEFTDOWN), MouseAt(at, MOUSEEVENTF_LEFTUP)};
  return SendInput(3, click, sizeof(INPUT)) == 3;
}

}  // namespace yg::tools
