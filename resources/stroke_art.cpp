#include "resources/stroke_art.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>
#include <string_view>

namespace yg {

namespace {

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kYellow = 0xFFFF00;  // the icon's face

// Every row of a pixel-art grid is as wide as the picture it draws.
template <std::size_t Rows>
constexpr bool RowsAreAll(const std::array<std::string_view, Rows>& art, std::size_t width) {
  return std::all_of(art.begin(), art.end(), [width](std::string_view row) { return row.size() == width; });
}

// ---------------------------------------------------------------------------------------------
// Icon

// 'K' black, 'Y' yellow, '.' transparent.
constexpr std::array<std::string_view, 32> kIcon32 = {
    "............KKKKKKKK............",
    ".........KKKYYYYYYYYKKK.........",
    ".......KKYYYYYYYYYYYYYYKK.......",
    "......KYYYYYYYYYYYYYYYYYYK......",
    ".....KYYYYYYYYYYYYYYYYYYYYK.....",
    "....KYYYYYYYYYYYYYYYYYYYYYYK....",
    "...KYYYYYYYYYYYYYYYYYYYYYYYYK...",
    "..KYYYYYYYYYYYYYYYYYYYYYYYYYYK..",
    "..KYYYYYYYYKYYYYYYYYKYYYYYYYYK..",
    ".KYYYYYYYYKKKYYYYYYKKKYYYYYYYYK.",
    ".KYYYYYYYYKKKYYYYYYKKKYYYYYYYYK.",
    ".KYYYYYYYYKKKYYYYYYKKKYYYYYYYYK.",
    "KYYYYYYYYYKKKYYYYYYKKKYYYYYYYYYK",
    "KYYYYYYYYYKKKYYYYYYKKKYYYYYYYYYK",
    "KYYYYYYYYYYKYYYYYYYYKYYYYYYYYYYK",
    "KYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYK",
    "KYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYK",
    "KYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYK",
    "KYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYK",
    "KYYYYYYKYYYYYYYYYYYYYYYYKYYYYYYK",
    ".KYYYYYKKYYYYYYYYYYYYYYKKYYYYYK.",
    ".KYYYYYYKKYYYYYYYYYYYYKKYYYYYYK.",
    ".KYYYYYYKKKYYYYYYYYYYKKKYYYYYYK.",
    "..KYYYYYYKKKYYYYYYYYKKKYYYYYYK..",
    "..KYYYYYYYYKKKKKKKKKKYYYYYYYYK..",
    "...KYYYYYYYYYKKKKKKYYYYYYYYYK...",
    "....KYYYYYYYYYYYYYYYYYYYYYYK....",
    ".....KYYYYYYYYYYYYYYYYYYYYK.....",
    "......KYYYYYYYYYYYYYYYYYYK......",
    ".......KKYYYYYYYYYYYYYYKK.......",
    ".........KKKYYYYYYYYKKK.........",
    "............KKKKKKKK............",
};

constexpr std::array<std::string_view, 16> kIcon16 = {
    ".....KKKKKK.....",
    "...KKYYYYYYKK...",
    "..KYYYYYYYYYYK..",
    ".KYYYYYYYYYYYYK.",
    ".KYYYKYYYYKYYYK.",
    "KYYYYKYYYYKYYYYK",
    "KYYYYKYYYYKYYYYK",
    "KYYYYYYYYYYYYYYK",
    "KYYYYYYYYYYYYYYK",
    "KYYKYYYYYYYYKYYK",
    "KYYYKYYYYYYKYYYK",
    ".KYYYKKYYKKYYYK.",
    ".KYYYYYKKYYYYYK.",
    "..KYYYYYYYYYYK..",
    "...KKYYYYYYKK...",
    ".....KKKKKK.....",
};

constexpr std::array<std::string_view, 28> kIcon28 = {
    "...........KKKKKK...........",
    "........KKKYYYYYYKKK........",
    "......KKYYYYYYYYYYYYKK......",
    ".....KYYYYYYYYYYYYYYYYK.....",
    "....KYYYYYYYYYYYYYYYYYYK....",
    "...KYYYYYYYYYYYYYYYYYYYYK...",
    "..KYYYYYYYYYYYYYYYYYYYYYYK..",
    "..KYYYYYKKYYYYYYYYKKYYYYYK..",
    ".KYYYYYYKKYYYYYYYYKKYYYYYYK.",
    ".KYYYYYYKKYYYYYYYYKKYYYYYYK.",
    ".KYYYYYYKKYYYYYYYYKKYYYYYYK.",
    "KYYYYYYYKKYYYYYYYYKKYYYYYYYK",
    "KYYYYYYYKKYYYYYYYYKKYYYYYYYK",
    "KYYYYYYYYYYYYYYYYYYYYYYYYYYK",
    "KYYYYYYYYYYYYYYYYYYYYYYYYYYK",
    "KYYYYYYYYYYYYYYYYYYYYYYYYYYK",
    "KYYYYYYYYYYYYYYYYYYYYYYYYYYK",
    ".KYYYYYYYYYYYYYYYYYYYYYYYYK.",
    ".KYYYYKKYYYYYYYYYYYYKKYYYYK.",
    ".KYYYYKKKYYYYYYYYYYKKKYYYYK.",
    "..KYYYYKKKYYYYYYYYKKKYYYYK..",
    "..KYYYYYKKKKKKKKKKKKYYYYYK..",
    "...KYYYYYKKKKKKKKKKYYYYYK...",
    "....KYYYYYYKKKKKKYYYYYYK....",
    ".....KYYYYYYYYYYYYYYYYK.....",
    "......KKYYYYYYYYYYYYKK......",
    "........KKKYYYYYYKKK........",
    "...........KKKKKK...........",
};

constexpr std::array<std::string_view, 24> kIcon24 = {
    ".........KKKKKK.........",
    ".......KKYYYYYYKK.......",
    ".....KKYYYYYYYYYYKK.....",
    "....KYYYYYYYYYYYYYYK....",
    "...KYYYYYYYYYYYYYYYYK...",
    "..KYYYYYYYYYYYYYYYYYYK..",
    "..KYYYYKKYYYYYYKKYYYYK..",
    ".KYYYYYKKYYYYYYKKYYYYYK.",
    ".KYYYYYKKYYYYYYKKYYYYYK.",
    "KYYYYYYKKYYYYYYKKYYYYYYK",
    "KYYYYYYKKYYYYYYKKYYYYYYK",
    "KYYYYYYYYYYYYYYYYYYYYYYK",
    "KYYYYYYYYYYYYYYYYYYYYYYK",
    "KYYYYYYYYYYYYYYYYYYYYYYK",
    "KYYYYYYYYYYYYYYYYYYYYYYK",
    ".KYYYYKYYYYYYYYYYKYYYYK.",
    ".KYYYKKKYYYYYYYYKKKYYYK.",
    "..KYYYKKKYYYYYYKKKYYYK..",
    "..KYYYKKKKKKKKKKKKYYYK..",
    "...KYYYYKKKKKKKKYYYYK...",
    "....KYYYYYKKKKYYYYYK....",
    ".....KKYYYYYYYYYYKK.....",
    ".......KKYYYYYYKK.......",
    ".........KKKKKK.........",
};

constexpr std::array<std::string_view, 20> kIcon20 = {
    ".......KKKKKK.......",
    ".....KKYYYYYYKK.....",
    "....KYYYYYYYYYYK....",
    "...KYYYYYYYYYYYYK...",
    "..KYYYYYYYYYYYYYYK..",
    ".KYYYYKKYYYYKKYYYYK.",
    ".KYYYYKKYYYYKKYYYYK.",
    "KYYYYYKKYYYYKKYYYYYK",
    "KYYYYYKKYYYYKKYYYYYK",
    "KYYYYYYYYYYYYYYYYYYK",
    "KYYYYYYYYYYYYYYYYYYK",
    "KYYYYYYYYYYYYYYYYYYK",
    "KYYYYYYYYYYYYYYYYYYK",
    ".KYYKKYYYYYYYYKKYYK.",
    ".KYYYKKYYYYYYKKYYYK.",
    "..KYYYKKKKKKKKYYYK..",
    "...KYYYYKKKKYYYYK...",
    "....KYYYYYYYYYYK....",
    ".....KKYYYYYYKK.....",
    ".......KKKKKK.......",
};

static_assert(RowsAreAll(kIcon32, 32) && RowsAreAll(kIcon28, 28) && RowsAreAll(kIcon24, 24) &&
              RowsAreAll(kIcon20, 20) && RowsAreAll(kIcon16, 16));

std::uint32_t ColourOfIconArt(char c) {
  switch (c) {
    case 'K': return kBlack;
    case 'Y': return kYellow;
    case '.': return kTransparent;
  }
  throw std::logic_error(std::string("icon art: unknown pixel '") + c + "'");
}

// ---------------------------------------------------------------------------------------------
// Encoders

// The 16 standard VGA colours in the order of the Windows 16-colour palette; an icon pixel is
// stored as its index here.
constexpr std::array<std::uint32_t, 16> kVgaPalette = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

constexpr std::uint32_t kBitmapInfoHeaderSize = 40;
constexpr std::uint32_t kPaletteBytes = 4 * kVgaPalette.size();
// 96 pixels an inch: the pictures are drawn for the design resolution.
constexpr std::uint32_t kPixelsPerMetre = 3780;

void PutLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// Rows of a DIB are padded to whole 32-bit words.
std::uint32_t RowBytes(int width, int bitsPerPixel) {
  return static_cast<std::uint32_t>((width * bitsPerPixel + 31) / 32 * 4);
}

void PutInfoHeader(std::vector<std::uint8_t>& out, int width, int height, int bitsPerPixel,
                   std::uint32_t imageBytes, std::uint32_t pixelsPerMetre) {
  PutLe(out, kBitmapInfoHeaderSize, 4);
  PutLe(out, static_cast<std::uint32_t>(width), 4);
  PutLe(out, static_cast<std::uint32_t>(height), 4);  // positive: bottom row first
  PutLe(out, 1, 2);                                   // planes
  PutLe(out, static_cast<std::uint32_t>(bitsPerPixel), 2);
  PutLe(out, 0, 4);                                   // BI_RGB, uncompressed
  PutLe(out, imageBytes, 4);
  PutLe(out, pixelsPerMetre, 4);
  PutLe(out, pixelsPerMetre, 4);
  PutLe(out, 0, 4);                                   // colours used: all the format has
  PutLe(out, 0, 4);                                   // colours important: all
}

void RequireNonEmpty(const Bitmap& bitmap, const char* what) {
  const auto area = static_cast<std::size_t>(bitmap.width) * static_cast<std::size_t>(bitmap.height);
  if (bitmap.width <= 0 || bitmap.height <= 0 || bitmap.pixels.size() != area)
    throw std::invalid_argument(std::string(what) + ": empty or malformed bitmap");
}

std::uint8_t VgaIndex(std::uint32_t colour) {
  const auto it = std::find(kVgaPalette.begin(), kVgaPalette.end(), colour);
  if (it == kVgaPalette.end()) throw std::invalid_argument("icon: colour outside the VGA palette");
  return static_cast<std::uint8_t>(it - kVgaPalette.begin());
}

std::uint32_t IcoImageBytes(const Bitmap& image) {
  return kBitmapInfoHeaderSize + kPaletteBytes +
         (RowBytes(image.width, 4) + RowBytes(image.width, 1)) * static_cast<std::uint32_t>(image.height);
}

// The colour bits, then the AND mask, both bottom row first. Transparent pixels have colour
// index 0 (black) and mask bit 1, so that the screen shows through unchanged.
void PutIcoImage(std::vector<std::uint8_t>& out, const Bitmap& image) {
  const std::uint32_t xorRow = RowBytes(image.width, 4), andRow = RowBytes(image.width, 1);
  // An icon's DIB header counts the colour rows and the mask rows together.
  PutInfoHeader(out, image.width, 2 * image.height, 4, (xorRow + andRow) * image.height, 0);
  for (std::uint32_t colour : kVgaPalette) {
    PutLe(out, colour & 0xFF, 1);  // RGBQUAD: blue, green, red, reserved
    PutLe(out, (colour >> 8) & 0xFF, 1);
    PutLe(out, (colour >> 16) & 0xFF, 1);
    PutLe(out, 0, 1);
  }
  for (int y = image.height - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(xorRow, 0);
    for (int x = 0; x < image.width; ++x) {
      const std::uint32_t p = image.At(x, y);
      const std::uint8_t index = p == kTransparent ? 0 : VgaIndex(p);
      row[x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? index << 4 : index);  // left pixel high
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  for (int y = image.height - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(andRow, 0);
    for (int x = 0; x < image.width; ++x)
      if (image.At(x, y) == kTransparent) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    out.insert(out.end(), row.begin(), row.end());
  }
}

}  // namespace

Bitmap::Bitmap(int w, int h, std::uint32_t fill) : width(w), height(h) {
  if (w < 0 || h < 0) throw std::invalid_argument("bitmap: negative size");
  pixels.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill);
}

std::size_t Bitmap::Index(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height)
    throw std::out_of_range("bitmap: pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") outside");
  return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
}

Bitmap DrawIcon(int size) {
  std::span<const std::string_view> art;
  switch (size) {
    case 32: art = kIcon32; break;
    case 28: art = kIcon28; break;
    case 24: art = kIcon24; break;
    case 20: art = kIcon20; break;
    case 16: art = kIcon16; break;
    default: throw std::invalid_argument("icon: drawn at the sizes of kIconSizes only");
  }
  Bitmap icon(size, size, kTransparent);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) icon.At(x, y) = ColourOfIconArt(art[y].at(x));
  return icon;
}

