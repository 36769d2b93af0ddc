// Writes the stroke pictures and the panel's icon that the Windows resource script embeds.
// Usage: yg_make_resources <resources folder>

#include <array>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <vector>

#include "resources/stroke_drawing.h"

namespace {

struct PictureFile {
  yg::StrokePicture picture;
  std::string_view path;  // within the resources folder
};

constexpr std::array<PictureFile, 10> kPictureFiles = {{
    {yg::StrokePicture::HNormal, "strokes/h_normal.bmp"},
    {yg::StrokePicture::HPressed, "strokes/h_pressed.bmp"},
    {yg::StrokePicture::INormal, "strokes/i_normal.bmp"},
    {yg::StrokePicture::IPressed, "strokes/i_pressed.bmp"},
    {yg::StrokePicture::JNormal, "strokes/j_normal.bmp"},
    {yg::StrokePicture::JPressed, "strokes/j_pressed.bmp"},
    {yg::StrokePicture::KNormal, "strokes/k_normal.bmp"},
    {yg::StrokePicture::KPressed, "strokes/k_pressed.bmp"},
    {yg::StrokePicture::LNormal, "strokes/l_normal.bmp"},
    {yg::StrokePicture::LPressed, "strokes/l_pressed.bmp"},
}};

constexpr std::string_view kIconFile = "ygpanel.ico";

void Write(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <resources folder>\n", argv[0]);
    return 2;
  }
  try {
    const std::filesystem::path folder = argv[1];
    for (const PictureFile& file : kPictureFiles)
      Write(folder / file.path, yg::EncodeBmp24(yg::DrawStrokePicture(file.picture)));
    std::vector<yg::Bitmap> icons;
    for (int size : yg::kIconSizes) icons.push_back(yg::DrawIcon(size));
    Write(folder / kIconFile, yg::EncodeIco(icons));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
    return 1;
  }
  return 0;
}
