// The stroke keys as the user sees them: the pixels a shown key holds on the screen, read back
// from its window, after the panel changes its scale.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>

#include "panel/layout.h"
#include "platform/win32/colours_win.h"
#include "resources/stroke_drawing.h"
#include "tests/win32/panel_fixture_win.h"

namespace yg::win32 {
namespace {

using testing::Pump;
using testing::Shown;
using testing::Win32PanelTest;

int PixelsDiffering(const Bitmap& a, const Bitmap& b) {
  int n = 0;
  for (std::size_t i = 0; i < a.pixels.size(); ++i) n += a.pixels[i] != b.pixels[i];
  return n;
}

// Where two pictures differ first, in reading order, for the message of a failed check.
std::string FirstDifference(const Bitmap& a, const Bitmap& b) {
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x)
      if (a.At(x, y) != b.At(x, y)) return "first at " + std::to_string(x) + ", " + std::to_string(y);
  return "none";
}

// After each change of scale a stroke key shows all of the picture drawn for its new size, not
// the old one kept where the two overlap, and nothing drawn at one scale stays on the screen at
// the next: the panel looks as a repaint of everything shows it.
TEST_F(Win32PanelTest, AfterEachDpiChangeTheKeysShowTheirNewPicturesAndNothingOld) {
  panel.SetWidth(5840);
  panel.SetHeight(1800);
  panel.Show();
  const HWND key = GetDlgItemDeep(Ctl::Image3);
  for (UINT dpi : {96u, 144u, 96u, 120u, 192u, 168u, 120u}) {
    testing::ChangeDpi(panel.Handle(), dpi, {0, 0, 1000, 400});
    Pump();
    const Bitmap keyShown = Shown(key);
    const Bitmap drawn = RenderStrokePicture(StrokePicture::HNormal, keyShown.width, keyShown.height,
                                             PicturePaletteFor(ReadSystemColours()));
    EXPECT_EQ(PixelsDiffering(keyShown, drawn), 0) << dpi << " DPI, " << keyShown.width << " x " << keyShown.height;
    const Bitmap shown = Shown(panel.Handle());
    RedrawWindow(panel.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    Pump();
    const Bitmap afresh = Shown(panel.Handle());
    EXPECT_EQ(PixelsDiffering(shown, afresh), 0) << dpi << " DPI, " << FirstDifference(shown, afresh);
  }
}

}  // namespace
}  // namespace yg::win32
