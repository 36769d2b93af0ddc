#pragma once

// The stroke pad's ten pictures as drawings: the key's edge, the strokes and the letter,
// described on the 25 x 37 grid of the design and drawn at whatever size a key has in pixels,
// in the colours of a palette.

#include "panel/colour_scheme.h"
#include "panel/layout.h"
#include "resources/stroke_art.h"

namespace yg {

inline constexpr int kStrokePictureWidth = 25;
inline constexpr int kStrokePictureHeight = 37;

// The picture drawn to fill a key of width x height pixels. At the design size, 25 x 37, every
// pixel takes one colour of the palette, as the design has it; at any other size the edges of
// the strokes and the letter blend into the face. The edge of the key is drawn in whole pixels,
// and so is each stroke's width and the one-design-pixel move of the pressed picture's drawing.
// std::invalid_argument for StrokePicture::None or a size under the design size's.
Bitmap RenderStrokePicture(StrokePicture picture, int width, int height, const PicturePalette& palette);

// The picture at the design size in its own colours, as the .bmp files and the help hold it.
Bitmap DrawStrokePicture(StrokePicture picture);

}  // namespace yg
