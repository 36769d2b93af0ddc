#include "platform/win32/keyboard_layouts_win.h"

#include <windows.h>
#include <imm.h>

#include <vector>

namespace yg::win32 {

namespace {
HKL ToHkl(LayoutHandle layout) { return reinterpret_cast<HKL>(layout); }

// The keys go to the program the user types in, so its layout counts, not the panel's.
HKL TargetLayout() {
  const HWND foreground = GetForegroundWindow();
  return GetKeyboardLayout(foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0);
}
}  // namespace

LayoutHandle SystemKeyboardLayouts::Active() { return reinterpret_cast<LayoutHandle>(GetKeyboardLayout(0)); }

std::size_t SystemKeyboardLayouts::List(std::span<LayoutHandle> handles) {
  std::vector<HKL> list(handles.size());
  const int n = GetKeyboardLayoutList(static_cast<int>(list.size()), list.data());
  if (n <= 0) return 0;
  for (int i = 0; i < n; ++i) handles[i] = reinterpret_cast<LayoutHandle>(list[i]);
  return static_cast<std::size_t>(n);
}

int SystemKeyboardLayouts::IsInputMethod(LayoutHandle layout) { return ImmIsIME(ToHkl(layout)); }

std::size_t SystemKeyboardLayouts::Description(LayoutHandle layout, std::span<char16_t> buffer) {
  // The wide call: read in the ANSI code page, descriptions come out garbled wherever that code
  // page is not Chinese.
  const UINT n = ImmGetDescriptionW(ToHkl(layout), reinterpret_cast<wchar_t*>(buffer.data()),
                                    static_cast<UINT>(buffer.size()));
  return n;
}

void SystemKeyboardLayouts::Activate(LayoutHandle layout) { ActivateKeyboardLayout(ToHkl(layout), 0); }

std::optional<std::uint8_t> SystemKeyboardLayouts::KeyTyping(char16_t c) {
  const SHORT scan = VkKeyScanExW(static_cast<wchar_t>(c), TargetLayout());
  if (scan == -1 || HIBYTE(scan) != 0) return std::nullopt;  // no key, or only with Shift and the like
  return static_cast<std::uint8_t>(LOBYTE(scan));
}

std::uint32_t SystemKeyboardLayouts::ScanCode(std::uint8_t vk) {
  return MapVirtualKeyExW(vk, MAPVK_VK_TO_VSC_EX, TargetLayout());
}

}  // namespace yg::win32
