// The Windows side of the settings, in real windows and a real registry under Wine: the values
// as the registry holds them (in keys of the test's own), the window menu's items and check
// marks, the program's version, and the key events and scan codes of remote-desktop mode.

#include <gtest/gtest.h>

#include <windows.h>

#include <cwctype>
#include <map>
#include <string>
#include <vector>

#include "keys/scan_codes.h"
#include "panel/form1.h"
#include "platform/win32/key_sink_win.h"
#include "platform/win32/keyboard_layouts_win.h"
#include "platform/win32/panel_parts_win.h"
#include "platform/win32/settings_win.h"
#include "platform/win32/shell_win.h"
#include "tests/us_scan_codes.h"
#include "tests/win32/panel_fixture_win.h"
#include "yg_version.h"

namespace yg::win32 {
namespace {

using panel::MenuCommandOf;
using panel::SettingsItemOf;

TEST(SendInputSink, AScanCodeGoesOutWithTheExtendedFlagOnlyWhereItHasTheE0Prefix) {
  const struct {
    KeyEvent event;
    WORD scan;
    DWORD flags;
  } cases[] = {
      {Down(33), 0, 0},
      {Up(33), 0, KEYEVENTF_KEYUP},
      {WithScanCode(Down(33), {0x49, true}), 0x49, KEYEVENTF_EXTENDEDKEY},
      {WithScanCode(Up(33), {0x49, true}), 0x49, KEYEVENTF_KEYUP | KEYEVENTF_EXTENDEDKEY},
      {WithScanCode(Down(27), {0x01, false}), 0x01, 0},
      {WithScanCode(Up(160), {0x2A, false}), 0x2A, KEYEVENTF_KEYUP},
  };
  std::vector<KeyEvent> events;
  for (const auto& c : cases) events.push_back(c.event);
  const auto inputs = ToInputs(events);
  ASSERT_EQ(inputs.size(), std::size(cases));
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    const auto& c = cases[i];
    EXPECT_EQ(inputs[i].type, static_cast<DWORD>(INPUT_KEYBOARD));
    EXPECT_EQ(inputs[i].ki.dwExtraInfo, 0u);
    EXPECT_EQ(inputs[i].ki.wVk, c.event.vk);
    EXPECT_EQ(inputs[i].ki.wScan, c.scan) << int(c.event.vk);
    EXPECT_EQ(inputs[i].ki.dwFlags, c.flags) << int(c.event.vk) << ": never KEYEVENTF_SCANCODE";
  }
}

// The system's layout, asked as remote-desktop mode asks it, gives every key the panel sends its
// US scan code. (Wine 8 leaves out the E0 prefix of Page Up and Page Down; ScanCodeOf adds the
// extended flag all the same.)
TEST(SystemKeyboardLayouts, ScanCodesOfTheUsLayoutForEveryKeyThePanelSends) {
  SystemKeyboardLayouts layouts;
  for (const auto& key : yg::testing::kUsKeys) {
    const std::uint32_t mapped = layouts.ScanCode(key.vk);
    EXPECT_EQ(ScanCodeOf(key.vk, mapped), (ScanCode{key.code, key.extended})) << key.name << ": 0x" << std::hex
                                                                                << mapped;
  }
}

// Keys of the test's own, removed before and after: the user's settings stay as they are.
constexpr wchar_t kTestRoot[] = L"Software\\雁格输入法-测试";
constexpr wchar_t kTestPanel[] = L"Software\\雁格输入法-测试\\键盘面板";
constexpr wchar_t kTestRun[] = L"Software\\雁格输入法-测试\\Run";
constexpr wchar_t kTestApproval[] = L"Software\\雁格输入法-测试\\StartupApproved";

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot); }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot); }

  // A value of any type, written past the store.
  void Raw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kTestPanel, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
  }

  // The registry takes a text without its terminating zero from memory that holds one after it
  // and adds it: the size the store hands over shows the fault.
  struct Store : RegistrySettings {
    using RegistrySettings::RegistrySettings;
    void Write(SettingsKey key, std::u16string_view name, DWORD type, const void* data, DWORD size) override {
      if (type == REG_SZ) textBytes = size;
      RegistrySettings::Write(key, name, type, data, size);
    }
    DWORD textBytes = 0;
  } store{kTestPanel, kTestRun, kTestApproval};
};

