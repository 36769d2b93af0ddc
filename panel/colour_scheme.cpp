#include "panel/colour_scheme.h"

#include <algorithm>

#include "pads/editing_keys.h"

namespace yg {

namespace {

using enum SystemColour;

struct InkRow {
  PictureInk ink;
  Rgb own;                    // the picture's own colour
  SystemColour highContrast;  // the system colour that stands in for it in high contrast
};

constexpr std::array<InkRow, static_cast<std::size_t>(PictureInk::Count)> kInks = {{
    {PictureInk::Face, {238, 237, 219}, Window},
    {PictureInk::Outline, {0, 0, 0}, WindowText},
    {PictureInk::Corner, {255, 255, 255}, ButtonFace},
    {PictureInk::Highlight, {255, 255, 255}, ButtonHighlight},
    {PictureInk::Shadow, {128, 128, 128}, ButtonShadow},
    {PictureInk::Blend, {192, 192, 192}, ButtonLight},
    {PictureInk::Stroke, {0, 0, 0}, WindowText},
    {PictureInk::Variant, {0, 0, 255}, WindowText},
    {PictureInk::Letter, {255, 128, 64}, WindowText},
}};

// In high contrast, the pair a coloured key takes by the colour the panel gave it.
struct KeyRow {
  Rgb backColor;
  SystemColour face, text;
};

constexpr KeyRow kColouredKeys[] = {
    {kCandidateFocusColor, Highlight, HighlightText},
    {kCandidateUnfocusedColor, ButtonFace, ButtonText},
};

}  // namespace

PicturePalette PicturePaletteFor(const SystemColours& system) {
  PicturePalette palette{};
  for (const InkRow& row : kInks)
    palette[static_cast<std::size_t>(row.ink)] = system.highContrast ? system[row.highContrast] : row.own;
  return palette;
}

KeyColours ColouredKeyColours(Rgb backColor, const SystemColours& system) {
  if (!system.highContrast) return {backColor, system[ButtonText]};
  const auto row = std::find_if(std::begin(kColouredKeys), std::end(kColouredKeys),
                                [backColor](const KeyRow& r) { return r.backColor == backColor; });
  if (row == std::end(kColouredKeys)) return {system[ButtonFace], system[ButtonText]};
  return {system[row->face], system[row->text]};
}

RestMarkColours RestMarkColoursFor(const SystemColours& system) {
  return {system[WindowText], system[Window], system[Highlight]};
}

}  // namespace yg
