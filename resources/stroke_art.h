#pragma once

// Bitmaps, the panel's icon drawn as pixel art, and the encoders that turn pictures into the .bmp
// and .ico files of the resources and the help. Platform-neutral: the files are generated and
// checked on the build machine.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace yg {

// Pixels are 0x00RRGGBB; a set high byte marks a pixel as not a colour (see kTransparent).
struct Bitmap {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;  // row-major, top row first

  Bitmap() = default;
  Bitmap(int w, int h, std::uint32_t fill);

  std::uint32_t At(int x, int y) const { return pixels[Index(x, y)]; }
  std::uint32_t& At(int x, int y) { return pixels[Index(x, y)]; }

 private:
  std::size_t Index(int x, int y) const;  // throws std::out_of_range outside the bitmap
};

// The icon's see-through pixels. Only icons carry it; the encoders refuse it in a .bmp.
inline constexpr std::uint32_t kTransparent = 0xFF000000;

// The sizes the icon is drawn at, each pixel by pixel: the system's small and large icons at
// 100% to 200% (16 pixels at 100%, 20 at 125%, 24 at 150%, 28 at 175%, 32 at 200%).
inline constexpr std::array<int, 5> kIconSizes{32, 28, 24, 20, 16};

// The smiling face at one of kIconSizes, pixels square (std::invalid_argument for any other
// size), in the 16 VGA colours, kTransparent around the face.
Bitmap DrawIcon(int size);

// A bottom-up 24-bit .bmp file.
std::vector<std::uint8_t> EncodeBmp24(const Bitmap& picture);

// One .ico file with every image at 4 bits a pixel in the VGA palette, with an AND mask for the
// kTransparent pixels. Images must be square, 1 to 256 pixels, and use only VGA colours.
std::vector<std::uint8_t> EncodeIco(std::span<const Bitmap> images);

}  // namespace yg
