#include "platform/win32/panel_window_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "base/errors.h"
#include "platform/win32/dpi_win.h"
#include "platform/win32/resource_ids.h"
#include "platform/win32/text_win.h"
#include "resources/stroke_art.h"

namespace yg::win32 {

namespace {

constexpr wchar_t kPanelClass[] = L"YgKeyPanel";
constexpr wchar_t kFrameClass[] = L"YgFrame";
constexpr wchar_t kPictureClass[] = L"YgStrokeKey";
constexpr wchar_t kTitle[] = L"雁格输入法";

// A fixed-size tool window: thin fixed border and a small title bar with the close box, no
// minimise or maximise box. WS_EX_TOOLWINDOW also keeps it off the taskbar.
constexpr DWORD kPanelStyle = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kPanelExStyle = WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE;

// The panel's sizes and places are those of a window whose side and bottom borders are 45 twips
// (3 pixels at 96 DPI) and whose title bar with top border takes 285 twips. The real frame
// differs with the Windows version, theme and scaling, so the client area is put where such a
// window has it and the real frame goes round it: every control fits at every setting.
constexpr double kFrameLeft = 45;
constexpr double kFrameRight = 45;
constexpr double kFrameTop = 285;
constexpr double kFrameBottom = 45;

constexpr int kFontPoints = 9;

// The panel and its frames, parents before children.
constexpr Ctl kContainers[] = {Ctl::Form1, Ctl::Frame1, Ctl::Frame4, Ctl::Frame6};

std::u16string FromUtf8(const char* text) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  std::wstring wide(n > 0 ? n - 1 : 0, L'\0');
  if (n > 1) MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), n);
  return FromWide(wide);
}

[[noreturn]] void Fail(const char* what) {
  throw PanelError(ErrorKind::FacilityFailed, std::string(what) + " (error " + std::to_string(GetLastError()) + ")");
}

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

// VB-style mouse arguments: button 1 left, 2 right, 4 middle; shift 1 Shift, 2 Ctrl, 4 Alt.
MouseArgs MouseArgsOf(UINT message, WPARAM wParam, LPARAM lParam, UINT dpi) {
  MouseArgs args;
  switch (message) {
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: args.button = 2; break;
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: args.button = 4; break;
    case WM_XBUTTONDOWN: case WM_XBUTTONUP: args.button = 8; break;
    default: args.button = 1; break;
  }
  args.shift = ((wParam & MK_SHIFT) ? 1 : 0) | ((wParam & MK_CONTROL) ? 2 : 0) |
               ((GetKeyState(VK_MENU) < 0) ? 4 : 0);
  args.x = static_cast<float>(PixelsToTwips(GET_X_LPARAM(lParam), dpi));
  args.y = static_cast<float>(PixelsToTwips(GET_Y_LPARAM(lParam), dpi));
  return args;
}

bool IsButtonDown(UINT message) {
  return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
         message == WM_XBUTTONDOWN;
}

bool IsButtonUp(UINT message) {
  return message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP || message == WM_XBUTTONUP;
}

constexpr WPARAM kAnyButton = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON | MK_XBUTTON1 | MK_XBUTTON2;

}  // namespace

Win32Panel::Win32Panel(HINSTANCE instance) : instance_(instance) {
  for (const LayoutRow& row : LayoutTable()) {
    Child& c = children_.emplace_back();
    c.row = &row;
    c.left = row.left;
    c.top = row.top;
    c.width = row.width;
    c.height = row.height;
    c.picture = row.picture;
  }
}

