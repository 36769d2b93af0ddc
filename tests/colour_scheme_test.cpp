#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "pads/editing_keys.h"
#include "panel/colour_scheme.h"

namespace yg {

inline void PrintTo(Rgb c, std::ostream* os) { *os << "RGB(" << +c.r << ", " << +c.g << ", " << +c.b << ")"; }

namespace {

using enum SystemColour;
using Ink = PictureInk;

// The system's colours as ordinary themes and the two kinds of high-contrast theme have them.
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

const Scheme kStandard = {"standard", false, kWhite, kBlack, {0, 120, 215}, kWhite, {240, 240, 240}, kBlack,
                          kWhite, {160, 160, 160}, {227, 227, 227}};
// An ordinary theme in dark colours: still no high contrast, so the pictures keep their own.
const Scheme kDarkOrdinary = {"dark, not high contrast", false, {32, 32, 32}, kWhite, {0, 90, 160}, kWhite,
                              {45, 45, 45}, kWhite, {70, 70, 70}, {20, 20, 20}, {60, 60, 60}};
const Scheme kHighContrastBlack = {"high contrast black", true, kBlack, kWhite, {26, 235, 255}, kBlack, kBlack,
                                   kWhite, kWhite, kGrey, kSilver};
const Scheme kHighContrastWhite = {"high contrast white", true, kWhite, kBlack, {55, 0, 110}, kWhite, kWhite,
                                   kBlack, kBlack, kGrey, kSilver};
const Scheme kHighContrastYellow = {"high contrast yellow on black", true, kBlack, {255, 255, 0}, {0, 128, 0},
                                    kWhite, kBlack, {255, 255, 0}, {255, 255, 0}, {0, 128, 0}, kGrey};

// WCAG 2's contrast ratio.
double Luminance(Rgb c) {
  const auto channel = [](std::uint8_t v) {
    const double s = v / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(c.r) + 0.7152 * channel(c.g) + 0.0722 * channel(c.b);
}

double Contrast(Rgb a, Rgb b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(PicturePalette, OutsideHighContrastThePicturesKeepTheirOwnSevenColours) {
  const std::pair<Ink, Rgb> own[] = {
      {Ink::Face, {238, 237, 219}}, {Ink::Outline, kBlack},      {Ink::Corner, kWhite},
      {Ink::Highlight, kWhite},     {Ink::Shadow, kGrey},        {Ink::Blend, kSilver},
      {Ink::Stroke, kBlack},        {Ink::Variant, {0, 0, 255}}, {Ink::Letter, {255, 128, 64}},
  };
  for (const Scheme& scheme : {kStandard, kDarkOrdinary}) {
    const PicturePalette palette = PicturePaletteFor(scheme.Colours());
    for (const auto& [ink, colour] : own) EXPECT_EQ(InkColour(palette, ink), colour) << scheme.name;
  }
}

TEST(PicturePalette, InHighContrastTheFaceIsTheWindowAndAllDrawingItsText) {
  const std::pair<Ink, SystemColour> system[] = {
      {Ink::Face, Window},        {Ink::Outline, WindowText},    {Ink::Corner, ButtonFace},
      {Ink::Highlight, ButtonHighlight}, {Ink::Shadow, ButtonShadow}, {Ink::Blend, ButtonLight},
      {Ink::Stroke, WindowText},  {Ink::Variant, WindowText},    {Ink::Letter, WindowText},
  };
  for (const Scheme& scheme : {kHighContrastBlack, kHighContrastWhite, kHighContrastYellow}) {
    const SystemColours colours = scheme.Colours();
    const PicturePalette palette = PicturePaletteFor(colours);
    for (const auto& [ink, colour] : system) EXPECT_EQ(InkColour(palette, ink), colours[colour]) << scheme.name;
  }
}

TEST(ColouredKeyColours, OutsideHighContrastTheKeyHasTheColourItWasGivenAndTheButtonText) {
  for (const Scheme& scheme : {kStandard, kDarkOrdinary}) {
    for (Rgb back : {kCandidateFocusColor, kCandidateUnfocusedColor, Rgb{1, 2, 3}}) {
      EXPECT_EQ(ColouredKeyColours(back, scheme.Colours()), (KeyColours{back, scheme.buttonText})) << scheme.name;
    }
  }
}

TEST(ColouredKeyColours, InHighContrastTheFocusColourIsTheHighlightPairAndAnyOtherTheButtonPair) {
  for (const Scheme& scheme : {kHighContrastBlack, kHighContrastWhite, kHighContrastYellow}) {
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

// What a high-contrast theme is for: everything drawn on a key stands out from its face
// (WCAG AA, 4.5:1). The candidate keys' own colours under the theme's white text were 1:1.
TEST(HighContrast, EveryKeysDrawingStandsOutFromItsFaceByAtLeastFourAndAHalfToOne) {
  for (const Scheme& scheme : {kHighContrastBlack, kHighContrastWhite, kHighContrastYellow}) {
    const SystemColours colours = scheme.Colours();
    const PicturePalette palette = PicturePaletteFor(colours);
    for (Ink ink : {Ink::Stroke, Ink::Variant, Ink::Letter, Ink::Outline}) {
      EXPECT_GE(Contrast(InkColour(palette, ink), InkColour(palette, Ink::Face)), 4.5)
          << scheme.name << ", picture ink " << static_cast<int>(ink);
    }
    for (Rgb back : {kCandidateFocusColor, kCandidateUnfocusedColor}) {
      const KeyColours key = ColouredKeyColours(back, colours);
      EXPECT_GE(Contrast(key.text, key.face), 4.5) << scheme.name << ", key given RGB(" << +back.r << ", "
                                                   << +back.g << ", " << +back.b << ")";
    }
  }
}

TEST(Contrast, FollowsWcagsFormula) {
  EXPECT_NEAR(Contrast(kBlack, kWhite), 21.0, 1e-9);
  EXPECT_NEAR(Contrast(kWhite, kWhite), 1.0, 1e-9);
  EXPECT_NEAR(Contrast(kGrey, kWhite), 3.95, 0.01);
  EXPECT_NEAR(Contrast({0, 0, 255}, kWhite), 8.59, 0.01);
}

}  // namespace
}  // namespace yg
