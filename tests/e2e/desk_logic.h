#pragma once

// What yg_desk.exe computes without the window system, so that it is tested on any machine: where
// an absolute mouse position lands, which keys a chord names, and the PNG file of a screenshot.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace yg::desk {

// The mark that every input of the driver carries in dwExtraInfo, so that whoever watches the
// keyboard can tell the driver's own Tab from the keys the panel types (the panel sends 0).
inline constexpr std::uintptr_t kDriverMark = 0x59474b44;  // "YGKD"

// The normalized absolute coordinate (0 to 65535) that SendInput maps onto `pixel` along one axis
// of the virtual desktop, which starts at `origin` and is `extent` pixels long. The system maps a
// coordinate n to origin + n * extent / 65536, rounded down (Wine, and Windows as measured by those
// who drive it); this aims at the pixel's middle. A mapping that rounded to the nearest would land
// one pixel further wherever the middle is a whole n, as at every pixel of 1024 or 768.
int NormalizedCoordinate(int pixel, int origin, int extent);

// A key of a chord: its virtual-key code, and whether it is one of the extended keys (arrows,
// the editing block, the Windows keys), which SendInput must be told.
struct ChordKey {
  std::uint8_t vk;
  bool extended;
  bool operator==(const ChordKey&) const = default;
};

// "Tab", "shift+Tab", "ctrl+alt+Delete": the modifiers in the order given, then the key; names as
// X keysyms spell them, case-insensitive, and single letters and digits. Nothing for an unknown
// name, an empty part or a chord whose last part is a modifier.
std::optional<std::vector<ChordKey>> ParseChord(std::string_view chord);

// The checksums of PNG (CRC-32, ISO 3309) and of the zlib stream inside it (Adler-32), continued
// from `start`.
std::uint32_t Crc32(std::span<const std::uint8_t> bytes, std::uint32_t start = 0);
std::uint32_t Adler32(std::span<const std::uint8_t> bytes, std::uint32_t start = 1);

// A PNG file of an 8-bit RGB picture, rows top down, 3 bytes a pixel, without compression (stored
// deflate blocks): any viewer and Python's zlib read it. Empty if the sizes do not match.
std::string EncodePng(int width, int height, std::span<const std::uint8_t> rgb);

}  // namespace yg::desk
