// yg_ref_panel: the start-up a window with the panel's controls can have at best, for yg_bench to
// time the panel against. It makes the 97 controls of the panel's layout table (98 child windows
// with the combo box's edit) with the system's own classes (push buttons, a combo box, static
// frames and pictures), the same styles, fonts, pictures, places, stacking and tooltips, in the
// cheapest order Windows allows: the window is created hidden at its final size and place, every
// control is made straight into its place inside it, nothing is measured, moved or restacked
// afterwards, and the window is shown once. It does nothing when clicked and lists no keyboard
// layouts.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "base/twips.h"
#include "panel/accessibility.h"
#include "panel/layout.h"

namespace {

using yg::ControlKind;
using yg::Ctl;
using yg::FontRole;
using yg::LayoutRow;

constexpr wchar_t kClassName[] = L"YgRefPanel";
constexpr int kFirstBitmap = 101;  // ref_panel.rc: the ten stroke pictures, H normal first
constexpr int kFirstControlId = 1000;
constexpr int kFontPoints = 9;
constexpr int kBottomGapTwips = 450;
// The panel's client area once it has its start-up size: 5840 x 1800 twips of window less its
// frame allowance of 90 x 330.
constexpr int kClientWidthTwips = 5750;
constexpr int kClientHeightTwips = 1470;
constexpr DWORD kStyle = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
constexpr Ctl kContainers[] = {Ctl::Form1, Ctl::Frame1, Ctl::Frame4, Ctl::Frame6};

const wchar_t* W(std::u16string_view text, std::wstring& store) {
  store.assign(text.begin(), text.end());
  return store.c_str();
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

struct Made {
  std::array<HFONT, 3> fonts{};  // by FontRole
  std::array<HBITMAP, 11> pictures{};  // by StrokePicture
  std::vector<HWND> windows = std::vector<HWND>(yg::LayoutTable().size());
};

HWND ContainerOf(const LayoutRow& row, HWND panel, const Made& made) {
  if (row.container == Ctl::Form1) return panel;
  const auto table = yg::LayoutTable();
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (table[i].control == yg::ControlId(row.container)) return made.windows[i];
  }
  return panel;
}

void MakeControl(std::size_t index, HWND panel, unsigned dpi, Made& made) {
  const LayoutRow& row = yg::LayoutTable()[index];
  const wchar_t* windowClass = WC_BUTTONW;
  DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  switch (row.kind) {
    case ControlKind::Frame: windowClass = WC_STATICW; style |= SS_ETCHEDFRAME | WS_CLIPCHILDREN; break;
    case ControlKind::Picture: windowClass = WC_STATICW; style |= SS_BITMAP; break;
    case ControlKind::ComboBox: windowClass = WC_COMBOBOXW; style |= CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP; break;
    case ControlKind::Button:
      style |= BS_PUSHBUTTON | BS_MULTILINE | WS_TABSTOP | (row.control.name == Ctl::skb ? BS_NOTIFY : 0);
      break;
  }
  // Shown where the panel shows it: not the picture stores and the layout list.
  if (yg::AccessibleFaceOf(row.control).role == yg::AccessibleRole::None) style &= ~WS_VISIBLE;
  const yg::PixelBox box = yg::ToPixelBox(row.left, row.top, row.width, row.height, dpi);
  const int height = row.kind == ControlKind::ComboBox ? 6 * box.Height() : box.Height();
  std::wstring caption;
  const HWND hwnd = CreateWindowExW(0, windowClass, W(row.caption, caption), style, box.left, box.top, box.Width(), height,
                                    ContainerOf(row, panel, made),
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + index)), nullptr, nullptr);
  made.windows[index] = hwnd;
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(made.fonts[static_cast<std::size_t>(row.font)]), FALSE);
  if (row.kind == ControlKind::Picture) {
    SendMessageW(hwnd, STM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(made.pictures[static_cast<std::size_t>(row.picture)]));
  }
}

void MakeTooltips(const Made& made) {
  const HWND tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                       nullptr, nullptr);
  SendMessageW(tooltip, WM_SETFONT, reinterpret_cast<WPARAM>(made.fonts[0]), FALSE);
  const auto table = yg::LayoutTable();
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (table[i].tooltip.empty()) continue;
    std::wstring text;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS | TTF_TRANSPARENT;
    tool.hwnd = GetParent(made.windows[i]);
    tool.uId = reinterpret_cast<UINT_PTR>(made.windows[i]);
    tool.lpszText = const_cast<wchar_t*>(W(table[i].tooltip, text));
    SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  WNDCLASSEXW cls{};
  cls.cbSize = sizeof cls;
  cls.style = CS_DBLCLKS;
  cls.lpfnWndProc = WindowProc;
  cls.hInstance = instance;
  cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  cls.lpszClassName = kClassName;
  if (!RegisterClassExW(&cls)) return 1;

  const HDC screen = GetDC(nullptr);
  const auto dpi = static_cast<unsigned>(GetDeviceCaps(screen, LOGPIXELSY));
  ReleaseDC(nullptr, screen);
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int width = yg::TwipsToPixels(kClientWidthTwips, dpi), height = yg::TwipsToPixels(kClientHeightTwips, dpi);
  RECT outer{0, 0, width, height};
  AdjustWindowRectEx(&outer, kStyle, FALSE, kExStyle);
  const int outerWidth = outer.right - outer.left, outerHeight = outer.bottom - outer.top;
  const int left = (work.left + work.right - outerWidth) / 2;
  const int top = work.bottom - yg::TwipsToPixels(kBottomGapTwips, dpi) - outerHeight;
  std::wstring caption;
  const HWND panel = CreateWindowExW(kExStyle, kClassName, W(yg::kPanelCaption, caption), kStyle, left, top, outerWidth,
                                     outerHeight, nullptr, nullptr, instance, nullptr);
  if (!panel) return 1;

  Made made;
  const int fontHeight = -MulDiv(kFontPoints, static_cast<int>(dpi), 72);
  made.fonts[static_cast<std::size_t>(FontRole::Default)] =
      CreateFontW(fontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Microsoft YaHei UI");
  made.fonts[static_cast<std::size_t>(FontRole::Arial9)] =
      CreateFontW(fontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Arial");
  made.fonts[static_cast<std::size_t>(FontRole::SongBold9)] =
      CreateFontW(fontHeight, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"宋体");
  const int pictureWidth = yg::TwipsToPixels(375, dpi), pictureHeight = yg::TwipsToPixels(555, dpi);
  for (std::size_t p = 1; p < made.pictures.size(); ++p) {
    made.pictures[p] = static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(kFirstBitmap + p - 1), IMAGE_BITMAP,
                                                       pictureWidth, pictureHeight, 0));
  }

  // Parents before children, and within a container from the top of its stack down: the system
  // files each new child below its elder siblings.
  const auto table = yg::LayoutTable();
  for (Ctl container : kContainers) {
    std::vector<std::size_t> stack;
    for (std::size_t i = 0; i < table.size(); ++i) {
      if (table[i].container == container) stack.push_back(i);
    }
    std::stable_sort(stack.begin(), stack.end(),
                     [&](std::size_t a, std::size_t b) { return table[a].layer > table[b].layer; });
    for (std::size_t i : stack) MakeControl(i, panel, dpi, made);
  }
  MakeTooltips(made);
  ShowWindow(panel, SW_SHOW);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
