#pragma once

#include "panel/colour_scheme.h"

namespace yg::win32 {

// The system's colours now, and whether a high-contrast theme is on.
SystemColours ReadSystemColours();

}  // namespace yg::win32