TEST_F(RegistryTest, ValuesReadBackAsStoredAndEveryOtherTypeAsOther) {
  EXPECT_EQ(store.Read(SettingsKey::Panel, u"KeySize"), StoredValue{}) << "no key yet";
  store.WriteNumber(SettingsKey::Panel, u"Left", 0xFFFFF448);  // -3000
  store.WriteText(SettingsKey::SignIn, u"雁格输入法按键面板", u"\"C:\\雁格输入法\\ygpanel.exe\"");
  EXPECT_EQ(store.Read(SettingsKey::Panel, u"Left"), StoredValue::Number(0xFFFFF448));
  EXPECT_EQ(store.Read(SettingsKey::SignIn, u"雁格输入法按键面板"), StoredValue::Text(u"\"C:\\雁格输入法\\ygpanel.exe\""));
  EXPECT_EQ(store.Read(SettingsKey::Panel, u"雁格输入法按键面板"), StoredValue{}) << "the keys are apart";
  EXPECT_EQ(store.textBytes, 23 * sizeof(wchar_t)) << "22 characters and the terminating zero";

  const ULONGLONG wide = 150;
  const WORD narrow = 150;
  const BYTE bytes[] = {150, 0, 0, 0};
  Raw(L"Qword", REG_QWORD, &wide, sizeof wide);
  Raw(L"ShortDword", REG_DWORD, &narrow, sizeof narrow);
  Raw(L"Binary", REG_BINARY, bytes, sizeof bytes);
  Raw(L"Empty", REG_SZ, L"", sizeof(wchar_t));
  Raw(L"Unterminated", REG_SZ, L"150", 3 * sizeof(wchar_t));
  const StoredValue other{StoredValue::Kind::Other, 0, {}, {}};
  EXPECT_EQ(store.Read(SettingsKey::Panel, u"Qword"), other);
  EXPECT_EQ(store.Read(SettingsKey::Panel, u"ShortDword"), other);
  EXPECT_EQ(store.Read(SettingsKey::Panel, u"Binary"), StoredValue::Bytes({150, 0, 0, 0}));
  EXPECT_EQ(store.Read(SettingsKey::Panel, u"Empty"), StoredValue::Text(u""));
  EXPECT_EQ(store.Read(SettingsKey::Panel, u"Unterminated"), StoredValue::Text(u"150"));

  store.Remove(SettingsKey::Panel, u"Left");
  store.Remove(SettingsKey::Panel, u"Left");  // gone already: nothing happens
  EXPECT_EQ(store.Read(SettingsKey::Panel, u"Left"), StoredValue{});
}

TEST_F(RegistryTest, AnExpandableTextReadsWithItsVariablesExpanded) {
  SetEnvironmentVariableW(L"YG_TEST_FOLDER", L"C:\\雁格");
  const wchar_t text[] = L"\"%YG_TEST_FOLDER%\\ygpanel.exe\"";
  Raw(L"Expand", REG_EXPAND_SZ, text, sizeof text);
  EXPECT_EQ(store.Read(SettingsKey::Panel, u"Expand"), StoredValue::Text(u"\"C:\\雁格\\ygpanel.exe\""));
}

TEST_F(RegistryTest, AKeyThatCannotBeMadeRaisesNothingAndReadsAsMissing) {
  // A key name longer than the registry allows.
  RegistrySettings broken{std::wstring(kTestPanel) + L"\\" + std::wstring(300, L'x'), kTestRun, kTestApproval};
  EXPECT_NO_THROW(broken.WriteNumber(SettingsKey::Panel, u"KeySize", 150));
  EXPECT_NO_THROW(broken.Remove(SettingsKey::Panel, u"KeySize"));
  EXPECT_EQ(broken.Read(SettingsKey::Panel, u"KeySize"), StoredValue{});
}

TEST(SystemShell, TheVersionAndPathOfThisProgram) {
  SystemShell shell;
  const ProgramVersion version = shell.Version();
  EXPECT_EQ(version.description, u"雁格输入法按键面板");
  const std::string text = YG_VERSION_TEXT;
  EXPECT_EQ(version.version, std::u16string(text.begin(), text.end()));
  EXPECT_NE(version.copyright.find(u"雁格"), std::u16string::npos);
  const std::u16string path = shell.ExecutablePath();
  EXPECT_EQ(path.substr(path.size() - 18), u"yg_win32_tests.exe");
  EXPECT_EQ(path.substr(0, shell.ExecutableFolder().size() + 1), shell.ExecutableFolder() + u"\\");
}

