// yg_picture_dump: a stroke picture as the panel draws it for a key of the given size, in the
// pictures' own colours, written as a binary PPM file, for the end-to-end driver to compare with
// what the screen shows.
//
//   yg_picture_dump.exe <picture> <width> <height> <file.ppm>
//
// <picture> is the number of the picture: 1 H normal, 2 H pressed, 3 I normal, ... 10 L pressed.
// Exit status: 0 written, 1 bad usage, 2 the file could not be written.
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "resources/stroke_drawing.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: %s <picture 1-10> <width> <height> <file.ppm>\n", argv[0]);
    return 1;
  }
  const int picture = std::atoi(argv[1]), width = std::atoi(argv[2]), height = std::atoi(argv[3]);
  if (picture < 1 || picture > 10) {
    std::fprintf(stderr, "%s: no picture %s\n", argv[0], argv[1]);
    return 1;
  }
  try {
    const yg::Bitmap b = yg::RenderStrokePicture(static_cast<yg::StrokePicture>(picture), width, height,
                                                 yg::PicturePaletteFor(yg::SystemColours{}));
    std::FILE* out = std::fopen(argv[4], "wb");
    if (!out) return 2;
    std::fprintf(out, "P6\n%d %d\n255\n", b.width, b.height);
    for (std::uint32_t p : b.pixels) {
      const unsigned char rgb[] = {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                                   static_cast<unsigned char>(p)};
      std::fwrite(rgb, 1, 3, out);
    }
    return std::fclose(out) == 0 ? 0 : 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
    return 1;
  }
}
