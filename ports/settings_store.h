#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace yg {

// Where a setting is kept.
enum class SettingsKey : std::uint8_t {
  Panel,   // the panel's own settings (HKCU\Software\雁格输入法\键盘面板 on Windows)
  SignIn,  // the programs the system starts when the user signs in (HKCU\...\Run)
  // The system's record of which of those the user turned off in Task Manager or Settings
  // (HKCU\...\Explorer\StartupApproved\Run), one value named as the program's value under SignIn.
  SignInApproval,
};

// A value as it is stored: nothing, a 32-bit number, a text, bytes, or something else.
struct StoredValue {
  enum class Kind : std::uint8_t { Missing, Number, Text, Other, Bytes };
  Kind kind = Kind::Missing;
  std::uint32_t number = 0;
  std::u16string text;
  std::vector<std::uint8_t> bytes;

  static StoredValue Number(std::uint32_t n) { return {Kind::Number, n, {}, {}}; }
  static StoredValue Text(std::u16string_view t) { return {Kind::Text, 0, std::u16string(t), {}}; }
  static StoredValue Bytes(std::vector<std::uint8_t> b) { return {Kind::Bytes, 0, {}, std::move(b)}; }
  friend bool operator==(const StoredValue&, const StoredValue&) = default;
};

// The settings the panel keeps between runs, one named value each. Nothing here fails: what
// cannot be read reads as missing, and a write or removal that fails changes nothing and is not
// reported, as the panel goes on with the setting in effect for this run.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  virtual StoredValue Read(SettingsKey key, std::u16string_view name) = 0;
  virtual void WriteNumber(SettingsKey key, std::u16string_view name, std::uint32_t value) = 0;
  virtual void WriteText(SettingsKey key, std::u16string_view name, std::u16string_view value) = 0;
  virtual void Remove(SettingsKey key, std::u16string_view name) = 0;
};

}  // namespace yg