class SettingsMenuTest : public testing::PanelRigTest {
 protected:
  UINT State(MenuItem item) {
    return GetMenuState(GetSystemMenu(panel.Handle(), FALSE), MenuCommandOf(item), MF_BYCOMMAND);
  }
};

TEST_F(SettingsMenuTest, OpeningTheMenuChecksWhatIsOnAndChoosingAnItemChangesIt) {
  const HMENU system = GetSystemMenu(panel.Handle(), FALSE);
  SendMessageW(panel.Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(system), MAKELPARAM(0, TRUE));
  EXPECT_TRUE(State(MenuItem::KeySize100) & MF_CHECKED);
  for (MenuItem item : {MenuItem::RememberPlace, MenuItem::KeySize150, MenuItem::StartAtSignIn,
                        MenuItem::RemoteDesktop, MenuItem::About}) {
    EXPECT_FALSE(State(item) & MF_CHECKED) << static_cast<int>(item);
  }
  // From the window menu itself, and from its submenu as Wine sends it.
  SendMessageW(panel.Handle(), WM_SYSCOMMAND, MenuCommandOf(MenuItem::RemoteDesktop), 0);
  SendMessageW(panel.Handle(), WM_COMMAND, MAKEWPARAM(MenuCommandOf(MenuItem::KeySize150), 0), 0);
  EXPECT_EQ(fake.settings.Panel(u"RemoteDesktop"), StoredValue::Number(1));
  EXPECT_EQ(fake.settings.Panel(u"KeySize"), StoredValue::Number(150));
  SendMessageW(panel.Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(system), MAKELPARAM(0, TRUE));
  EXPECT_TRUE(State(MenuItem::RemoteDesktop) & MF_CHECKED);
  EXPECT_TRUE(State(MenuItem::KeySize150) & MF_CHECKED);
  EXPECT_FALSE(State(MenuItem::KeySize100) & MF_CHECKED);
  // The key sizes exclude one another and show a dot: their items say so.
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE;
  ASSERT_TRUE(GetMenuItemInfoW(system, MenuCommandOf(MenuItem::KeySize150), FALSE, &info));
  EXPECT_TRUE(info.fType & MFT_RADIOCHECK);
  // The system's own commands still go to the system.
  EXPECT_FALSE(SettingsItemOf(SC_MOVE));
}

// Read from the menu the system made, its own items and ours: a letter two items of one menu
// share would choose neither with a key press.
TEST_F(SettingsMenuTest, EveryItemOfEachMenuHasItsOwnAccessKeyAndTheAboutBoxStandsApart) {
  const HMENU system = GetSystemMenu(panel.Handle(), FALSE);
  std::vector<HMENU> menus{system};
  for (size_t m = 0; m < menus.size(); ++m) {
    std::map<wchar_t, std::wstring> keys;
    for (int i = 0; i < GetMenuItemCount(menus[m]); ++i) {
      wchar_t text[128] = {};
      GetMenuStringW(menus[m], i, text, 128, MF_BYPOSITION);
      if (const HMENU sub = GetSubMenu(menus[m], i)) menus.push_back(sub);
      const wchar_t* amp = wcschr(text, L'&');
      if (!*text) continue;  // a separator
      const auto named = [](const wchar_t* w) { return yg::testing::Utf8(reinterpret_cast<const char16_t*>(w)); };
      ASSERT_TRUE(amp && amp[1]) << "no access key: " << named(text);
      const auto [other, fresh] = keys.emplace(towupper(amp[1]), text);
      EXPECT_TRUE(fresh) << named(text) << " and " << named(other->second.c_str());
    }
  }
  EXPECT_GE(menus.size(), 3u) << "the two submenus";
  const int last = GetMenuItemCount(system) - 1;
  EXPECT_EQ(GetMenuItemID(system, last), MenuCommandOf(MenuItem::About));
  EXPECT_EQ(GetMenuState(system, last - 1, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
  wchar_t about[64] = {};
  GetMenuStringW(system, last, about, 64, MF_BYPOSITION);
  EXPECT_EQ(std::wstring(about).back(), L'…') << "it opens a box";
}

}  // namespace
}  // namespace yg::win32
