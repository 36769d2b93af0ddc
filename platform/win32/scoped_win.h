#pragma once

// Small owners for the handles the panel keeps.

#include <windows.h>

#include <utility>

namespace yg::win32 {

template <class Handle, class Traits>
class Scoped {
 public:
  Scoped() = default;
  explicit Scoped(Handle h) : h_(h) {}
  Scoped(const Scoped&) = delete;
  Scoped& operator=(const Scoped&) = delete;
  Scoped(Scoped&& other) noexcept : h_(std::exchange(other.h_, Handle{})) {}
  Scoped& operator=(Scoped&& other) noexcept {
    reset(std::exchange(other.h_, Handle{}));
    return *this;
  }
  ~Scoped() { reset(); }

  Handle get() const { return h_; }
  explicit operator bool() const { return h_ != Handle{}; }
  void reset(Handle h = Handle{}) {
    if (h_ != Handle{}) Traits::Close(h_);
    h_ = h;
  }

 private:
  Handle h_{};
};

struct GdiObjectTraits {
  static void Close(HGDIOBJ h) { DeleteObject(h); }
};
struct KernelHandleTraits {
  static void Close(HANDLE h) { CloseHandle(h); }
};
struct IconTraits {
  static void Close(HICON h) { DestroyIcon(h); }
};
struct MenuTraits {
  static void Close(HMENU h) { DestroyMenu(h); }
};

using ScopedFont = Scoped<HFONT, GdiObjectTraits>;
using ScopedBitmap = Scoped<HBITMAP, GdiObjectTraits>;
using ScopedBrush = Scoped<HBRUSH, GdiObjectTraits>;
using ScopedHandle = Scoped<HANDLE, KernelHandleTraits>;
using ScopedIcon = Scoped<HICON, IconTraits>;
using ScopedMenu = Scoped<HMENU, MenuTraits>;

// Selects a GDI object into a device context for the life of the scope.
class SelectIn {
 public:
  SelectIn(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  SelectIn(const SelectIn&) = delete;
  SelectIn& operator=(const SelectIn&) = delete;
  ~SelectIn() { SelectObject(dc_, old_); }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace yg::win32
