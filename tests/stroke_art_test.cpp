#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "resources/stroke_drawing.h"

namespace yg {
namespace {

using P = StrokePicture;

constexpr std::uint32_t kWhite = 0xFFFFFF, kFace = 0xEEEDDB, kYellow = 0xFFFF00;

std::set<std::uint32_t> ColoursOf(const Bitmap& b) { return {b.pixels.begin(), b.pixels.end()}; }

TEST(Icon, IsAYellowFaceOnATransparentGroundInVgaColours) {
  const std::set<std::uint32_t> vga = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                       0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                       0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF, kTransparent};
  for (int size : kIconSizes) {
    const Bitmap icon = DrawIcon(size);
    ASSERT_EQ(icon.width, size);
    ASSERT_EQ(icon.height, size);
    const std::pair<int, int> corners[] = {{0, 0}, {size - 1, 0}, {0, size - 1}, {size - 1, size - 1}};
    for (const auto& [x, y] : corners)
      EXPECT_EQ(icon.At(x, y), kTransparent) << size << " at " << x << "," << y;
    EXPECT_EQ(icon.At(size / 2, size / 2), kYellow) << size;
    EXPECT_EQ(icon.At(size / 2 - 1, size / 2 - 1), kYellow) << size;
    for (std::uint32_t c : ColoursOf(icon)) EXPECT_TRUE(vga.count(c)) << size << ": " << std::hex << c;
  }
}

std::uint32_t Le(const std::vector<std::uint8_t>& bytes, std::size_t at, int size) {
  std::uint32_t v = 0;
  for (int i = size - 1; i >= 0; --i) v = v << 8 | bytes.at(at + i);
  return v;
}

TEST(EncodeBmp24, WritesBottomRowFirstInBlueGreenRedWithRowsPaddedToFourBytes) {
  Bitmap b(3, 2, kWhite);
  b.At(0, 0) = 0x112233;  // top left
  b.At(0, 1) = 0x445566;  // bottom left
  const std::vector<std::uint8_t> file = EncodeBmp24(b);
  ASSERT_EQ(file.size(), 54u + 2 * 12);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(Le(file, 2, 4), file.size());
  EXPECT_EQ(Le(file, 10, 4), 54u);
  EXPECT_EQ(Le(file, 18, 4), 3u);
  EXPECT_EQ(Le(file, 22, 4), 2u);  // positive height: bottom-up
  EXPECT_EQ(Le(file, 28, 2), 24u);
  EXPECT_EQ(Le(file, 54, 3), 0x445566u);
  EXPECT_EQ(Le(file, 54 + 9, 3), 0u);  // padding
  EXPECT_EQ(Le(file, 54 + 12, 3), 0x112233u);
  b.At(1, 1) = kTransparent;
  EXPECT_THROW(EncodeBmp24(b), std::invalid_argument);
}

// Reads one image of an .ico back the way Windows does: the AND mask decides transparency,
// otherwise the 4-bit index into the image's own palette gives the colour.
Bitmap DecodeIcoImage(const std::vector<std::uint8_t>& file, std::size_t image, int size) {
  const std::size_t palette = image + 40, colours = palette + 16 * 4;
  const std::size_t xorRow = (size * 4 + 31) / 32 * 4, andRow = (size + 31) / 32 * 4;
  const std::size_t mask = colours + xorRow * size;
  Bitmap b(size, size, 0);
  for (int y = 0; y < size; ++y) {
    const std::size_t row = size - 1 - y;  // bottom row first
    for (int x = 0; x < size; ++x) {
      const bool clear = file.at(mask + row * andRow + x / 8) & (0x80 >> (x % 8));
      const int index = file.at(colours + row * xorRow + x / 2) >> (x % 2 == 0 ? 4 : 0) & 0xF;
      b.At(x, y) = clear ? kTransparent : Le(file, palette + 4 * index, 4);
    }
  }
  return b;
}

TEST(EncodeIco, HoldsBothSizesAtFourBitsWithAMaskForTheTransparentPixels) {
  const std::array icons = {DrawIcon(32), DrawIcon(16)};
  const std::vector<std::uint8_t> file = EncodeIco(icons);
  EXPECT_EQ(Le(file, 0, 2), 0u);
  EXPECT_EQ(Le(file, 2, 2), 1u);  // icon, not cursor
  ASSERT_EQ(Le(file, 4, 2), 2u);
  std::size_t end = 6 + 2 * 16;
  for (const Bitmap& icon : icons) {
    const std::size_t entry = 6 + 16 * (&icon - icons.data());
    EXPECT_EQ(file[entry], icon.width);
    EXPECT_EQ(file[entry + 1], icon.height);
    EXPECT_EQ(Le(file, entry + 6, 2), 4u);  // bits a pixel
    const std::size_t bytes = Le(file, entry + 8, 4), image = Le(file, entry + 12, 4);
    EXPECT_EQ(image, end) << icon.width << ": images follow one another with no gaps";
    end = image + bytes;
    EXPECT_EQ(Le(file, image + 8, 4), 2u * icon.height) << "colour rows and mask rows together";
    EXPECT_EQ(Le(file, image + 14, 2), 4u);
    EXPECT_TRUE(DecodeIcoImage(file, image, icon.width).pixels == icon.pixels) << icon.width;
  }
  EXPECT_EQ(end, file.size());
}

TEST(EncodeIco, RefusesColoursOutsideThePalette) {
  Bitmap icon = DrawIcon(16);
  icon.At(8, 8) = kFace;
  EXPECT_THROW(EncodeIco(std::span(&icon, 1)), std::invalid_argument);
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) ADD_FAILURE() << "cannot open " << path;
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ResourceFiles, MatchTheDrawingsByteForByte) {
  const std::pair<P, const char*> pictures[] = {
      {P::HNormal, "strokes/h_normal.bmp"}, {P::HPressed, "strokes/h_pressed.bmp"},
      {P::INormal, "strokes/i_normal.bmp"}, {P::IPressed, "strokes/i_pressed.bmp"},
      {P::JNormal, "strokes/j_normal.bmp"}, {P::JPressed, "strokes/j_pressed.bmp"},
      {P::KNormal, "strokes/k_normal.bmp"}, {P::KPressed, "strokes/k_pressed.bmp"},
      {P::LNormal, "strokes/l_normal.bmp"}, {P::LPressed, "strokes/l_pressed.bmp"},
  };
  const std::string folder = YG_RESOURCES_DIR "/";
  const char* stale = ": stale, rebuild the `resources` target";
  for (const auto& [picture, name] : pictures)
    EXPECT_TRUE(ReadFile(folder + name) == EncodeBmp24(DrawStrokePicture(picture))) << name << stale;
  std::vector<Bitmap> icons;
  for (int size : kIconSizes) icons.push_back(DrawIcon(size));
  EXPECT_TRUE(ReadFile(folder + "ygpanel.ico") == EncodeIco(icons)) << "ygpanel.ico" << stale;
}

}  // namespace
}  // namespace yg