std::vector<std::uint8_t> EncodeBmp24(const Bitmap& picture) {
  RequireNonEmpty(picture, "bmp");
  constexpr std::uint32_t kFileHeaderSize = 14;
  const std::uint32_t rowBytes = RowBytes(picture.width, 24);
  const std::uint32_t imageBytes = rowBytes * static_cast<std::uint32_t>(picture.height);
  const std::uint32_t pixelOffset = kFileHeaderSize + kBitmapInfoHeaderSize;

  std::vector<std::uint8_t> out;
  out.reserve(pixelOffset + imageBytes);
  out.push_back('B');
  out.push_back('M');
  PutLe(out, pixelOffset + imageBytes, 4);
  PutLe(out, 0, 4);  // two reserved words
  PutLe(out, pixelOffset, 4);
  PutInfoHeader(out, picture.width, picture.height, 24, imageBytes, kPixelsPerMetre);
  for (int y = picture.height - 1; y >= 0; --y) {
    const std::size_t rowStart = out.size();
    for (int x = 0; x < picture.width; ++x) {
      const std::uint32_t p = picture.At(x, y);
      if (p > 0xFFFFFF) throw std::invalid_argument("bmp: pixel is not a colour");
      PutLe(out, p, 3);  // blue, green, red
    }
    out.resize(rowStart + rowBytes, 0);
  }
  return out;
}

