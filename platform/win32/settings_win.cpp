#include "platform/win32/settings_win.h"

#include <vector>

#include "platform/win32/text_win.h"

namespace yg::win32 {

namespace {

class ScopedKey {
 public:
  ScopedKey() = default;
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;
  ~ScopedKey() {
    if (key_) RegCloseKey(key_);
  }
  HKEY* put() { return &key_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

// The text of a REG_SZ or REG_EXPAND_SZ value: up to its first terminator, which a value may
// lack or have several of.
std::u16string TextOf(const std::vector<BYTE>& data, DWORD type) {
  std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
  text.resize(wcsnlen(text.c_str(), text.size()));
  if (type == REG_EXPAND_SZ) {
    const DWORD size = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    std::wstring expanded(size, L'\0');
    if (size && ExpandEnvironmentStringsW(text.c_str(), expanded.data(), size) == size) {
      expanded.resize(size - 1);
      text = expanded;
    }
  }
  return FromWide(text);
}

}  // namespace

const std::wstring& RegistrySettings::PathOf(SettingsKey key) const {
  switch (key) {
    case SettingsKey::Panel: return panelKey_;
    case SettingsKey::SignIn: return signInKey_;
    case SettingsKey::SignInApproval: break;
  }
  return approvalKey_;
}

StoredValue RegistrySettings::Read(SettingsKey key, std::u16string_view name) {
  ScopedKey k;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, PathOf(key).c_str(), 0, KEY_QUERY_VALUE, k.put()) != ERROR_SUCCESS) return {};
  const std::wstring value = WideCopy(name);
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(k.get(), value.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
  std::vector<BYTE> data(size);
  if (RegQueryValueExW(k.get(), value.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS) return {};
  data.resize(size);
  if (type == REG_DWORD && size == sizeof(DWORD)) {
    DWORD number = 0;
    memcpy(&number, data.data(), sizeof number);
    return StoredValue::Number(number);
  }
  if (type == REG_SZ || type == REG_EXPAND_SZ) return StoredValue::Text(TextOf(data, type));
  if (type == REG_BINARY) return StoredValue::Bytes({data.begin(), data.end()});
  return {StoredValue::Kind::Other, 0, {}, {}};
}

void RegistrySettings::Write(SettingsKey key, std::u16string_view name, DWORD type, const void* data, DWORD size) {
  ScopedKey k;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, PathOf(key).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, k.put(),
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  const std::wstring value = WideCopy(name);
  RegSetValueExW(k.get(), value.c_str(), 0, type, static_cast<const BYTE*>(data), size);
}

void RegistrySettings::WriteNumber(SettingsKey key, std::u16string_view name, std::uint32_t value) {
  const DWORD number = value;
  Write(key, name, REG_DWORD, &number, sizeof number);
}

void RegistrySettings::WriteText(SettingsKey key, std::u16string_view name, std::u16string_view value) {
  const std::wstring text = WideCopy(value);
  Write(key, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void RegistrySettings::Remove(SettingsKey key, std::u16string_view name) {
  ScopedKey k;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, PathOf(key).c_str(), 0, KEY_SET_VALUE, k.put()) != ERROR_SUCCESS) return;
  const std::wstring value = WideCopy(name);
  RegDeleteValueW(k.get(), value.c_str());
}

}  // namespace yg::win32
