#pragma once

// The panel's settings: what each means, its default, which stored values count, and the items
// of the window menu that change them. With nothing stored every setting is at its default and
// the panel starts and behaves as it always did.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ports/panel_window.h"
#include "ports/settings_store.h"
#include "ports/shell.h"

namespace yg {

// The names of the stored values.
namespace setting {
// The panel's own values (SettingsKey::Panel), each a 32-bit number.
inline constexpr std::u16string_view kRememberPlace = u"RememberPlace";  // 0 or 1
inline constexpr std::u16string_view kLeft = u"Left";        // twips at the panel's scale, signed
inline constexpr std::u16string_view kTop = u"Top";          // twips at the panel's scale, signed
// The scale Left and Top were taken at: pixels per inch, the monitor's DPI times the key size.
// Places stored without it are read at the scale of the monitor the panel starts on.
inline constexpr std::u16string_view kPlaceDpi = u"PlaceDpi";
inline constexpr std::u16string_view kCompact = u"Compact";  // 0 expanded, 1 compact
inline constexpr std::u16string_view kKeySize = u"KeySize";  // percent: one of kKeySizes
inline constexpr std::u16string_view kRemoteDesktop = u"RemoteDesktop";  // 0 or 1
inline constexpr std::u16string_view kHotkey = u"Hotkey";                // 0 or 1
inline constexpr std::u16string_view kTrayIcon = u"TrayIcon";            // 0 or 1
inline constexpr std::u16string_view kIdleOpacity = u"IdleOpacity";      // percent: one of kIdleOpacities
inline constexpr std::u16string_view kDwellMs = u"DwellMs";  // one of kDwellTimes
inline constexpr std::u16string_view kHoldRepeat = u"HoldRepeat";  // 0 or 1
// The value under SettingsKey::SignIn that starts the panel: the quoted path of its executable.
// The system's record of it under SettingsKey::SignInApproval has the same name.
inline constexpr std::u16string_view kSignInValue = u"雁格输入法按键面板";
// The name earlier versions wrote the value under: still read, and replaced or removed with the
// current one.
inline constexpr std::u16string_view kOldSignInValue = u"雁格输入法键盘";
inline constexpr std::array<std::u16string_view, 2> kSignInValues{kSignInValue, kOldSignInValue};
}  // namespace setting

inline constexpr int kDefaultKeySize = 100;
inline constexpr std::array<int, 4> kKeySizes{100, 125, 150, 200};
// The panel's opacity while the pointer is elsewhere; 100 is opaque, the setting off.
inline constexpr int kOpaque = 100;
inline constexpr std::array<int, 4> kIdleOpacities{kOpaque, 80, 60, 40};
// How long the pointer rests on a key before the key is clicked, in milliseconds; 0 never.
inline constexpr std::array<int, 4> kDwellTimes{0, 800, 1200, 2000};

// A remembered place beyond this many twips from the primary monitor's corner (about 70,000
// pixels at 100%) lies on no monitor; the number is read as signed.
inline constexpr std::int32_t kFarthestPlace = 1'000'000;

// A scale a place can have been taken at: 50% to 500% of 96 DPI, times a key size up to 200%.
inline constexpr std::uint32_t kLeastPlaceDpi = 48;
inline constexpr std::uint32_t kMostPlaceDpi = 960;

// Where the panel stood: its left and top edges in twips at the scale `dpi` (0: unknown, at the
// scale the panel starts at).
struct SavedPlace {
  float left = 0, top = 0;
  unsigned dpi = 0;
  friend constexpr bool operator==(const SavedPlace&, const SavedPlace&) = default;
};

struct PanelSettings {
  bool rememberPlace = false;
  // While the place is remembered: where the panel stood and whether it was compact.
  std::optional<SavedPlace> place;
  bool compact = false;
  int keySize = kDefaultKeySize;
  bool remoteDesktop = false;
  bool hotkey = false;    // 显示/隐藏快捷键, as the user chose it: the system may refuse the keys
  bool trayIcon = false;  // 通知区域图标
  int idleOpacity = kOpaque;
  int dwellMs = 0;
  bool holdRepeat = false;
  friend bool operator==(const PanelSettings&, const PanelSettings&) = default;
};

// Every setting as stored. A value that is missing, of the wrong type or out of range reads as
// the default; a place is read only while it is remembered, and only whole.
PanelSettings ReadSettings(SettingsStore& store);

void SaveFlag(SettingsStore& store, std::u16string_view name, bool on);
void SaveKeySize(SettingsStore& store, int percent);
void SaveIdleOpacity(SettingsStore& store, int percent);
void SaveDwellTime(SettingsStore& store, int milliseconds);
void SavePlace(SettingsStore& store, SavedPlace place, bool compact);
void ForgetPlace(SettingsStore& store);

// The command the system runs at sign-in to start the program at `executable`: its path quoted.
std::u16string SignInCommand(std::u16string_view executable);
// True when the stored sign-in value starts the program at `executable`: its path, quoted or
// not, in any case of the letters A to Z.
bool StartsAtSignIn(const StoredValue& value, std::u16string_view executable);
// True when the system's record of a sign-in value says the user turned it off: bytes whose
// first is odd (Task Manager writes 02 for on and 03 for off, followed by the time it was turned
// off; some programs' records read 06 and 07). No record, or one of another kind, leaves it on.
bool TurnedOffAtSignIn(const StoredValue& record);

// The panel's items in its window menu, below a separator after the system's items, 关于 below
// one more. A setting with a few values to choose from is a group: its rows form a submenu, and
// the row whose value the setting has shows a dot.
//
// Access keys: none of a menu's items shares one, and none takes a letter of the system's own
// items above them (Restore R, Move M, Size S, Minimize N, Maximize X, Close C, and Wine's
// About Wine A). An item that opens a box ends in "…".
enum class MenuMark : std::uint8_t { None, Check, Radio };

enum class MenuGroup : std::uint8_t { None, KeySize, IdleOpacity, Dwell };

struct MenuGroupRow {
  MenuGroup group;
  std::u16string_view caption;  // the submenu's
};

inline constexpr std::array<MenuGroupRow, 3> kMenuGroups{{
    {MenuGroup::KeySize, u"键盘大小(&K)"},
    {MenuGroup::IdleOpacity, u"空闲时透明(&T)"},
    {MenuGroup::Dwell, u"悬停点击(&V)"},
}};

struct MenuRow {
  MenuItem item;
  std::u16string_view caption;
  MenuMark mark;
  MenuGroup group = MenuGroup::None;
  int value = 0;  // a group's row: the value it gives the setting
};

inline constexpr std::array<MenuRow, 19> kSettingsMenu{{
    {MenuItem::RememberPlace, u"记住位置和模式(&P)", MenuMark::Check},
    {MenuItem::KeySize100, u"&100%", MenuMark::Radio, MenuGroup::KeySize, 100},
    {MenuItem::KeySize125, u"12&5%", MenuMark::Radio, MenuGroup::KeySize, 125},
    {MenuItem::KeySize150, u"15&0%", MenuMark::Radio, MenuGroup::KeySize, 150},
    {MenuItem::KeySize200, u"&200%", MenuMark::Radio, MenuGroup::KeySize, 200},
    {MenuItem::StartAtSignIn, u"开机时启动(&W)", MenuMark::Check},
    {MenuItem::RemoteDesktop, u"远程桌面兼容(&D)", MenuMark::Check},
    {MenuItem::Hotkey, u"显示/隐藏快捷键（Ctrl+Alt+K）(&H)", MenuMark::Check},
    {MenuItem::TrayIcon, u"通知区域图标(&I)", MenuMark::Check},
    {MenuItem::IdleOpacity100, u"关闭(&O)", MenuMark::Radio, MenuGroup::IdleOpacity, kOpaque},
    {MenuItem::IdleOpacity80, u"&80%", MenuMark::Radio, MenuGroup::IdleOpacity, 80},
    {MenuItem::IdleOpacity60, u"&60%", MenuMark::Radio, MenuGroup::IdleOpacity, 60},
    {MenuItem::IdleOpacity40, u"&40%", MenuMark::Radio, MenuGroup::IdleOpacity, 40},
    {MenuItem::DwellOff, u"关闭(&O)", MenuMark::Radio, MenuGroup::Dwell, 0},
    {MenuItem::Dwell800, u"0.&8 秒", MenuMark::Radio, MenuGroup::Dwell, 800},
    {MenuItem::Dwell1200, u"&1.2 秒", MenuMark::Radio, MenuGroup::Dwell, 1200},
    {MenuItem::Dwell2000, u"&2 秒", MenuMark::Radio, MenuGroup::Dwell, 2000},
    {MenuItem::HoldRepeat, u"按住连发(&E)", MenuMark::Check},
    {MenuItem::About, u"关于(&B)…", MenuMark::None},
}};

// The notification icon's menu: 显示/隐藏 (what a click on the icon does), every row of the
// window menu, and 退出.
inline constexpr MenuRow kShowHideRow{MenuItem::ShowHide, u"显示/隐藏(&S)", MenuMark::None};
inline constexpr MenuRow kExitRow{MenuItem::Exit, u"退出(&X)", MenuMark::None};

// The row of an item of either menu.
const MenuRow& MenuRowOf(MenuItem item);
const MenuGroupRow& MenuGroupOf(MenuGroup group);

// The About box: the program's name, its version and its copyright, a line each.
std::u16string AboutText(const ProgramVersion& version);

}  // namespace yg
