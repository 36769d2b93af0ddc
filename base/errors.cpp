#include "base/errors.h"

namespace yg {

const char* ErrorName(ErrorKind kind) noexcept {
  switch (kind) {
    case ErrorKind::Overflow: return "Overflow";
    case ErrorKind::SubscriptOutOfRange: return "Subscript out of range";
    case ErrorKind::InvalidOperation: return "Invalid floating-point operation";
    case ErrorKind::DivisionByZero: return "Division by zero";
    case ErrorKind::FacilityFailed: return "System facility failed";
  }
  return "Unknown error";
}

PanelError::PanelError(ErrorKind kind, const std::string& detail)
    : std::runtime_error(std::string(ErrorName(kind)) + ": " + detail), kind_(kind) {}

}  // namespace yg
