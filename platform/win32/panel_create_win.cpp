#include "platform/win32/panel_window_win.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "base/errors.h"
#include "panel/accessibility.h"
#include "panel/hover.h"
#include "platform/win32/dpi_win.h"
#include "platform/win32/panel_parts_win.h"
#include "platform/win32/resource_ids.h"
#include "platform/win32/text_win.h"

namespace yg::win32 {

using namespace panel;

Win32Panel::Win32Panel(HINSTANCE instance) : instance_(instance), icon_(instance) {
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
    SetLayoutDpi(hwnd_, 0);
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
  // A frame's edge and a key's picture are drawn for their size: when they grow or shrink
  // (another DPI), they are drawn whole again, not kept as they were where the two sizes overlap.
  frame.style = CS_HREDRAW | CS_VREDRAW;
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
  hotkey_.window = hwnd_;
  icon_.window = hwnd_;
  AcceptShellMessages();
  dpi_ = DpiOf(hwnd_);
  SetLayoutDpi(hwnd_, LayoutDpi());
  UseFaces(MakeFaces(dpi_, keySize_));
  AddSettingsMenu();

  // The design size of the client area until start-up sets the working size.
  RECT client = ClientOnScreen();
  client.right = client.left + TwipsToPixels(kDesignClientWidth, LayoutDpi());
  client.bottom = client.top + TwipsToPixels(kDesignClientHeight, LayoutDpi());
  SetClientRect(client);

  // Each container's children are made from the top of its stack down, at their places: the
  // system files a new child below its elder siblings, so no restacking or moving is needed.
  // Should a system file them otherwise, they are restacked.
  for (Ctl container : kContainers) {
    for (Child* c : StackOf(container)) CreateChild(*c);
  }
  if (!Stacked()) Restack();
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
      style |= BS_PUSHBUTTON | BS_MULTILINE | WS_TABSTOP | (NotifiesFocus(row) ? BS_NOTIFY : 0);
      break;
  }
  // What nobody sees (the picture stores, the layout list) is never shown, so that screen readers
  // pass it by; everything else answers them with a name, role and default action of its own.
  const bool announced = AccessibleFaceOf(row.control).role != AccessibleRole::None;
  if (!announced) style &= ~WS_VISIBLE;
  const auto id = static_cast<INT_PTR>(YG_FIRST_CONTROL_ID + (&c - children_.data()));
  const std::u16string caption(row.caption);
  const RECT r = ChildRect(c);
  c.hwnd = CreateWindowExW(0, windowClass, Wide(caption), style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                           ContainerWindow(row.container), reinterpret_cast<HMENU>(id), instance_, nullptr);
  if (!c.hwnd) Fail("CreateWindowExW control");
  SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(row.font)), FALSE);
  // Our own classes find the panel through the window; the system's buttons get a procedure of
  // ours in front of theirs.
  if (row.kind == ControlKind::Picture || row.kind == ControlKind::Frame) {
    SetWindowLongPtrW(c.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  } else if (row.kind == ControlKind::Button) {
    HookButton(c);
  }
  if (row.kind == ControlKind::Button && RepeatsWhenHeld(row.control) &&
      !SetWindowSubclass(c.hwnd, HeldKeyProc, 0, reinterpret_cast<DWORD_PTR>(this))) {
    Fail("SetWindowSubclass");
  }
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

}  // namespace yg::win32
