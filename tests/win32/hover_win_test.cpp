// Hover to click in the real panel: the mark a rest shows on every kind of key.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/win32/panel_fixture_win.h"

namespace yg::win32 {
namespace {

using testing::ChangeDpi;
using testing::PanelRigTest;
using testing::Pump;
using testing::Shown;

std::uint32_t Pixel(COLORREF c) { return GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c); }

// At each scale, on a push button, on a stroke key and on a candidate key the panel colours
// itself: half-way, a row of the bar along the key's foot in the highlight colour from the left
// to the middle and in the window colour on to its end; gone, the key as it was.
TEST_F(PanelRigTest, TheRestMarkFillsOnEveryKindOfKeyAndGoesWithoutATrace) {
  panel.SetWidth(5840);
  panel.SetHeight(1800);
  ShowWindow(panel.Handle(), SW_SHOWNOACTIVATE);
  form.GotFocus(Skb(49));
  const std::uint32_t filled = Pixel(GetSysColor(COLOR_HIGHLIGHT)), empty = Pixel(GetSysColor(COLOR_WINDOW));
  for (UINT dpi : {96u, 168u}) {
    ChangeDpi(panel.Handle(), dpi, {0, 0, 1000, 400});
    for (ControlId key : {ControlId(Ctl::Comm1), ControlId(Ctl::Image3), Skb(49)}) {
      const std::string what = ControlName(key) + " at " + std::to_string(dpi) + " DPI";
      const HWND hwnd = GetDlgItemDeep(key);
      Pump();
      const Bitmap before = Shown(hwnd);
      panel.ShowRestMark(key, 0.5);
      const Bitmap during = Shown(hwnd);
      int row = during.height - 1;
      while (row > during.height * 3 / 4 &&
             !(during.At(during.width / 4, row) == filled && during.At(during.width * 3 / 4, row) == empty)) {
        --row;
      }
      ASSERT_GT(row, during.height * 3 / 4) << what << ": no row of the mark near the key's foot";
      // The filled part and the empty part, one after the other, about as long.
      int x = during.width / 4, full = 0, left = 0;
      while (x > 0 && during.At(x - 1, row) == filled) --x;
      for (; x < during.width && during.At(x, row) == filled; ++x) ++full;
      for (; x < during.width && during.At(x, row) == empty; ++x) ++left;
      EXPECT_GE(full, 3) << what;
      EXPECT_NEAR(full, left, 1) << what;
      panel.HideRestMark();
      Pump();
      const Bitmap after = Shown(hwnd);
      EXPECT_EQ(after.pixels, before.pixels) << what;
    }
  }
}

}  // namespace
}  // namespace yg::win32
