#include "base/checked.h"

#include <cmath>
#include <limits>
#include <string>

#include "base/errors.h"

namespace yg {

std::uint8_t NarrowToByte(std::int16_t value) {
  if (value < 0 || value > 255) {
    throw PanelError(ErrorKind::Overflow, "key number " + std::to_string(value) + " is not a virtual key");
  }
  return static_cast<std::uint8_t>(value);
}

std::int16_t CheckedIncrement(std::int16_t value) {
  if (value == std::numeric_limits<std::int16_t>::max()) {
    throw PanelError(ErrorKind::Overflow, "16-bit counter");
  }
  return static_cast<std::int16_t>(value + 1);
}

std::int16_t CheckedCount(std::size_t count) {
  if (count > static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max())) {
    throw PanelError(ErrorKind::Overflow, "count " + std::to_string(count) + " exceeds a 16-bit counter");
  }
  return static_cast<std::int16_t>(count);
}

float StoreSingle(double value) {
  if (std::isnan(value)) throw PanelError(ErrorKind::InvalidOperation, "geometry result is not a number");
  if (std::isinf(value) || std::fabs(value) > std::numeric_limits<float>::max()) {
    throw PanelError(ErrorKind::Overflow, "geometry result does not fit a single-precision value");
  }
  return static_cast<float>(value);
}

double CheckedDivide(double a, double b) {
  if (b == 0.0) throw PanelError(ErrorKind::DivisionByZero, "geometry");
  return a / b;
}

}  // namespace yg
