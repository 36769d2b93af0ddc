#pragma once

// Twips to pixels and back, at a window's DPI (15 twips a pixel at 96 DPI). Windows older than
// 10 (1607) lack the per-window DPI functions; there the system DPI stands in.

#include <windows.h>

namespace yg::win32 {

constexpr int kTwipsPerInch = 1440;

int TwipsToPixels(double twips, UINT dpi);
double PixelsToTwips(int pixels, UINT dpi);

UINT DpiOf(HWND window);
// The outer rectangle of a window of the given styles whose client area is `client`.
RECT OuterRect(RECT client, DWORD style, DWORD exStyle, UINT dpi);

}  // namespace yg::win32