Win32Panel::~Win32Panel() {
  if (tooltip_) DestroyWindow(tooltip_);
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

void Win32Panel::RegisterClasses(HINSTANCE instance) {
  WNDCLASSEXW panel{};
  panel.cbSize = sizeof panel;
  // CS_DBLCLKS: a double click on the bare panel arrives as such (it does nothing beyond its
  // two presses).
  panel.style = CS_DBLCLKS;
  panel.lpfnWndProc = PanelProc;
  panel.hInstance = instance;
  panel.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  panel.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  panel.lpszClassName = kPanelClass;
  WNDCLASSEXW frame = panel;
  frame.style = 0;
  frame.lpfnWndProc = FrameProc;
  frame.lpszClassName = kFrameClass;
  WNDCLASSEXW picture = frame;
  picture.lpfnWndProc = PictureProc;
  picture.hbrBackground = nullptr;  // the picture covers it all
  picture.lpszClassName = kPictureClass;
  for (const WNDCLASSEXW* c : {&panel, &frame, &picture}) {
    if (!RegisterClassExW(c) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) Fail("RegisterClassExW");
  }
}

void Win32Panel::Create() {
  RegisterClasses(instance_);
  const std::u16string caption(kPanelCaption);
  hwnd_ = CreateWindowExW(kPanelExStyle, kPanelClass, Wide(caption), kPanelStyle, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0,
                          nullptr, nullptr, instance_, this);
  if (!hwnd_) Fail("CreateWindowExW panel");
  dpi_ = DpiOf(hwnd_);

  const int big = GetSystemMetrics(SM_CXICON), small = GetSystemMetrics(SM_CXSMICON);
  bigIcon_.reset(static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(YG_IDI_PANEL), IMAGE_ICON, big, big, 0)));
  smallIcon_.reset(
      static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(YG_IDI_PANEL), IMAGE_ICON, small, small, 0)));
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));

  // The design size of the client area until start-up sets the working size.
  RECT client = ClientOnScreen();
  client.right = client.left + TwipsToPixels(kDesignClientWidth, dpi_);
  client.bottom = client.top + TwipsToPixels(kDesignClientHeight, dpi_);
  SetClientRect(client);

  BuildFontsAndPictures();
  // Each container's children are made from the top of its stack down, at their places: the
  // system files a new child below its elder siblings, so no restacking or moving is needed.
  // Should a system file them otherwise, they are restacked.
  for (Ctl container : kContainers) {
    for (Child* c : StackOf(container)) CreateChild(*c);
  }
  if (!Stacked()) Restack();
  CreateTooltips();
}

void Win32Panel::CreateChild(Child& c) {
  const LayoutRow& row = *c.row;
  const wchar_t* windowClass = WC_BUTTONW;
  // WS_CLIPSIBLINGS everywhere: where controls overlap, the one on top is drawn over the other.
  DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  switch (row.kind) {
    case ControlKind::Frame:
      windowClass = kFrameClass;
      style |= WS_CLIPCHILDREN;
      break;
    case ControlKind::Picture:
      windowClass = kPictureClass;
      break;
    case ControlKind::ComboBox:
      windowClass = WC_COMBOBOXW;
      style |= CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP;
      break;
    case ControlKind::Button:
      // Multi-line like the tall word-building key needs; BS_NOTIFY on the candidate keys,
      // whose colour follows the focus.
      style |= BS_PUSHBUTTON | BS_MULTILINE | WS_TABSTOP | (row.control.name == Ctl::skb ? BS_NOTIFY : 0);
      break;
  }
  const auto id = static_cast<INT_PTR>(YG_FIRST_CONTROL_ID + (&c - children_.data()));
  const std::u16string caption(row.caption);
  const RECT r = ChildRect(c);
  c.hwnd = CreateWindowExW(0, windowClass, Wide(caption), style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                           ContainerWindow(row.container), reinterpret_cast<HMENU>(id), instance_, nullptr);
  if (!c.hwnd) Fail("CreateWindowExW control");
  // Our own classes find the panel through the window.
  if (row.kind == ControlKind::Picture || row.kind == ControlKind::Frame) {
    SetWindowLongPtrW(c.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(row.font)), FALSE);
}

std::vector<Win32Panel::Child*> Win32Panel::StackOf(Ctl container) {
  std::vector<Child*> stack;
  for (Child& c : children_) {
    if (c.row->container == container) stack.push_back(&c);
  }
  std::stable_sort(stack.begin(), stack.end(),
                   [](const Child* a, const Child* b) { return a->row->layer > b->row->layer; });
  return stack;
}

