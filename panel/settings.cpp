#include "panel/settings.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <string>

#include "base/errors.h"

namespace yg {

namespace {

std::optional<std::uint32_t> Number(SettingsStore& store, std::u16string_view name) {
  const StoredValue v = store.Read(SettingsKey::Panel, name);
  if (v.kind != StoredValue::Kind::Number) return std::nullopt;
  return v.number;
}

std::optional<bool> Flag(SettingsStore& store, std::u16string_view name) {
  const auto n = Number(store, name);
  if (!n || *n > 1) return std::nullopt;
  return *n == 1;
}

std::optional<float> Coordinate(SettingsStore& store, std::u16string_view name) {
  const auto n = Number(store, name);
  if (!n) return std::nullopt;
  const auto signedValue = static_cast<std::int32_t>(*n);
  if (signedValue < -kFarthestPlace || signedValue > kFarthestPlace) return std::nullopt;
  return static_cast<float>(signedValue);
}

// A value that must be one of `choices`.
std::optional<int> OneOf(SettingsStore& store, std::u16string_view name, std::span<const int> choices) {
  const auto n = Number(store, name);
  if (!n) return std::nullopt;
  const auto it = std::find_if(choices.begin(), choices.end(),
                               [&](int choice) { return static_cast<std::uint32_t>(choice) == *n; });
  if (it == choices.end()) return std::nullopt;
  return *it;
}

std::uint32_t Stored(float twips) {
  // Whole twips, as a two's-complement number for the places left of or above the primary
  // monitor.
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(twips)));
}

char16_t Folded(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

bool SamePath(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return Folded(x) == Folded(y); });
}

}  // namespace

PanelSettings ReadSettings(SettingsStore& store) {
  PanelSettings s;
  s.rememberPlace = Flag(store, setting::kRememberPlace).value_or(false);
  if (s.rememberPlace) {
    const auto left = Coordinate(store, setting::kLeft);
    const auto top = Coordinate(store, setting::kTop);
    const auto dpi = Number(store, setting::kPlaceDpi);
    const bool known = dpi && *dpi >= kLeastPlaceDpi && *dpi <= kMostPlaceDpi;
    if (left && top) s.place = SavedPlace{*left, *top, known ? static_cast<unsigned>(*dpi) : 0};
    s.compact = Flag(store, setting::kCompact).value_or(false);
  }
  s.keySize = OneOf(store, setting::kKeySize, kKeySizes).value_or(kDefaultKeySize);
  s.remoteDesktop = Flag(store, setting::kRemoteDesktop).value_or(false);
  s.hotkey = Flag(store, setting::kHotkey).value_or(false);
  s.trayIcon = Flag(store, setting::kTrayIcon).value_or(false);
  s.idleOpacity = OneOf(store, setting::kIdleOpacity, kIdleOpacities).value_or(kOpaque);
  s.dwellMs = OneOf(store, setting::kDwellMs, kDwellTimes).value_or(0);
  s.holdRepeat = Flag(store, setting::kHoldRepeat).value_or(false);
  return s;
}

void SaveFlag(SettingsStore& store, std::u16string_view name, bool on) {
  store.WriteNumber(SettingsKey::Panel, name, on ? 1 : 0);
}

void SaveKeySize(SettingsStore& store, int percent) {
  store.WriteNumber(SettingsKey::Panel, setting::kKeySize, static_cast<std::uint32_t>(percent));
}

void SaveIdleOpacity(SettingsStore& store, int percent) {
  store.WriteNumber(SettingsKey::Panel, setting::kIdleOpacity, static_cast<std::uint32_t>(percent));
}

void SaveDwellTime(SettingsStore& store, int milliseconds) {
  store.WriteNumber(SettingsKey::Panel, setting::kDwellMs, static_cast<std::uint32_t>(milliseconds));
}

void SavePlace(SettingsStore& store, SavedPlace place, bool compact) {
  store.WriteNumber(SettingsKey::Panel, setting::kLeft, Stored(place.left));
  store.WriteNumber(SettingsKey::Panel, setting::kTop, Stored(place.top));
  store.WriteNumber(SettingsKey::Panel, setting::kPlaceDpi, place.dpi);
  SaveFlag(store, setting::kCompact, compact);
}

void ForgetPlace(SettingsStore& store) {
  for (auto name : {setting::kLeft, setting::kTop, setting::kPlaceDpi, setting::kCompact}) {
    store.Remove(SettingsKey::Panel, name);
  }
}

std::u16string SignInCommand(std::u16string_view executable) {
  return u"\"" + std::u16string(executable) + u"\"";
}

bool StartsAtSignIn(const StoredValue& value, std::u16string_view executable) {
  if (value.kind != StoredValue::Kind::Text) return false;
  std::u16string_view command = value.text;
  if (command.size() >= 2 && command.front() == u'"' && command.back() == u'"') {
    command = command.substr(1, command.size() - 2);
  }
  return !executable.empty() && SamePath(command, executable);
}

bool TurnedOffAtSignIn(const StoredValue& record) {
  return record.kind == StoredValue::Kind::Bytes && !record.bytes.empty() && (record.bytes.front() & 1) != 0;
}

const MenuRow& MenuRowOf(MenuItem item) {
  if (item == kShowHideRow.item) return kShowHideRow;
  if (item == kExitRow.item) return kExitRow;
  const auto it = std::find_if(kSettingsMenu.begin(), kSettingsMenu.end(),
                               [item](const MenuRow& row) { return row.item == item; });
  if (it == kSettingsMenu.end()) {
    throw PanelError(ErrorKind::SubscriptOutOfRange, "no menu item " + std::to_string(static_cast<int>(item)));
  }
  return *it;
}

const MenuGroupRow& MenuGroupOf(MenuGroup group) {
  const auto it = std::find_if(kMenuGroups.begin(), kMenuGroups.end(),
                               [group](const MenuGroupRow& row) { return row.group == group; });
  if (it == kMenuGroups.end()) {
    throw PanelError(ErrorKind::SubscriptOutOfRange, "no menu group " + std::to_string(static_cast<int>(group)));
  }
  return *it;
}

std::u16string AboutText(const ProgramVersion& version) {
  return version.description + u"\n版本 " + version.version + u"\n" + version.copyright;
}

}  // namespace yg
