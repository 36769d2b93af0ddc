#include "platform/win32/colours_win.h"

#include <windows.h>

namespace yg::win32 {

namespace {

struct ColourRow {
  SystemColour colour;
  int index;  // for GetSysColor
};

constexpr ColourRow kColours[] = {
    {SystemColour::Window, COLOR_WINDOW},
    {SystemColour::WindowText, COLOR_WINDOWTEXT},
    {SystemColour::Highlight, COLOR_HIGHLIGHT},
    {SystemColour::HighlightText, COLOR_HIGHLIGHTTEXT},
    {SystemColour::ButtonFace, COLOR_BTNFACE},
    {SystemColour::ButtonText, COLOR_BTNTEXT},
    {SystemColour::ButtonHighlight, COLOR_BTNHIGHLIGHT},
    {SystemColour::ButtonShadow, COLOR_BTNSHADOW},
    {SystemColour::ButtonLight, COLOR_3DLIGHT},
};

}  // namespace

SystemColours ReadSystemColours() {
  SystemColours system;
  for (const ColourRow& row : kColours) {
    const COLORREF c = GetSysColor(row.index);
    system[row.colour] = {GetRValue(c), GetGValue(c), GetBValue(c)};
  }
  // Wine (8) has no high-contrast themes: it always answers that none is on.
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof contrast;
  system.highContrast = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
                        (contrast.dwFlags & HCF_HIGHCONTRASTON);
  return system;
}

}  // namespace yg::win32
