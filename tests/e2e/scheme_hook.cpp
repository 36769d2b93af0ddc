// yg_scheme_hook.dll: yg_scheme.exe's half inside the program under test. A message hook loads
// it into that program's process, where it does what Windows does when the user picks another
// colour scheme or turns a high-contrast theme on or off: it sets the system colours (which
// sends WM_SYSCOLORCHANGE), sets the high-contrast flag and sends WM_SETTINGCHANGE with
// SPI_SETHIGHCONTRAST.
//
// Wine (8) needs it done there: it keeps each process's system colours to itself, so
// SetSysColors in another process changes nothing the program reads, and it has no
// high-contrast flag at all (SPI_SETHIGHCONTRAST fails, SPI_GETHIGHCONTRAST always says off).
// So the program's own import of SystemParametersInfoW is pointed at a stand-in that reports
// the flag and passes every other question on. And where Windows draws themed controls in the
// high-contrast colours, Wine's own theme keeps its colours: with high contrast on, the program's
// controls are drawn unthemed, in the system colours, as a classic high-contrast theme has them.
#include <windows.h>
#include <uxtheme.h>

#include <array>

#include "tests/e2e/schemes.h"

namespace {

const UINT g_switchMessage = RegisterWindowMessageW(yg::tools::kSwitchSchemeMessage);
std::array<COLORREF, yg::tools::kColourCount> g_before{};
bool g_saved = false;
bool g_highContrast = false;

BOOL WINAPI ThemedSystemParametersInfo(UINT action, UINT param, PVOID data, UINT flags) {
  if (action == SPI_GETHIGHCONTRAST && data) {
    auto* contrast = static_cast<HIGHCONTRASTW*>(data);
    if (contrast->cbSize != sizeof *contrast) return FALSE;
    contrast->dwFlags = HCF_AVAILABLE | (g_highContrast ? HCF_HIGHCONTRASTON : 0);
    contrast->lpszDefaultScheme = nullptr;
    return TRUE;
  }
  return SystemParametersInfoW(action, param, data, flags);
}

// Points the executable's import of user32's `name` at `replacement`.
bool PatchImport(const char* name, void* replacement) {
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); dll->Name; ++dll) {
    if (lstrcmpiA(reinterpret_cast<const char*>(base + dll->Name), "user32.dll") != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (lstrcmpA(reinterpret_cast<const char*>(byName->Name), name) != 0) continue;
      DWORD old = 0;
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
      return true;
    }
  }
  return false;
}

void SetColours(const std::array<COLORREF, yg::tools::kColourCount>& colours) {
  std::array<INT, yg::tools::kColourCount> indexes{};
  for (int i = 0; i < yg::tools::kColourCount; ++i) indexes[i] = i;
  SetSysColors(yg::tools::kColourCount, indexes.data(), colours.data());
}

// Turns the theme of a window and its descendants off (unthemed) or back on. Off is a theme
// class no theme has: Wine (8) refuses the empty name Windows takes for it.
BOOL CALLBACK Unthemed(HWND window, LPARAM off) {
  SetWindowTheme(window, off ? L"none" : nullptr, off ? L"none" : nullptr);
  return TRUE;
}

BOOL CALLBACK UnthemedWithChildren(HWND window, LPARAM off) {
  Unthemed(window, off);
  EnumChildWindows(window, Unthemed, off);
  return TRUE;
}

void AnnounceHighContrast(bool on) {
  g_highContrast = on;
  EnumThreadWindows(GetCurrentThreadId(), UnthemedWithChildren, on);
  SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
}

bool Switch(int index) {
  if (!g_saved) {
    // Stay loaded once the hook is gone: the patched import leads here.
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(&ThemedSystemParametersInfo), &self);
    if (!PatchImport("SystemParametersInfoW", reinterpret_cast<void*>(&ThemedSystemParametersInfo))) return false;
    for (int i = 0; i < yg::tools::kColourCount; ++i) g_before[i] = GetSysColor(i);
    g_saved = true;
  }
  const yg::tools::Scheme* scheme = yg::tools::SchemeAt(index);
  if (!scheme) {
    // Back to how the program started: as Windows leaves high contrast, the flag first.
    if (g_highContrast) AnnounceHighContrast(false);
    SetColours(g_before);
    return true;
  }
  std::array<COLORREF, yg::tools::kColourCount> colours = g_before;
  for (const yg::tools::SchemeColour& c : scheme->colours) colours[c.index] = c.colour;
  SetColours(colours);
  if (scheme->highContrast != g_highContrast) AnnounceHighContrast(scheme->highContrast);
  return true;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK SchemeHook(int code, WPARAM removed, LPARAM lParam) {
  const auto* msg = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && removed == PM_REMOVE && msg->message == g_switchMessage) {
    const bool done = Switch(static_cast<int>(msg->wParam));
    if (HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, done ? yg::tools::kSwitchedEvent : yg::tools::kFailedEvent)) {
      SetEvent(event);
      CloseHandle(event);
    }
  }
  return CallNextHookEx(nullptr, code, removed, lParam);
}
