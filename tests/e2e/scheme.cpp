// yg_scheme: switches a running program to another colour scheme, high contrast on or off, the
// way Windows does when the user picks one, and waits until it is done.
//
//   yg_scheme.exe <window-class> start|dark|light|ruby
//
// dark and light are Windows' high-contrast black and white themes, ruby an ordinary scheme with
// red button text, start the colours the program started with, high contrast off.
// The work is done inside the program's process by yg_scheme_hook.dll, beside this program
// (see there why). Prints switched=<scheme>, and for a high-contrast scheme the colours each kind
// of key must show, face and what is drawn on it, with their contrast ratio:
//   button 0,0,0 255,255,255 21.00
// Exit status: 0 done, 1 bad usage, 2 no window of that class, 3 the switch failed or did not
// happen in time.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "tests/contrast.h"
#include "tests/e2e/console_tool.h"
#include "tests/e2e/schemes.h"

namespace {

int SchemeNumber(const wchar_t* name) {
  if (std::wcscmp(name, L"start") == 0) return 0;
  for (int i = 1; const yg::tools::Scheme* s = yg::tools::SchemeAt(i); ++i)
    if (std::wcscmp(name, s->name) == 0) return i;
  return -1;
}

COLORREF ColourOf(const yg::tools::Scheme& scheme, int index) {
  for (const yg::tools::SchemeColour& c : scheme.colours)
    if (c.index == index) return c.colour;
  return 0;
}

// In high contrast the push buttons take the button pair, the candidate key with the focus the
// highlight pair and the stroke pictures the window pair.
std::string KeyColours(const yg::tools::Scheme& scheme) {
  const struct {
    const char* kind;
    int face, ink;
  } kinds[] = {
      {"button", COLOR_BTNFACE, COLOR_BTNTEXT},
      {"focused", COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT},
      {"picture", COLOR_WINDOW, COLOR_WINDOWTEXT},
  };
  std::string text;
  for (const auto& k : kinds) {
    const COLORREF face = ColourOf(scheme, k.face), ink = ColourOf(scheme, k.ink);
    const yg::testing::Colour a{GetRValue(face), GetGValue(face), GetBValue(face)};
    const yg::testing::Colour b{GetRValue(ink), GetGValue(ink), GetBValue(ink)};
    char line[80];
    std::snprintf(line, sizeof line, "%s %d,%d,%d %d,%d,%d %.2f\n", k.kind, a.r, a.g, a.b, b.r, b.g, b.b,
                  yg::testing::Contrast(a, b));
    text += line;
  }
  return text;
}

std::wstring BesideThisProgram(const wchar_t* file) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  return folder.substr(0, folder.find_last_of(L"\\/") + 1) + file;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int number = argc == 3 ? SchemeNumber(argv[2]) : -1;
  if (number < 0) {
    yg::tools::Usage("usage: yg_scheme.exe <window-class> start|dark|light|ruby\n");
    return 1;
  }
  const HWND window = FindWindowW(argv[1], nullptr);
  if (!window) return 2;
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  const HMODULE hookDll = LoadLibraryW(BesideThisProgram(L"yg_scheme_hook.dll").c_str());
  const auto hookProc = hookDll ? reinterpret_cast<HOOKPROC>(
                                      reinterpret_cast<void (*)()>(GetProcAddress(hookDll, "SchemeHook")))
                                : nullptr;
  if (!hookProc) return 3;
  const HANDLE events[] = {CreateEventW(nullptr, FALSE, FALSE, yg::tools::kSwitchedEvent),
                           CreateEventW(nullptr, FALSE, FALSE, yg::tools::kFailedEvent)};
  const HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, hookProc, hookDll, thread);
  if (!hook) return 3;
  PostMessageW(window, RegisterWindowMessageW(yg::tools::kSwitchSchemeMessage), number, 0);
  const DWORD woken = WaitForMultipleObjects(2, events, FALSE, 10000);
  UnhookWindowsHookEx(hook);
  if (woken != WAIT_OBJECT_0) return 3;
  std::string line = "switched=" + std::string(argv[2], argv[2] + std::wcslen(argv[2])) + "\n";
  const yg::tools::Scheme* scheme = yg::tools::SchemeAt(number);
  if (scheme && scheme->highContrast) line += KeyColours(*scheme);
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  return 0;
}
