#pragma once

// The arithmetic guards every handler relies on: counters are signed 16-bit and checked for
// overflow, narrowings are range-checked, and floating-point results are checked before they
// are stored.

#include <cstdint>

namespace yg {

// A key number held by a handler, narrowed to an 8-bit virtual-key code; Overflow when it is
// outside 0..255.
std::uint8_t NarrowToByte(std::int16_t value);

// value + 1 as a 16-bit counter; Overflow past 32767.
std::int16_t CheckedIncrement(std::int16_t value);

// A length or count as a 16-bit counter; Overflow past 32767.
std::int16_t CheckedCount(std::size_t count);

// A geometry result stored as a single-precision value: InvalidOperation when it is not a
// number, Overflow when it is infinite or does not fit a float.
float StoreSingle(double value);

// a / b in floating point; DivisionByZero when b is zero.
double CheckedDivide(double a, double b);

}  // namespace yg
