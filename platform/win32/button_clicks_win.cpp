#include "platform/win32/button_clicks_win.h"

#include <commctrl.h>

#include "base/errors.h"

namespace yg::win32 {

namespace {

constexpr UINT_PTR kSubclassId = 1;

LRESULT CALLBACK PressOnDoubleClick(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  switch (message) {
    case WM_LBUTTONDBLCLK:
      return DefSubclassProc(button, WM_LBUTTONDOWN, wParam, lParam);
    case WM_NCDESTROY:
      RemoveWindowSubclass(button, PressOnDoubleClick, kSubclassId);
      break;
    default:
      break;
  }
  return DefSubclassProc(button, message, wParam, lParam);
}

}  // namespace

void ClickOnEveryPress(HWND button) {
  if (!SetWindowSubclass(button, PressOnDoubleClick, kSubclassId, 0)) {
    throw PanelError(ErrorKind::FacilityFailed, "SetWindowSubclass (error " + std::to_string(GetLastError()) + ")");
  }
}

}  // namespace yg::win32