bool Win32Panel::Stacked() {
  for (Ctl container : kContainers) {
    HWND next = GetWindow(ContainerWindow(container), GW_CHILD);
    for (const Child* c : StackOf(container)) {
      if (next != c->hwnd) return false;
      next = GetWindow(next, GW_HWNDNEXT);
    }
  }
  return true;
}

void Win32Panel::Restack() {
  for (Ctl container : kContainers) {
    HWND above = HWND_TOP;
    for (const Child* c : StackOf(container)) {
      SetWindowPos(c->hwnd, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      above = c->hwnd;
    }
  }
}

void Win32Panel::CreateTooltips() {
  // TTS_ALWAYSTIP: the panel is never the active window, and without it tips show only for
  // the active one.
  // No owner: Wine moves a window that owns a topmost popup to just below that popup instead of
  // into the topmost band, so the panel would never become topmost there. Windows does not need
  // the owner either; the panel destroys the tooltip itself.
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance_,
                             nullptr);
  if (!tooltip_) Fail("CreateWindowExW tooltip");
  for (const Child& c : children_) {
    if (c.row->tooltip.empty()) continue;
    std::wstring text = WideCopy(c.row->tooltip);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    // TTF_TRANSPARENT: a tip shown over the next key lets a click through to that key; a click
    // on the tip itself would activate it (Wine) and take the keyboard from the user's program.
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS | TTF_TRANSPARENT;
    tool.hwnd = GetParent(c.hwnd);
    tool.uId = reinterpret_cast<UINT_PTR>(c.hwnd);
    tool.lpszText = text.data();
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

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

RECT Win32Panel::ChildRect(const Child& c) const {
  const int left = TwipsToPixels(c.left, dpi_), top = TwipsToPixels(c.top, dpi_);
  int height = TwipsToPixels(c.height, dpi_);
  // A drop-down combo box's window includes its list.
  if (c.row->kind == ControlKind::ComboBox) height *= 6;
  return {left, top, left + TwipsToPixels(c.width, dpi_), top + height};
}

void Win32Panel::PlaceChild(const Child& c) const {
  const RECT r = ChildRect(c);
  if (!SetWindowPos(c.hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                    SWP_NOZORDER | SWP_NOACTIVATE)) {
    Fail("SetWindowPos control");
  }
}

HWND Win32Panel::ContainerWindow(Ctl container) const {
  if (container == Ctl::Form1) return hwnd_;
  return ChildOf(ControlId(container)).hwnd;
}

Win32Panel::Child& Win32Panel::ChildOf(ControlId control) {
  return const_cast<Child&>(static_cast<const Win32Panel*>(this)->ChildOf(control));
}

const Win32Panel::Child& Win32Panel::ChildOf(ControlId control) const {
  const auto it = std::find_if(children_.begin(), children_.end(),
                               [control](const Child& c) { return c.row->control == control; });
  if (it == children_.end() || (hwnd_ && !it->hwnd)) {
    throw PanelError(ErrorKind::SubscriptOutOfRange, "no control " + ControlName(control));
  }
  return *it;
}

Win32Panel::Child* Win32Panel::ChildOf(HWND hwnd) {
  const auto it = std::find_if(children_.begin(), children_.end(), [hwnd](const Child& c) { return c.hwnd == hwnd; });
  return it == children_.end() ? nullptr : &*it;
}

// Window procedures: bind the object, dispatch, and stop every error at the boundary.

LRESULT CALLBACK Win32Panel::PanelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Win32Panel*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Win32Panel*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  try {
    return self->OnMessage(message, wParam, lParam);
  } catch (const std::exception& e) {
    self->ReportFatalError(FromUtf8(e.what()));
  } catch (...) {
    self->ReportFatalError(u"Unknown error");
  }
  return 0;
}

LRESULT CALLBACK Win32Panel::FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Win32Panel*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (message) {
    // A frame's children talk to the panel as if the frame were not there.
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      return SendMessageW(GetParent(hwnd), message, wParam, lParam);
    case WM_PAINT:
      if (self) {
        self->PaintFrame(hwnd);
        return 0;
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Win32Panel::PictureProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Win32Panel*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  Child* child = self ? self->ChildOf(hwnd) : nullptr;
  if (!child) return DefWindowProcW(hwnd, message, wParam, lParam);
  try {
    return self->OnPictureMessage(*child, message, wParam, lParam);
  } catch (const std::exception& e) {
    self->ReportFatalError(FromUtf8(e.what()));
  } catch (...) {
    self->ReportFatalError(u"Unknown error");
  }
  return 0;
}

LRESULT Win32Panel::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEACTIVATE:
      // WS_EX_NOACTIVATE alone is not enough: Windows' activate-on-hover setting and Wine
      // activate the window on a click unless it says no here. The user's program must keep
      // the keyboard.
      return MA_NOACTIVATE;
    case WM_ACTIVATE:
      // Raised once, when the panel is first shown and becomes active.
      if (LOWORD(wParam) != WA_INACTIVE && !activated_ && form_) {
        activated_ = true;
        form_->Activate();
        return 0;
      }
      break;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd_, &ps);
      EndPaint(hwnd_, &ps);
      if (form_) form_->Paint();
      return 0;
    }
    case WM_MOUSEMOVE:
      if (form_) form_->MouseMove();
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (form_) form_->MouseDown();
      return 0;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
      if (form_) {
        form_->MouseDown();
        form_->DblClick();
      }
      return 0;
    case WM_COMMAND:
      if (lParam) OnCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
      return 0;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->code == NM_CUSTOMDRAW) return OnCustomDraw(*reinterpret_cast<NMCUSTOMDRAW*>(lParam));
      break;
    }
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_CLOSE:
      if (form_) form_->Unload();
      DestroyWindow(hwnd_);
      return 0;
    case WM_ENDSESSION:
      // Windows is shutting down or the user logs off: the panel closes as if its close box
      // had been clicked; the process ends after this message without WM_CLOSE.
      if (wParam && form_) form_->Unload();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT Win32Panel::OnPictureMessage(Child& child, UINT message, WPARAM wParam, LPARAM lParam) {
  const ControlId id = child.row->control;
  if (IsButtonDown(message)) {
    // The key holds the mouse until the last button is let go, so the release reaches it
    // wherever the pointer is by then.
    SetCapture(child.hwnd);
    if (form_) form_->MouseDown(id, MouseArgsOf(message, wParam, lParam, dpi_));
    return message == WM_XBUTTONDOWN ? TRUE : 0;
  }
  if (IsButtonUp(message)) {
    if (form_) form_->MouseUp(id, MouseArgsOf(message, wParam, lParam, dpi_));
    if ((wParam & kAnyButton) == 0 && GetCapture() == child.hwnd) ReleaseCapture();
    return message == WM_XBUTTONUP ? TRUE : 0;
  }
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(child.hwnd, &ps);
    PaintPicture(child, dc);
    EndPaint(child.hwnd, &ps);
    return 0;
  }
  return DefWindowProcW(child.hwnd, message, wParam, lParam);
}

