#pragma once

#include <windows.h>

#include <string>

#include "ports/settings_store.h"

namespace yg::win32 {

// The panel's own settings key, the one whose values Windows starts at sign-in, and the one where
// Task Manager and Settings record those the user turned off, all under HKEY_CURRENT_USER.
inline constexpr wchar_t kPanelSettingsKey[] = L"Software\\雁格输入法\\键盘面板";
inline constexpr wchar_t kSignInKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kSignInApprovalKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

// The settings as values in the current user's registry: a number is a REG_DWORD, a text a
// REG_SZ (a REG_EXPAND_SZ reads with its variables expanded), bytes a REG_BINARY. The panel's
// key is made on the first write.
class RegistrySettings : public SettingsStore {
 public:
  // Other keys than the real ones for tests, which must leave the user's settings alone.
  explicit RegistrySettings(std::wstring panelKey = kPanelSettingsKey, std::wstring signInKey = kSignInKey,
                            std::wstring approvalKey = kSignInApprovalKey)
      : panelKey_(std::move(panelKey)), signInKey_(std::move(signInKey)), approvalKey_(std::move(approvalKey)) {}

  StoredValue Read(SettingsKey key, std::u16string_view name) override;
  void WriteNumber(SettingsKey key, std::u16string_view name, std::uint32_t value) override;
  void WriteText(SettingsKey key, std::u16string_view name, std::u16string_view value) override;
  void Remove(SettingsKey key, std::u16string_view name) override;

 protected:
  // Every value is written here, with the bytes the registry is handed. A text's size must count
  // its terminating zero: the system adds a missing one only where the memory after the text
  // happens to hold one.
  virtual void Write(SettingsKey key, std::u16string_view name, DWORD type, const void* data, DWORD size);

 private:
  const std::wstring& PathOf(SettingsKey key) const;

  std::wstring panelKey_, signInKey_, approvalKey_;
};

}  // namespace yg::win32
