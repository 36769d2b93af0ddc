#include <gtest/gtest.h>

#include "pads/editing_keys.h"
#include "panel/colour_scheme.h"
#include "tests/contrast.h"

namespace yg {

inline void PrintTo(Rgb c, std::ostream* os) { *os << "RGB(" << +c.r << ", " << +c.g << ", " << +c.b << ")"; }
inline void PrintTo(KeyColours k, std::ostream* os) {
  PrintTo(k.text, os);
  *os << " on ";
  PrintTo(k.face, os);
}

namespace {

using enum SystemColour;
using Ink = PictureInk;

// The system's colours as ordinary themes and high-contrast themes have them.
struct Scheme {
  const char* name;
  bool highContrast;
  Rgb window, windowText, highlight, highlightText, buttonFace, buttonText, buttonHighlight, buttonShadow,
      buttonLight;

  SystemColours Colours() const {
    SystemColours s;
    s.highContrast = highContrast;
    s[Window] = window;
    s[WindowText] = windowText;
    s[Highlight] = highlight;
    s[HighlightText] = highlightText;
    s[ButtonFace] = buttonFace;
    s[ButtonText] = buttonText;
    s[ButtonHighlight] = buttonHighlight;
    s[ButtonShadow] = buttonShadow;
    s[ButtonLight] = buttonLight;
    return s;
  }
};

constexpr Rgb kBlack{0, 0, 0}, kWhite{255, 255, 255}, kGrey{128, 128, 128}, kSilver{192, 192, 192};

// Ordinary themes: the button text differs from the window text, so that the two cannot be told
// apart by chance.
const Scheme kOrdinary[] = {
    {"standard", false, kWhite, kBlack, {0, 120, 215}, kWhite, {240, 240, 240}, {32, 32, 32}, kWhite,
     {160, 160, 160}, {227, 227, 227}},
    {"dark, not high contrast", false, {32, 32, 32}, kWhite, {0, 90, 160}, kWhite, {45, 45, 45}, {220, 220, 160},
     {70, 70, 70}, {20, 20, 20}, {60, 60, 60}},
};

// Windows' two high-contrast themes give the window and the buttons the same pair; the third has
// a pair of its own for each, so that a key painted in the wrong pair shows.
const Scheme kHighContrast[] = {
    {"high contrast black", true, kBlack, kWhite, {26, 235, 255}, kBlack, kBlack, kWhite, kWhite, kGrey, kSilver},
    {"high contrast white", true, kWhite, kBlack, {55, 0, 110}, kWhite, kWhite, kBlack, kBlack, kGrey, kSilver},
    {"high contrast, a pair for each", true, kBlack, {255, 255, 0}, {0, 128, 0}, kWhite, {0, 0, 96},
     {0, 255, 255}, {250, 250, 250}, {100, 100, 100}, {200, 200, 200}},
};

// The pictures' own colours are checked pixel by pixel in stroke_art_test.cpp.
TEST(PicturePalette, OutsideHighContrastTheSystemsColoursChangeNothing) {
  const PicturePalette own = PicturePaletteFor(SystemColours{});
  for (const Scheme& scheme : kOrdinary) EXPECT_EQ(PicturePaletteFor(scheme.Colours()), own) << scheme.name;
}

// The key's edge takes the theme's button colours: lit and shaded as buttons are.
TEST(PicturePalette, InHighContrastTheFaceIsTheWindowAndAllDrawingItsText) {
  for (const Scheme& scheme : kHighContrast) {
    const PicturePalette palette = PicturePaletteFor(scheme.Colours());
    EXPECT_EQ(InkColour(palette, Ink::Face), scheme.window) << scheme.name;
    for (Ink ink : {Ink::Outline, Ink::Stroke, Ink::Variant, Ink::Letter})
      EXPECT_EQ(InkColour(palette, ink), scheme.windowText) << scheme.name << ", ink " << static_cast<int>(ink);
    EXPECT_EQ(InkColour(palette, Ink::Highlight), scheme.buttonHighlight) << scheme.name;
    EXPECT_EQ(InkColour(palette, Ink::Shadow), scheme.buttonShadow) << scheme.name;
    for (Ink ink : {Ink::Corner, Ink::Blend}) {
      const Rgb c = InkColour(palette, ink);
      EXPECT_TRUE(c == scheme.buttonFace || c == scheme.buttonLight) << scheme.name << ", ink " << static_cast<int>(ink);
    }
  }
}

TEST(ColouredKeyColours, OutsideHighContrastTheKeyHasTheColourItWasGivenAndTheButtonText) {
  for (const Scheme& scheme : kOrdinary) {
    for (Rgb back : {kCandidateFocusColor, kCandidateUnfocusedColor, Rgb{1, 2, 3}}) {
      EXPECT_EQ(ColouredKeyColours(back, scheme.Colours()), (KeyColours{back, scheme.buttonText})) << scheme.name;
    }
  }
}

TEST(ColouredKeyColours, InHighContrastTheFocusColourIsTheHighlightPairAndAnyOtherTheButtonPair) {
  for (const Scheme& scheme : kHighContrast) {
    const struct {
      Rgb back;
      KeyColours expected;
    } cases[] = {
        {kCandidateFocusColor, {scheme.highlight, scheme.highlightText}},
        {kCandidateUnfocusedColor, {scheme.buttonFace, scheme.buttonText}},
        {Rgb{1, 2, 3}, {scheme.buttonFace, scheme.buttonText}},
    };
    for (const auto& c : cases) EXPECT_EQ(ColouredKeyColours(c.back, scheme.Colours()), c.expected) << scheme.name;
  }
}

double Contrast(Rgb a, Rgb b) { return testing::Contrast({a.r, a.g, a.b}, {b.r, b.g, b.b}); }

// What a high-contrast theme is for: everything drawn on a key stands out from its face. The
// candidate keys' own colours under the theme's white text were 1:1.
TEST(HighContrast, EveryKeysDrawingStandsOutFromItsFaceByAtLeastFourAndAHalfToOne) {
  for (const Scheme& scheme : kHighContrast) {
    const SystemColours colours = scheme.Colours();
    const PicturePalette palette = PicturePaletteFor(colours);
    for (Ink ink : {Ink::Stroke, Ink::Variant, Ink::Letter, Ink::Outline}) {
      EXPECT_GE(Contrast(InkColour(palette, ink), InkColour(palette, Ink::Face)), testing::kLegible)
          << scheme.name << ", picture ink " << static_cast<int>(ink);
    }
    for (Rgb back : {kCandidateFocusColor, kCandidateUnfocusedColor}) {
      const KeyColours key = ColouredKeyColours(back, colours);
      EXPECT_GE(Contrast(key.text, key.face), testing::kLegible)
          << scheme.name << ", key given RGB(" << +back.r << ", " << +back.g << ", " << +back.b << ")";
    }
  }
}

}  // namespace
}  // namespace yg
