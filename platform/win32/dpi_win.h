#pragma once

// A window's DPI and frame. Windows older than 10 (1607) lack the per-window DPI functions;
// there the system DPI stands in.

#include <windows.h>

#include "base/twips.h"

namespace yg::win32 {

UINT DpiOf(HWND window);
// `dpi` grown by a key size of `percent`.
UINT ScaledDpi(UINT dpi, int percent);
// The scale a window's twips are at: the panel lays itself out at its monitor's DPI times its
// key size and keeps that with its window (SetLayoutDpi), so that what works in the panel's twips
// beside it (the monitors, the tip) takes the same scale. Any other window's is its DPI.
UINT LayoutDpiOf(HWND window);
// 0 takes the window's scale away again; a window must lose it before it is destroyed.
void SetLayoutDpi(HWND window, UINT dpi);
// A system metric (SM_CXICON and the like) at the given DPI.
int MetricForDpi(int index, UINT dpi);
// The outer rectangle of a window of the given styles whose client area is `client`.
RECT OuterRect(RECT client, DWORD style, DWORD exStyle, UINT dpi);

}  // namespace yg::win32