void Win32Panel::OnCommand(HWND control, UINT code) {
  const Child* c = ChildOf(control);
  if (!c || !form_ || c->row->kind != ControlKind::Button) return;
  switch (code) {
    case BN_CLICKED: form_->Click(c->row->control); break;
    case BN_SETFOCUS: form_->GotFocus(c->row->control); break;
    case BN_KILLFOCUS: form_->LostFocus(c->row->control); break;
    default: break;
  }
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

void Win32Panel::OnDpiChanged(UINT dpi, const RECT& suggested) {
  RECT client;
  GetClientRect(hwnd_, &client);
  const double width = PixelsToTwips(client.right, dpi_), height = PixelsToTwips(client.bottom, dpi_);
  dpi_ = dpi;
  BuildFontsAndPictures();
  // Where the system suggests, the same twips at the new scale.
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT scaled = ClientOnScreen();
  scaled.right = scaled.left + TwipsToPixels(width, dpi_);
  scaled.bottom = scaled.top + TwipsToPixels(height, dpi_);
  SetClientRect(scaled);
  for (const Child& c : children_) {
    SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(c.row->font)), TRUE);
    PlaceChild(c);
  }
  InvalidateRect(hwnd_, nullptr, TRUE);
}

// Keyboard: the panel is no dialog, so Tab follows the layout's own tab order, which is not the
// stacking order.
bool Win32Panel::OnKeyMessage(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || !hwnd_ || !IsChild(hwnd_, msg.hwnd)) return false;
  const Child* focused = ChildOf(msg.hwnd);
  if (!focused) return false;
  if (msg.wParam == VK_TAB) {
    const bool forward = GetKeyState(VK_SHIFT) >= 0;
    const auto next = NextTabStop(focused->row->control, forward,
                                  [this](ControlId c) { return IsWindowVisible(ChildOf(c).hwnd) != FALSE; });
    if (next) ::SetFocus(ChildOf(*next).hwnd);
    return true;
  }
  if (msg.wParam == VK_RETURN && focused->row->kind == ControlKind::Button) {
    SendMessageW(msg.hwnd, BM_CLICK, 0, 0);
    return true;
  }
  return false;
}

