#include "platform/win32/panel_window_win.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/win32/dpi_win.h"
#include "platform/win32/panel_parts_win.h"
#include "platform/win32/resource_ids.h"
#include "resources/stroke_art.h"

namespace yg::win32 {

using namespace panel;

namespace {

constexpr int kFontPoints = 9;

bool FontInstalled(const wchar_t* face) {
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  wcsncpy(query.lfFaceName, face, LF_FACESIZE - 1);
  bool found = false;
  const HDC dc = GetDC(nullptr);
  EnumFontFamiliesExW(
      dc, &query, [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM result) -> int {
        *reinterpret_cast<bool*>(result) = true;
        return 0;
      },
      reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, dc);
  return found;
}

HFONT MakeFont(const wchar_t* face, UINT dpi, int weight, BYTE charset) {
  return CreateFontW(-MulDiv(kFontPoints, static_cast<int>(dpi), 72), 0, 0, 0, weight, FALSE, FALSE, FALSE, charset,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

// A stroke picture from the resources, as pixels.
Bitmap LoadPicture(HINSTANCE instance, StrokePicture picture) {
  const int id = YG_IDB_STROKE_BASE + static_cast<int>(picture);
  ScopedBitmap loaded(static_cast<HBITMAP>(
      LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (!loaded) Fail("LoadImageW stroke picture");
  BITMAP info{};
  GetObjectW(loaded.get(), sizeof info, &info);
  BITMAPINFO header{};
  header.bmiHeader.biSize = sizeof header.bmiHeader;
  header.bmiHeader.biWidth = info.bmWidth;
  header.bmiHeader.biHeight = -info.bmHeight;  // top row first
  header.bmiHeader.biPlanes = 1;
  header.bmiHeader.biBitCount = 32;
  header.bmiHeader.biCompression = BI_RGB;
  Bitmap pixels(info.bmWidth, info.bmHeight, 0);
  const HDC dc = GetDC(nullptr);
  const int rows = GetDIBits(dc, loaded.get(), 0, info.bmHeight, pixels.pixels.data(), &header, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  if (rows != info.bmHeight) Fail("GetDIBits stroke picture");
  for (auto& p : pixels.pixels) p &= 0x00FFFFFF;  // BGRA in memory reads as 0x00RRGGBB
  return pixels;
}

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

void Win32Panel::BuildFontsAndPictures() {
  // A face that shows the Chinese captions on every Chinese-capable Windows.
  const wchar_t* face = FontInstalled(L"Microsoft YaHei UI") ? L"Microsoft YaHei UI" : L"SimSun";
  defaultFont_.reset(MakeFont(face, dpi_, FW_NORMAL, DEFAULT_CHARSET));
  arialFont_.reset(MakeFont(L"Arial", dpi_, FW_NORMAL, DEFAULT_CHARSET));
  songFont_.reset(MakeFont(L"宋体", dpi_, FW_BOLD, GB2312_CHARSET));
  if (!defaultFont_ || !arialFont_ || !songFont_) Fail("CreateFontW");

  const int width = TwipsToPixels(375, dpi_), height = TwipsToPixels(555, dpi_);
  for (int p = static_cast<int>(StrokePicture::HNormal); p <= static_cast<int>(StrokePicture::LPressed); ++p) {
    const Bitmap original = LoadPicture(instance_, static_cast<StrokePicture>(p));
    pictures_[p].reset(ToDib(ScaleCrisp(original, width, height)));
  }
}

HFONT Win32Panel::FontFor(FontRole role) const {
  switch (role) {
    case FontRole::Arial9: return arialFont_.get();
    case FontRole::SongBold9: return songFont_.get();
    case FontRole::Default: break;
  }
  return defaultFont_.get();
}

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
  const HBITMAP picture = pictures_[static_cast<std::size_t>(c.picture)].get();
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
