// What the panel draws with at one scale: fonts and icons, and the change from one scale to
// another (of the monitor's DPI or of the key size).

#include "platform/win32/panel_window_win.h"

#include <algorithm>
#include <functional>

#include "platform/win32/colours_win.h"
#include "platform/win32/dpi_win.h"
#include "platform/win32/panel_parts_win.h"
#include "platform/win32/resource_ids.h"

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

}  // namespace

HFONT Win32Panel::Faces::FontFor(FontRole role) const {
  switch (role) {
    case FontRole::Arial9: return arialFont.get();
    case FontRole::SongBold9: return songFont.get();
    case FontRole::Default: break;
  }
  return defaultFont.get();
}

Win32Panel::Faces Win32Panel::MakeFaces(UINT dpi, int keySize) const {
  Faces faces;
  // Fonts and pictures grow with the keys; the icons belong to the frame, which does not.
  const UINT layoutDpi = ScaledDpi(dpi, keySize);
  // A face that shows the Chinese captions on every Chinese-capable Windows.
  const wchar_t* face = FontInstalled(L"Microsoft YaHei UI") ? L"Microsoft YaHei UI" : L"SimSun";
  faces.defaultFont.reset(MakeFont(face, layoutDpi, FW_NORMAL, DEFAULT_CHARSET));
  faces.arialFont.reset(MakeFont(L"Arial", layoutDpi, FW_NORMAL, DEFAULT_CHARSET));
  faces.songFont.reset(MakeFont(L"宋体", layoutDpi, FW_BOLD, GB2312_CHARSET));
  if (!faces.defaultFont || !faces.arialFont || !faces.songFont) Fail("CreateFontW");

  const auto icon = [&](int metric) {
    const int size = MetricForDpi(metric, dpi);
    return static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(YG_IDI_PANEL), IMAGE_ICON, size, size, 0));
  };
  faces.bigIcon.reset(icon(SM_CXICON));
  faces.smallIcon.reset(icon(SM_CXSMICON));
  if (!faces.bigIcon || !faces.smallIcon) Fail("LoadImageW icon");
  return faces;
}

void Win32Panel::UseFaces(Faces faces) {
  for (const Child& c : children_) {
    if (c.hwnd) SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(faces.FontFor(c.row->font)), TRUE);
  }
  // Tips in the panel's font, at its size.
  if (tooltip_) SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(faces.defaultFont.get()), TRUE);
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(faces.bigIcon.get()));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(faces.smallIcon.get()));
  // Nothing uses the old ones any more; they go with `faces`.
  std::swap(faces_, faces);
  // The keys' sizes follow the DPI: their pictures are drawn again when next shown, in the
  // system's colours of now.
  colours_ = ReadSystemColours();
  drawn_.clear();
}

void Win32Panel::ChangeScale(UINT dpi, int keySize, const std::function<void()>& placeWindow) {
  // Made before anything changes: should making them fail, the panel stays as it was.
  Faces faces = MakeFaces(dpi, keySize);
  dpi_ = dpi;
  keySize_ = keySize;
  SetLayoutDpi(hwnd_, LayoutDpi());
  UseFaces(std::move(faces));
  placeWindow();
  // The controls take their twips at the new scale.
  for (const Child& c : children_) PlaceChild(c);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void Win32Panel::OnDpiChanged(UINT dpi, const RECT& suggested) {
  // The panel's own move took it there: the move takes the DPI once it is over (MoveClient).
  if (placing_) {
    movedToDpi_ = dpi;
    return;
  }
  // The rectangle the system suggests, place and size, as its documentation asks: it keeps the
  // panel under the pointer of a user who drags it to another monitor, and its size is the one
  // WM_GETDPISCALEDSIZE asked for.
  ChangeScale(dpi, keySize_, [&] { PlaceWindow(suggested); });
  OnDisplayChange();
}

// A change of key size is a change of scale that keeps the panel where it is.
void Win32Panel::SetKeySize(int percent) {
  if (!hwnd_) {
    keySize_ = percent;
    return;
  }
  if (percent == keySize_) return;
  // The same twips at the new scale, from the same top-left corner: grown onto a monitor of
  // another scaling, the panel takes that one's once it stands there.
  const RECT client = ClientAt(ScaledDpi(dpi_, percent));
  ChangeScale(dpi_, percent, [&] { MoveClient(client, LayoutDpi()); });
}

}  // namespace yg::win32