int Win32Panel::RunMessageLoop() {
  MSG msg;
  BOOL got;
  while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
    if (got == -1) return 1;
    if (OnKeyMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

// Controls

std::u16string Win32Panel::Caption(ControlId control) const {
  const HWND hwnd = ChildOf(control).hwnd;
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int n = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(std::max(n, 0)));
  return FromWide(text);
}

void Win32Panel::SetCaption(ControlId control, std::u16string_view caption) {
  const std::u16string text(caption);
  if (!SetWindowTextW(ChildOf(control).hwnd, Wide(text))) Fail("SetWindowTextW");
}

void Win32Panel::ShowPictureOf(ControlId picture, ControlId holder) {
  Child& shown = ChildOf(picture);
  shown.picture = ChildOf(holder).picture;
  // Drawn at once: the pressed look must show while the button is held.
  RedrawWindow(shown.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void Win32Panel::SetBackColor(ControlId control, Rgb color) {
  Child& c = ChildOf(control);
  c.backColor = color;
  c.backBrush.reset(CreateSolidBrush(RGB(color.r, color.g, color.b)));
  if (!c.backBrush) Fail("CreateSolidBrush");
  InvalidateRect(c.hwnd, nullptr, TRUE);
}

void Win32Panel::SetVisible(ControlId control, bool visible) {
  ShowWindow(ChildOf(control).hwnd, visible ? SW_SHOWNA : SW_HIDE);
}

void Win32Panel::SetLeft(ControlId control, float twips) {
  Child& c = ChildOf(control);
  c.left = twips;
  PlaceChild(c);
}

void Win32Panel::SetHeight(ControlId control, float twips) {
  Child& c = ChildOf(control);
  c.height = twips;
  PlaceChild(c);
}

void Win32Panel::SetFocus(ControlId control) { ::SetFocus(ChildOf(control).hwnd); }

void Win32Panel::AddListEntry(ControlId list, std::u16string_view entry) {
  const std::u16string text(entry);
  const LRESULT r = SendMessageW(ChildOf(list).hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text)));
  if (r == CB_ERR || r == CB_ERRSPACE) Fail("CB_ADDSTRING");
}

// The window

RECT Win32Panel::ClientOnScreen() const {
  RECT r;
  if (!GetClientRect(hwnd_, &r)) Fail("GetClientRect");
  MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void Win32Panel::SetClientRect(const RECT& client) {
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
  RECT outer = OuterRect(client, kPanelStyle, exStyle, dpi_);
  PlaceWindow(outer);
  // The real frame can differ from the one the system computes for the DPI (Wine keeps the
  // frame of the system DPI): correct by where the client area actually went.
  const RECT actual = ClientOnScreen();
  if (!EqualRect(&actual, &client)) {
    outer.left += client.left - actual.left;
    outer.top += client.top - actual.top;
    outer.right += client.right - actual.right;
    outer.bottom += client.bottom - actual.bottom;
    PlaceWindow(outer);
  }
}

void Win32Panel::PlaceWindow(const RECT& outer) {
  if (!SetWindowPos(hwnd_, nullptr, outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top,
                    SWP_NOZORDER | SWP_NOACTIVATE)) {
    Fail("SetWindowPos panel");
  }
}

void Win32Panel::Show() { ShowWindow(hwnd_, SW_SHOW); }

float Win32Panel::Left() const {
  return static_cast<float>(PixelsToTwips(ClientOnScreen().left, dpi_) - kFrameLeft);
}

float Win32Panel::Top() const { return static_cast<float>(PixelsToTwips(ClientOnScreen().top, dpi_) - kFrameTop); }

float Win32Panel::Width() const {
  const RECT c = ClientOnScreen();
  return static_cast<float>(PixelsToTwips(c.right - c.left, dpi_) + kFrameLeft + kFrameRight);
}

float Win32Panel::Height() const {
  const RECT c = ClientOnScreen();
  return static_cast<float>(PixelsToTwips(c.bottom - c.top, dpi_) + kFrameTop + kFrameBottom);
}

void Win32Panel::SetLeft(float twips) {
  RECT c = ClientOnScreen();
  OffsetRect(&c, TwipsToPixels(twips + kFrameLeft, dpi_) - c.left, 0);
  SetClientRect(c);
}

void Win32Panel::SetTop(float twips) {
  RECT c = ClientOnScreen();
  OffsetRect(&c, 0, TwipsToPixels(twips + kFrameTop, dpi_) - c.top);
  SetClientRect(c);
}

void Win32Panel::SetWidth(float twips) {
  RECT c = ClientOnScreen();
  c.right = c.left + std::max(0, TwipsToPixels(twips - kFrameLeft - kFrameRight, dpi_));
  SetClientRect(c);
}

void Win32Panel::SetHeight(float twips) {
  RECT c = ClientOnScreen();
  c.bottom = c.top + std::max(0, TwipsToPixels(twips - kFrameTop - kFrameBottom, dpi_));
  SetClientRect(c);
}

float Win32Panel::ScreenWidth() const {
  return static_cast<float>(PixelsToTwips(GetSystemMetrics(SM_CXSCREEN), dpi_));
}

float Win32Panel::ScreenHeight() const {
  return static_cast<float>(PixelsToTwips(GetSystemMetrics(SM_CYSCREEN), dpi_));
}

void Win32Panel::SetTopmost(std::uint32_t positionFlags) {
  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, positionFlags);
}

std::uint32_t Win32Panel::ExtendedStyle() const {
  return static_cast<std::uint32_t>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
}

void Win32Panel::SetExtendedStyle(std::uint32_t style) { SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, style); }

void Win32Panel::ReleaseMouseCapture() { ReleaseCapture(); }

void Win32Panel::RunMoveLoop() {
  // As if the title bar had been pressed: the system's own move loop takes over.
  SendMessageW(hwnd_, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void Win32Panel::ShowMessage(std::u16string_view text) {
  const std::u16string message(text);
  MessageBoxW(hwnd_, Wide(message), kTitle, MB_OK);
}

void Win32Panel::ReportFatalError(std::u16string_view text) {
  const std::u16string message(text);
  MessageBoxW(hwnd_, Wide(message), kTitle, MB_OK | MB_ICONERROR | MB_TASKMODAL);
  ExitProcess(1);
}

}  // namespace yg::win32
