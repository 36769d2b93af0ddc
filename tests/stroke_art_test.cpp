#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>

#include "resources/stroke_drawing.h"

namespace yg {
namespace {

using P = StrokePicture;

constexpr std::uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF, kGrey = 0x808080, kLightGrey = 0xC0C0C0,
                        kFace = 0xEEEDDB, kBlue = 0x0000FF, kOrange = 0xFF8040, kYellow = 0xFFFF00;

struct Box {
  int left, right, top, bottom;  // inclusive
  bool operator==(const Box&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Box& b) {
  return os << "x " << b.left << ".." << b.right << ", y " << b.top << ".." << b.bottom;
}

// Where each key's drawing lies on its normal picture.
struct KeyCase {
  const char* key;
  P normal, pressed;
  Box black;
  std::optional<Box> blue;
  Box orange;
};

const KeyCase kKeys[] = {
    {"H", P::HNormal, P::HPressed, {5, 19, 9, 10}, Box{11, 17, 22, 25}, {3, 7, 26, 32}},
    {"I", P::INormal, P::IPressed, {11, 13, 5, 17}, Box{14, 16, 20, 29}, {5, 5, 26, 32}},
    {"J", P::JNormal, P::JPressed, {8, 14, 5, 18}, std::nullopt, {3, 6, 26, 32}},
    {"K", P::KNormal, P::KPressed, {10, 15, 8, 13}, Box{11, 17, 20, 27}, {4, 8, 26, 32}},
    {"L", P::LNormal, P::LPressed, {8, 15, 5, 15}, Box{6, 19, 21, 30}, {4, 7, 26, 32}},
};

// The bounding box of the pixels of one colour inside the outline (which is black too);
// nothing when the colour is absent.
std::optional<Box> BoxOf(const Bitmap& b, std::uint32_t colour) {
  std::optional<Box> box;
  for (int y = 1; y < b.height - 1; ++y)
    for (int x = 1; x < b.width - 1; ++x) {
      if (b.At(x, y) != colour) continue;
      if (!box) box = Box{x, x, y, y};
      box = Box{std::min(box->left, x), std::max(box->right, x), std::min(box->top, y),
                std::max(box->bottom, y)};
    }
  return box;
}

std::optional<Box> Shifted(std::optional<Box> b, int by) {
  if (b) *b = Box{b->left + by, b->right + by, b->top + by, b->bottom + by};
  return b;
}

std::set<std::uint32_t> ColoursOf(const Bitmap& b) { return {b.pixels.begin(), b.pixels.end()}; }

bool IsInk(std::uint32_t c) { return c == kBlack || c == kBlue || c == kOrange; }

TEST(StrokePicture, EachInkFillsExactlyItsBoxAndMovesDownRightWhenPressed) {
  for (const KeyCase& k : kKeys) {
    for (const auto& [picture, shift] : {std::pair{k.normal, 0}, std::pair{k.pressed, 1}}) {
      const Bitmap b = DrawStrokePicture(picture);
      ASSERT_EQ(b.width, 25);
      ASSERT_EQ(b.height, 37);
      EXPECT_EQ(BoxOf(b, kBlack), Shifted(k.black, shift)) << k.key << " shift " << shift;
      EXPECT_EQ(BoxOf(b, kBlue), Shifted(k.blue, shift)) << k.key << " shift " << shift;
      EXPECT_EQ(BoxOf(b, kOrange), Shifted(k.orange, shift)) << k.key << " shift " << shift;
    }
  }
}

TEST(StrokePicture, PressedDrawingIsTheNormalOneMovedByOnePixel) {
  for (const KeyCase& k : kKeys) {
    const Bitmap normal = DrawStrokePicture(k.normal), pressed = DrawStrokePicture(k.pressed);
    for (int y = 3; y <= 33; ++y)
      for (int x = 3; x <= 21; ++x) {
        const std::uint32_t n = normal.At(x, y), p = pressed.At(x + 1, y + 1);
        if (IsInk(n) || IsInk(p)) {
          EXPECT_EQ(p, n) << k.key << " at " << x << "," << y;
        }
      }
  }
}

// The key's edge as drawn outside the face; nothing inside it, where the drawing lies.
std::optional<std::uint32_t> RaisedEdge(int x, int y) {
  const bool corner = (x == 0 || x == 24) && (y == 0 || y == 36);
  if (corner) return kWhite;
  if (x == 0 || x == 24 || y == 0 || y == 36) return kBlack;
  if ((x >= 22 && y <= 2) || (x <= 2 && y >= 34)) return kLightGrey;
  if (x <= 2 || y <= 2) return kWhite;
  if (x >= 22 || y >= 34) return kGrey;
  return std::nullopt;
}

std::optional<std::uint32_t> SunkenEdge(int x, int y) {
  if ((x == 0 && y == 0) || (x == 24 && y == 36)) return kWhite;
  if (x == 0 || x == 24 || y == 0 || y == 36) return kBlack;
  if (x == 1 || y == 1) return kGrey;
  return std::nullopt;
}

// Together with the edges, this also keeps the pictures to their seven colours.
TEST(StrokePicture, EdgesAreARaisedOrSunkenKeyAndTheFaceHoldsOnlyInk) {
  for (const KeyCase& k : kKeys) {
    for (const auto& [picture, edge] :
         {std::pair{k.normal, &RaisedEdge}, std::pair{k.pressed, &SunkenEdge}}) {
      const Bitmap b = DrawStrokePicture(picture);
      for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) {
          const std::uint32_t c = b.At(x, y);
          const char* look = edge == &RaisedEdge ? " normal" : " pressed";
          if (const auto expected = edge(x, y)) {
            EXPECT_EQ(c, *expected) << k.key << look << " at " << x << "," << y;
          } else {
            EXPECT_TRUE(c == kFace || IsInk(c)) << k.key << look << " at " << x << "," << y << ": "
                                                << std::hex << c;
          }
        }
    }
  }
}

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