std::vector<std::uint8_t> EncodeIco(std::span<const Bitmap> images) {
  if (images.empty() || images.size() > 0xFFFF) throw std::invalid_argument("ico: 1 to 65535 images");
  for (const Bitmap& image : images) {
    RequireNonEmpty(image, "ico");
    if (image.width != image.height || image.width > 256)
      throw std::invalid_argument("ico: image not square or too large");
  }
  constexpr std::uint32_t kDirHeaderSize = 6, kDirEntrySize = 16;
  std::vector<std::uint8_t> out;
  PutLe(out, 0, 2);  // reserved
  PutLe(out, 1, 2);  // resource type: icon
  PutLe(out, static_cast<std::uint32_t>(images.size()), 2);
  std::uint32_t offset = kDirHeaderSize + kDirEntrySize * static_cast<std::uint32_t>(images.size());
  for (const Bitmap& image : images) {
    const std::uint32_t bytes = IcoImageBytes(image);
    PutLe(out, static_cast<std::uint32_t>(image.width % 256), 1);  // 0 stands for 256
    PutLe(out, static_cast<std::uint32_t>(image.height % 256), 1);
    PutLe(out, 16, 1);  // colours in the palette
    PutLe(out, 0, 1);   // reserved
    PutLe(out, 1, 2);   // planes
    PutLe(out, 4, 2);   // bits a pixel
    PutLe(out, bytes, 4);
    PutLe(out, offset, 4);
    offset += bytes;
  }
  for (const Bitmap& image : images) PutIcoImage(out, image);
  return out;
}

}  // namespace yg
