#include "platform/win32/panel_window_win.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/win32/panel_parts_win.h"

namespace yg::win32 {

using namespace panel;

HFONT Win32Panel::FontFor(FontRole role) const { return faces_.FontFor(role); }

LRESULT Win32Panel::OnCustomDraw(NMCUSTOMDRAW& draw) {
  const Child* c = ChildOf(draw.hdr.hwndFrom);
  if (!c || !c->backColor || draw.dwDrawStage != CDDS_PREPAINT) return CDRF_DODEFAULT;
  // A candidate key with a focus colour: its face in that colour, drawn like a classic button.
  RECT r = draw.rc;
  const bool pushed = draw.uItemState & CDIS_SELECTED;
  FillRect(draw.hdc, &r, c->backBrush.get());
  DrawEdge(draw.hdc, &r, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  wchar_t caption[16] = {};
  GetWindowTextW(c->hwnd, caption, 16);
  SelectIn font(draw.hdc, FontFor(c->row->font));
  SetBkMode(draw.hdc, TRANSPARENT);
  SetTextColor(draw.hdc, GetSysColor(COLOR_BTNTEXT));
  if (pushed) OffsetRect(&r, 1, 1);
  DrawTextW(draw.hdc, caption, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (draw.uItemState & CDIS_FOCUS) {
    RECT focus = draw.rc;
    InflateRect(&focus, -3, -3);
    DrawFocusRect(draw.hdc, &focus);
  }
  return CDRF_SKIPDEFAULT;
}

void Win32Panel::PaintFrame(HWND frame) const {
  PAINTSTRUCT ps;
  const HDC dc = BeginPaint(frame, &ps);
  RECT r;
  GetClientRect(frame, &r);
  DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT);
  EndPaint(frame, &ps);
}

void Win32Panel::PaintPicture(const Child& c, HDC dc) const {
  const HBITMAP picture = faces_.pictures[static_cast<std::size_t>(c.picture)].get();
  if (!picture) return;
  const HDC memory = CreateCompatibleDC(dc);
  {
    SelectIn select(memory, picture);
    BITMAP info{};
    GetObjectW(picture, sizeof info, &info);
    BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
  }
  DeleteDC(memory);
}

}  // namespace yg::win32
