#include "tests/e2e/desk_logic.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace yg::desk {

namespace {

// Virtual-key codes, as <windows.h> numbers them; the names are X keysyms.
struct KeyName {
  std::string_view name;
  std::uint8_t vk;
  bool extended;
  bool modifier;
};
constexpr KeyName kKeyNames[] = {
    {"shift", 0xA0, false, true},  // the left keys, as a hand on a keyboard presses them
    {"ctrl", 0xA2, false, true},
    {"alt", 0xA4, false, true},
    {"super", 0x5B, true, true},
    {"BackSpace", 0x08, false, false},
    {"Tab", 0x09, false, false},
    {"Return", 0x0D, false, false},
    {"Escape", 0x1B, false, false},
    {"space", 0x20, false, false},
    {"Prior", 0x21, true, false},
    {"Next", 0x22, true, false},
    {"End", 0x23, true, false},
    {"Home", 0x24, true, false},
    {"Left", 0x25, true, false},
    {"Up", 0x26, true, false},
    {"Right", 0x27, true, false},
    {"Down", 0x28, true, false},
    {"Insert", 0x2D, true, false},
    {"Delete", 0x2E, true, false},
    {"Menu", 0x5D, true, false},
    {"F1", 0x70, false, false},
    {"F2", 0x71, false, false},
    {"F3", 0x72, false, false},
    {"F4", 0x73, false, false},
    {"F5", 0x74, false, false},
    {"F6", 0x75, false, false},
    {"F7", 0x76, false, false},
    {"F8", 0x77, false, false},
    {"F9", 0x78, false, false},
    {"F10", 0x79, false, false},
    {"F11", 0x7A, false, false},
    {"F12", 0x7B, false, false},
};

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::optional<KeyName> FindKey(std::string_view name) {
  if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
    // Letters have their capital's code, digits their own.
    const auto c = static_cast<std::uint8_t>(std::toupper(static_cast<unsigned char>(name[0])));
    return KeyName{name, c, false, false};
  }
  for (const KeyName& key : kKeyNames) {
    if (SameName(key.name, name)) return key;
  }
  return std::nullopt;
}

constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}
constexpr auto kCrcTable = MakeCrcTable();

void AppendBigEndian(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

std::span<const std::uint8_t> Bytes(const std::string& text, std::size_t from = 0) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()) + from, text.size() - from};
}

// A chunk: length, type, data, and the CRC of type and data.
void AppendChunk(std::string& png, std::string_view type, const std::string& data) {
  AppendBigEndian(png, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = png.size();
  png.append(type);
  png.append(data);
  AppendBigEndian(png, Crc32(Bytes(png, start)));
}

// A zlib stream of stored blocks (at most 65535 bytes each) holding `raw`.
std::string StoredZlib(const std::string& raw) {
  std::string out = "\x78\x01";  // deflate, 32 KiB window, no dictionary, fastest
  std::size_t at = 0;
  do {
    const std::size_t length = std::min<std::size_t>(raw.size() - at, 65535);
    const bool last = at + length == raw.size();
    out += static_cast<char>(last ? 1 : 0);
    out += static_cast<char>(length & 0xFF);
    out += static_cast<char>(length >> 8);
    out += static_cast<char>(~length & 0xFF);
    out += static_cast<char>((~length >> 8) & 0xFF);
    out.append(raw, at, length);
    at += length;
  } while (at < raw.size());
  AppendBigEndian(out, Adler32(Bytes(raw)));
  return out;
}

}  // namespace

int NormalizedCoordinate(int pixel, int origin, int extent) {
  if (extent <= 0) return 0;
  const long long offset = std::clamp<long long>(pixel - origin, 0, extent - 1);
  return static_cast<int>(std::min<long long>((2 * offset + 1) * 32768 / extent, 65535));
}

std::optional<std::vector<ChordKey>> ParseChord(std::string_view chord) {
  std::vector<ChordKey> keys;
  bool last_is_modifier = true;
  while (true) {
    const std::size_t plus = chord.find('+');
    const std::string_view part = chord.substr(0, plus);
    const auto key = FindKey(part);
    if (!key) return std::nullopt;
    keys.push_back({key->vk, key->extended});
    last_is_modifier = key->modifier;
    if (plus == std::string_view::npos) break;
    if (!key->modifier) return std::nullopt;  // only modifiers come before the key
    chord.remove_prefix(plus + 1);
  }
  if (last_is_modifier) return std::nullopt;
  return keys;
}

std::uint32_t Crc32(std::span<const std::uint8_t> bytes, std::uint32_t start) {
  std::uint32_t c = ~start;
  for (std::uint8_t b : bytes) c = kCrcTable[(c ^ b) & 0xFF] ^ (c >> 8);
  return ~c;
}

std::uint32_t Adler32(std::span<const std::uint8_t> bytes, std::uint32_t start) {
  std::uint32_t a = start & 0xFFFF;
  std::uint32_t b = start >> 16;
  for (std::uint8_t byte : bytes) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

std::string EncodePng(int width, int height, std::span<const std::uint8_t> rgb) {
  if (width <= 0 || height <= 0 ||
      rgb.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3) {
    return {};
  }
  std::string header;
  AppendBigEndian(header, static_cast<std::uint32_t>(width));
  AppendBigEndian(header, static_cast<std::uint32_t>(height));
  header += "\x08\x02";      // 8 bits a sample, RGB
  header.append(3, '\0');    // deflate, adaptive filtering, no interlace
  const std::size_t row = static_cast<std::size_t>(width) * 3;
  std::string raw;
  raw.reserve((row + 1) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    raw += '\0';  // filter type None
    raw.append(reinterpret_cast<const char*>(rgb.data()) + static_cast<std::size_t>(y) * row, row);
  }
  std::string png = "\x89PNG\r\n\x1a\n";
  AppendChunk(png, "IHDR", header);
  AppendChunk(png, "IDAT", StoredZlib(raw));
  AppendChunk(png, "IEND", {});
  return png;
}

}  // namespace yg::desk
