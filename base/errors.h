#pragma once

#include <stdexcept>
#include <string>

namespace yg {

// What went wrong in a handler. Every one of these ends the program with a report that names
// it, except inside the help button's handler, which turns them into its own message.
enum class ErrorKind {
  Overflow,             // a counter overflowed, or a number did not fit the type it was narrowed to
  SubscriptOutOfRange,  // a fixed table was used outside its bounds
  InvalidOperation,     // a floating-point result is not a number
  DivisionByZero,       // a floating-point division by zero
  FacilityFailed,       // a window, control or system facility failed
};

// The short name of an error, as the fatal report shows it.
const char* ErrorName(ErrorKind kind) noexcept;

class PanelError : public std::runtime_error {
 public:
  PanelError(ErrorKind kind, const std::string& detail);
  ErrorKind kind() const noexcept { return kind_; }

 private:
  ErrorKind kind_;
};

}  // namespace yg
