// The title bar's window menu: the panel's settings in it, made once, checked as the core says
// each time the menu opens and chosen through WM_SYSCOMMAND; the notification icon's menu, which
// holds the same rows, made afresh each time it opens; and the system's menu and move loops, with
// the keyboard given back to the user's program when they are over.

#include "platform/win32/panel_window_win.h"

#include <windowsx.h>

#include "panel/settings.h"
#include "platform/win32/foreground_win.h"
#include "platform/win32/panel_parts_win.h"
#include "platform/win32/text_win.h"

namespace yg::win32 {

namespace panel {

namespace {
constexpr UINT kFirstCommand = 0x1000;
constexpr UINT kCommandStep = 0x10;
}  // namespace

UINT MenuCommandOf(MenuItem item) { return kFirstCommand + kCommandStep * static_cast<UINT>(item); }

std::optional<MenuItem> SettingsItemOf(WPARAM command) {
  const auto id = static_cast<UINT>(command & 0xFFF0);
  for (const MenuRow& row : kSettingsMenu) {
    if (MenuCommandOf(row.item) == id) return row.item;
  }
  return std::nullopt;
}

std::optional<MenuItem> IconItemOf(UINT command) {
  for (const MenuRow* row : {&kShowHideRow, &kExitRow}) {
    if (MenuCommandOf(row->item) == command) return row->item;
  }
  return SettingsItemOf(command);
}

}  // namespace panel

using namespace panel;

namespace {

void AddItem(HMENU menu, const MenuRow& row) {
  std::wstring caption = WideCopy(row.caption);
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
  // A group's rows exclude one another: their check mark is a dot.
  info.fType = MFT_STRING | (row.mark == MenuMark::Radio ? MFT_RADIOCHECK : 0);
  info.wID = MenuCommandOf(row.item);
  info.dwTypeData = caption.data();
  if (!InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &info)) Fail("InsertMenuItemW");
}

void AddSeparator(HMENU menu) {
  if (!AppendMenuW(menu, MF_SEPARATOR, 0, nullptr)) Fail("AppendMenuW");
}

// A group's rows follow one another in the table: its submenu is made at the first of them. The
// menu owns each submenu and destroys it with itself.
void AddSettingsRows(HMENU menu) {
  MenuGroup group = MenuGroup::None;
  HMENU submenu = nullptr;
  for (const MenuRow& row : kSettingsMenu) {
    if (row.item == MenuItem::About) AddSeparator(menu);
    if (row.group == MenuGroup::None) {
      AddItem(menu, row);
      continue;
    }
    if (row.group != group) {
      group = row.group;
      submenu = CreatePopupMenu();
      const std::u16string caption(MenuGroupOf(group).caption);
      if (!submenu || !AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(submenu), Wide(caption))) {
        Fail("AppendMenuW submenu");
      }
    }
    AddItem(submenu, row);
  }
}

}  // namespace

namespace panel {

ScopedMenu MakeIconMenu() {
  ScopedMenu menu(CreatePopupMenu());
  if (!menu) Fail("CreatePopupMenu");
  AddItem(menu.get(), kShowHideRow);
  // In bold: what a click on the icon does.
  SetMenuDefaultItem(menu.get(), MenuCommandOf(kShowHideRow.item), FALSE);
  AddSeparator(menu.get());
  AddSettingsRows(menu.get());
  AddSeparator(menu.get());
  AddItem(menu.get(), kExitRow);
  return menu;
}

}  // namespace panel

void Win32Panel::AddSettingsMenu() {
  const HMENU system = GetSystemMenu(hwnd_, FALSE);
  if (!system) Fail("GetSystemMenu");
  AddSeparator(system);
  AddSettingsRows(system);
}

void Win32Panel::CheckMenuItem(MenuItem item, bool checked) {
  // By command, which finds the items of a submenu too.
  const UINT flags = MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED);
  ::CheckMenuItem(GetSystemMenu(hwnd_, FALSE), MenuCommandOf(item), flags);
  if (iconMenu_) ::CheckMenuItem(iconMenu_, MenuCommandOf(item), flags);
}

void Win32Panel::EnableMenuItem(MenuItem item, bool enabled) {
  const UINT flags = MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED);
  ::EnableMenuItem(GetSystemMenu(hwnd_, FALSE), MenuCommandOf(item), flags);
  if (iconMenu_) ::EnableMenuItem(iconMenu_, MenuCommandOf(item), flags);
}

void Win32Panel::OnMenuChoice(MenuItem item) {
  // Chosen from the window menu, which under Wine leaves the panel active; the About box
  // activates it too. The user's program gets the keyboard back.
  const KeepForeground keep(ForegroundToKeep());
  if (form_) form_->MenuChosen(item);
}

LRESULT Win32Panel::OnContextMenu(LPARAM lParam) {
  // The menu key or Shift+F10, while the panel has the keyboard (at start-up): the window menu,
  // as Alt+Space opens it. The point is then -1, -1: Wine passes the number -1, but a point made
  // of two coordinates leaves the upper half of a 64-bit number 0, so the coordinates are read.
  if (GET_X_LPARAM(lParam) == -1 && GET_Y_LPARAM(lParam) == -1) {
    return InSystemLoop(true, WM_SYSCOMMAND, SC_KEYMENU, VK_SPACE);
  }
  // Every right release on a key or the bare panel comes here too (DefWindowProc passes a
  // child's up to its parent), and the system opens no menu for it: only the title bar's opens
  // the window menu. Anything else leaves the foreground alone, so that the user's program never
  // loses the keyboard, not even for a moment.
  const LRESULT hit = DefWindowProcW(hwnd_, WM_NCHITTEST, 0, lParam);
  if (hit != HTCAPTION && hit != HTSYSMENU) return 0;
  return InSystemLoop(true, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd_), lParam);
}

LRESULT Win32Panel::InSystemLoop(bool holdForeground, UINT message, WPARAM wParam, LPARAM lParam) {
  // One started inside another (the Move item of the window menu, the close box's command): the
  // first gives the keyboard back.
  if (loops_.keeping) return DefWindowProcW(hwnd_, message, wParam, lParam);
  // Under Wine the move loop and the window menu leave the panel active.
  const KeepForeground keep(ForegroundToKeep());
  loops_.before = keep.Remembered();
  loops_.keeping = true;
  struct Kept {
    bool& keeping;
    ~Kept() { keeping = false; }
  } kept{loops_.keeping};
  // A menu of a window that is not the foreground window gets no keyboard and stays open at a
  // click elsewhere: the panel holds the foreground while its window menu is open.
  if (holdForeground) SetForegroundWindow(hwnd_);
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Win32Panel::SetLoop(bool& loop, bool open) {
  const bool before = loops_.menu || loops_.moving;
  loop = open;
  const bool now = loops_.menu || loops_.moving;
  if (form_ && now != before) form_->SystemLoop(now);
}

// The foreground window, unless the panel or nobody holds it: then the one that held it when the
// last loop began. A command the window menu sends comes after the menu has closed and handed
// the foreground back, and until that window has taken it Wine reports no foreground at all.
// The taskbar is where the user went since: the program of an earlier loop stays where it is.
HWND Win32Panel::ForegroundToKeep() const {
  const HWND now = GetForegroundWindow();
  const WindowOwner owner = OwnerOf(now);
  return (owner == WindowOwner::Panel || owner == WindowOwner::None) && loops_.before ? loops_.before : now;
}

}  // namespace yg::win32
