// The panel's settings in the title bar's window menu: made once, checked as the core says each
// time the menu opens, and chosen through WM_SYSCOMMAND. The notification icon's menu holds the
// same rows, made afresh each time it opens.

#include "platform/win32/panel_window_win.h"

#include "panel/settings.h"
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

// A group's rows follow one another in the table: its submenu is made at the first of them. The
// menu owns each submenu and destroys it with itself.
void AddSettingsRows(HMENU menu) {
  MenuGroup group = MenuGroup::None;
  HMENU submenu = nullptr;
  for (const MenuRow& row : kSettingsMenu) {
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

void AddSeparator(HMENU menu) {
  if (!AppendMenuW(menu, MF_SEPARATOR, 0, nullptr)) Fail("AppendMenuW");
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

}  // namespace yg::win32
