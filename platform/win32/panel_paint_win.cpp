#include "platform/win32/panel_window_win.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/win32/colours_win.h"
#include "platform/win32/panel_parts_win.h"
#include "resources/stroke_drawing.h"

namespace yg::win32 {

using namespace panel;

namespace {

HBITMAP ToDib(const Bitmap& pixels) {
  BITMAPINFO header{};
  header.bmiHeader.biSize = sizeof header.bmiHeader;
  header.bmiHeader.biWidth = pixels.width;
  header.bmiHeader.biHeight = -pixels.height;
  header.bmiHeader.biPlanes = 1;
  header.bmiHeader.biBitCount = 32;
  header.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const HBITMAP dib = CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dib) Fail("CreateDIBSection");
  std::copy(pixels.pixels.begin(), pixels.pixels.end(), static_cast<std::uint32_t*>(bits));
  return dib;
}

}  // namespace

void Win32Panel::OnColoursChanged(bool systemColours) {
  // Common controls take new system colours from this message, which only top-level windows get.
  if (systemColours) {
    for (const Child& c : children_) SendMessageW(c.hwnd, WM_SYSCOLORCHANGE, 0, 0);
  }
  const SystemColours now = ReadSystemColours();
  if (now == colours_) return;
  colours_ = now;
  drawn_.clear();
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  // A high-contrast theme keeps the panel opaque.
  if (form_) form_->ColoursChanged();
}

HBITMAP Win32Panel::DrawnPictureOf(StrokePicture picture, int width, int height) {
  for (const DrawnPicture& d : drawn_) {
    if (d.picture == picture && d.width == width && d.height == height) return d.bitmap.get();
  }
  const Bitmap pixels = RenderStrokePicture(picture, width, height, PicturePaletteFor(colours_));
  return drawn_.emplace_back(DrawnPicture{picture, width, height, ScopedBitmap(ToDib(pixels))}).bitmap.get();
}

HFONT Win32Panel::FontFor(FontRole role) const { return faces_.FontFor(role); }

LRESULT Win32Panel::OnCustomDraw(NMCUSTOMDRAW& draw) {
  const Child* c = ChildOf(draw.hdr.hwndFrom);
  if (!c) return CDRF_DODEFAULT;
  const bool marked = c->hwnd == restMark_.key;
  if (draw.dwDrawStage == CDDS_POSTPAINT) {
    if (marked) PaintRestMark(*c, draw.hdc, draw.rc);
    return CDRF_DODEFAULT;
  }
  if (draw.dwDrawStage != CDDS_PREPAINT) return CDRF_DODEFAULT;
  // The rest's mark over whatever the system draws.
  if (!c->backColor) return marked ? CDRF_NOTIFYPOSTPAINT : CDRF_DODEFAULT;
  // A candidate key with a focus colour: its face in that colour, drawn like a classic button.
  // In high contrast, in the system's colours instead.
  const KeyColours colours = ColouredKeyColours(*c->backColor, colours_);
  RECT r = draw.rc;
  const bool pushed = draw.uItemState & CDIS_SELECTED;
  SetDCBrushColor(draw.hdc, RGB(colours.face.r, colours.face.g, colours.face.b));
  FillRect(draw.hdc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  DrawEdge(draw.hdc, &r, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  wchar_t caption[16] = {};
  GetWindowTextW(c->hwnd, caption, 16);
  SelectIn font(draw.hdc, FontFor(c->row->font));
  SetBkMode(draw.hdc, TRANSPARENT);
  SetTextColor(draw.hdc, RGB(colours.text.r, colours.text.g, colours.text.b));
  if (pushed) OffsetRect(&r, 1, 1);
  DrawTextW(draw.hdc, caption, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (draw.uItemState & CDIS_FOCUS) {
    RECT focus = draw.rc;
    InflateRect(&focus, -3, -3);
    DrawFocusRect(draw.hdc, &focus);
  }
  PaintRestMark(*c, draw.hdc, draw.rc);
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

void Win32Panel::PaintPicture(const Child& c, HDC dc) {
  if (c.picture == StrokePicture::None) return;
  // Drawn for this key's own size: where twips round to pixels, keys differ by a pixel. A key
  // smaller than the design (under 96 DPI) shows the design's picture, cut off.
  RECT r;
  GetClientRect(c.hwnd, &r);
  const HBITMAP picture = DrawnPictureOf(c.picture, std::max<int>(r.right, kStrokePictureWidth),
                                         std::max<int>(r.bottom, kStrokePictureHeight));
  const HDC memory = CreateCompatibleDC(dc);
  {
    SelectIn select(memory, picture);
    BitBlt(dc, 0, 0, r.right, r.bottom, memory, 0, 0, SRCCOPY);
  }
  DeleteDC(memory);
  PaintRestMark(c, dc, r);
}

}  // namespace yg::win32
