#pragma once

// Which colours the panel paints its own pictures and coloured keys in, with the system's
// ordinary colours and in a high-contrast theme. In high contrast the user has chosen the
// colours every program must use, so the fixed colours give way to the system's pairs of a
// background and what is drawn on it.

#include <array>
#include <cstddef>
#include <cstdint>

#include "ports/controls.h"

namespace yg {

// The system colours the panel draws with.
enum class SystemColour : std::uint8_t {
  Window,           // the background of text
  WindowText,       // text on it
  Highlight,        // the background of something selected
  HighlightText,    // text on it
  ButtonFace,
  ButtonText,
  ButtonHighlight,  // the lit edge of a raised button
  ButtonShadow,     // its shaded edge
  ButtonLight,      // between the lit edge and the face
  Count,
};

struct SystemColours {
  bool highContrast = false;
  std::array<Rgb, static_cast<std::size_t>(SystemColour::Count)> colours{};

  Rgb operator[](SystemColour c) const { return colours[static_cast<std::size_t>(c)]; }
  Rgb& operator[](SystemColour c) { return colours[static_cast<std::size_t>(c)]; }
  friend bool operator==(const SystemColours&, const SystemColours&) = default;
};

// What a stroke picture paints, each in one colour.
enum class PictureInk : std::uint8_t {
  Face,       // the key's face
  Outline,    // the line round the key
  Corner,     // the outline's rounded-off corners, showing what lies behind the key
  Highlight,  // the lit edge of a raised key
  Shadow,     // the shaded edge of a raised key, the shaded line of a pressed one
  Blend,      // where the lit and the shaded edge meet
  Stroke,     // the stroke of the key's class
  Variant,    // further strokes of the class
  Letter,     // the key's letter
  Count,
};

using PicturePalette = std::array<Rgb, static_cast<std::size_t>(PictureInk::Count)>;

inline Rgb InkColour(const PicturePalette& palette, PictureInk ink) {
  return palette[static_cast<std::size_t>(ink)];
}

// The pictures' own colours, or in high contrast the system's: the face in the window colour
// and every stroke, the letter and the outline in the window's text colour.
PicturePalette PicturePaletteFor(const SystemColours& system);

// A push button the panel gave a back colour of its own (a candidate key that has had the
// focus): drawn on that colour with the system's button text, or in high contrast on the
// system's highlight pair for the focus colour and the button pair for any other.
struct KeyColours {
  Rgb face, text;
  friend constexpr bool operator==(KeyColours, KeyColours) = default;
};
KeyColours ColouredKeyColours(Rgb backColor, const SystemColours& system);

// The mark that fills while the pointer rests on a key: a bar of the window's colour outlined in
// its text colour, so that it stands out on any key's face, filling with the colour the user
// chose for what is selected, in high contrast too.
struct RestMarkColours {
  Rgb outline, empty, filled;
};
RestMarkColours RestMarkColoursFor(const SystemColours& system);

}  // namespace yg
