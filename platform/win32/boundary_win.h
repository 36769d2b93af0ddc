#pragma once

// Where the system calls into the panel: window procedures and the message loop. No error
// crosses this boundary: one that reaches it is fatal, reported to the user, and the program
// ends.

#include <windows.h>

#include <exception>
#include <functional>
#include <string>
#include <string_view>

namespace yg::win32 {

// Shows the report of an error that ends the program, then ends it.
using FatalReport = std::function<void(std::u16string_view)>;

// An exception's UTF-8 text as the core's UTF-16.
std::u16string FromUtf8(const char* text);

// Runs `body`; an error it raises goes to `report`, and `fallback` is returned instead.
template <class Result, class Body>
Result WithinBoundary(const FatalReport& report, Result fallback, Body&& body) noexcept {
  try {
    try {
      return body();
    } catch (const std::exception& e) {
      report(FromUtf8(e.what()));
    } catch (...) {
      report(u"Unknown error");
    }
  } catch (...) {
    // The report itself failed; there is nothing left to tell.
  }
  return fallback;
}

// Runs the thread's messages until WM_QUIT and returns its exit code. `filter` sees each message
// first and returns true for one it has handled; its errors end in `report` like those of a
// window procedure.
int RunMessageLoop(const std::function<bool(const MSG&)>& filter, const FatalReport& report);

}  // namespace yg::win32
