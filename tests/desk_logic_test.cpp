#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/e2e/desk_logic.h"

namespace yg::desk {
namespace {

std::span<const std::uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::uint32_t BigEndianAt(const std::string& s, std::size_t at) {
  return (static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at])) << 24) |
         (static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at + 1])) << 16) |
         (static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at + 2])) << 8) |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at + 3]));
}

// Every pixel of a desktop's axis is reached: the system maps n to origin + n * extent / 65536.
TEST(NormalizedCoordinate, LandsOnEveryPixelOfTheVirtualDesktop) {
  const struct {
    int origin;
    int extent;
  } desks[] = {{0, 1024}, {0, 768}, {0, 1}, {0, 7}, {-1280, 3200}, {-1080, 2160}, {0, 7680}};
  for (const auto& d : desks) {
    for (int pixel = d.origin; pixel < d.origin + d.extent; ++pixel) {
      const long long n = NormalizedCoordinate(pixel, d.origin, d.extent);
      ASSERT_GE(n, 0);
      ASSERT_LE(n, 65535);
      ASSERT_EQ(d.origin + n * d.extent / 65536, pixel) << "extent " << d.extent << " from " << d.origin;
    }
  }
}

TEST(NormalizedCoordinate, KeepsPointsOffTheDesktopOnItsEdge) {
  EXPECT_EQ(NormalizedCoordinate(-5, 0, 1024), NormalizedCoordinate(0, 0, 1024));
  EXPECT_EQ(NormalizedCoordinate(5000, 0, 1024), NormalizedCoordinate(1023, 0, 1024));
  EXPECT_EQ(NormalizedCoordinate(10, 0, 0), 0);
}

TEST(ParseChord, NamesModifiersThenTheKey) {
  const struct {
    const char* chord;
    std::vector<ChordKey> keys;
  } cases[] = {
      {"Tab", {{0x09, false}}},
      {"shift+Tab", {{0xA0, false}, {0x09, false}}},
      {"SHIFT+tab", {{0xA0, false}, {0x09, false}}},
      {"ctrl+alt+Delete", {{0xA2, false}, {0xA4, false}, {0x2E, true}}},
      {"Return", {{0x0D, false}}},
      {"Escape", {{0x1B, false}}},
      {"Down", {{0x28, true}}},
      {"super+Up", {{0x5B, true}, {0x26, true}}},
      {"alt+F4", {{0xA4, false}, {0x73, false}}},
      {"a", {{0x41, false}}},
      {"Z", {{0x5A, false}}},
      {"ctrl+7", {{0xA2, false}, {0x37, false}}},
  };
  for (const auto& c : cases) {
    const auto keys = ParseChord(c.chord);
    ASSERT_TRUE(keys) << c.chord;
    EXPECT_EQ(*keys, c.keys) << c.chord;
  }
}

TEST(ParseChord, RefusesWhatNoKeyboardPresses) {
  for (const char* chord : {"", "shift", "shift+", "+Tab", "Tab+shift", "Tab+a", "Nope", "shift+Nope", "é", "F13",
                            "shift++Tab"}) {
    EXPECT_FALSE(ParseChord(chord)) << chord;
  }
}

// The published check values of both checksums, and PNG's own for its IEND chunk.
TEST(Checksums, MatchTheStandardCheckValues) {
  EXPECT_EQ(Crc32(Bytes("123456789")), 0xCBF43926u);
  EXPECT_EQ(Crc32(Bytes("IEND")), 0xAE426082u);
  EXPECT_EQ(Crc32(Bytes("6789"), Crc32(Bytes("12345"))), 0xCBF43926u);
  EXPECT_EQ(Adler32(Bytes("Wikipedia")), 0x11E60398u);
  EXPECT_EQ(Adler32(Bytes("")), 1u);
}

struct Chunk {
  std::string type;
  std::string data;
  bool crc_ok;
};

std::vector<Chunk> Chunks(const std::string& png) {
  std::vector<Chunk> chunks;
  for (std::size_t at = 8; at + 12 <= png.size();) {
    const std::uint32_t length = BigEndianAt(png, at);
    const std::string typed = png.substr(at + 4, 4 + length);
    chunks.push_back({typed.substr(0, 4), typed.substr(4), BigEndianAt(png, at + 8 + length) == Crc32(Bytes(typed))});
    at += 12 + length;
  }
  return chunks;
}

// Undoes the stored deflate blocks, checking each block's length against its complement.
std::string Inflate(const std::string& zlib) {
  std::string raw;
  std::size_t at = 2;
  for (bool last = false; !last;) {
    last = zlib[at] & 1;
    EXPECT_EQ(zlib[at] & 6, 0) << "a block that is not stored";
    const unsigned length = static_cast<std::uint8_t>(zlib[at + 1]) | (static_cast<std::uint8_t>(zlib[at + 2]) << 8);
    const unsigned complement =
        static_cast<std::uint8_t>(zlib[at + 3]) | (static_cast<std::uint8_t>(zlib[at + 4]) << 8);
    EXPECT_EQ(length ^ 0xFFFF, complement);
    raw += zlib.substr(at + 5, length);
    at += 5 + length;
  }
  EXPECT_EQ(BigEndianAt(zlib, at), Adler32(Bytes(raw)));
  EXPECT_EQ(at + 4, zlib.size());
  return raw;
}

TEST(EncodePng, WritesTheRowsUnfilteredInCheckedChunks) {
  // 200 x 150 pixels: 90,150 bytes of rows, more than one stored block holds.
  const struct {
    int width;
    int height;
  } sizes[] = {{1, 1}, {3, 2}, {200, 150}};
  for (const auto& size : sizes) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(size.width * size.height * 3));
    for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<std::uint8_t>(i * 7 + i / 3);
    const std::string png = EncodePng(size.width, size.height, rgb);
    ASSERT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    const auto chunks = Chunks(png);
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0].type + chunks[1].type + chunks[2].type, "IHDRIDATIEND");
    for (const Chunk& chunk : chunks) EXPECT_TRUE(chunk.crc_ok) << chunk.type;
    EXPECT_EQ(BigEndianAt(chunks[0].data, 0), static_cast<std::uint32_t>(size.width));
    EXPECT_EQ(BigEndianAt(chunks[0].data, 4), static_cast<std::uint32_t>(size.height));
    EXPECT_EQ(chunks[0].data.substr(8), std::string("\x08\x02\x00\x00\x00", 5));
    std::string rows;
    for (int y = 0; y < size.height; ++y) {
      rows += '\0';
      rows.append(reinterpret_cast<const char*>(rgb.data()) + y * size.width * 3, size.width * 3);
    }
    EXPECT_EQ(Inflate(chunks[1].data), rows) << size.width << " x " << size.height;
  }
}

TEST(EncodePng, RefusesPixelsThatDoNotFitTheSize) {
  const std::vector<std::uint8_t> rgb(12);
  EXPECT_EQ(EncodePng(2, 2, rgb).size() > 0, true);
  EXPECT_TRUE(EncodePng(3, 2, rgb).empty());
  EXPECT_TRUE(EncodePng(0, 4, rgb).empty());
  EXPECT_TRUE(EncodePng(-2, -2, rgb).empty());
}

}  // namespace
}  // namespace yg::desk
