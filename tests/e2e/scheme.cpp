// yg_scheme: switches a running program to another colour scheme, high contrast on or off, the
// way Windows does when the user picks one, and waits until it is done.
//
//   yg_scheme.exe <window-class> start|dark|light|ruby
//
// dark and light are Windows' high-contrast black and white themes, ruby an ordinary scheme with
// red button text, start the colours the program started with, high contrast off.
// The work is done inside the program's process by yg_scheme_hook.dll, beside this program
// (see there why). Prints switched=<scheme>. Exit status: 0 done, 1 bad usage, 2 no window of
// that class, 3 the switch failed or did not happen in time.
#include <windows.h>

#include <cwchar>
#include <string>

#include "tests/e2e/console_tool.h"
#include "tests/e2e/schemes.h"

namespace {

int SchemeNumber(const wchar_t* name) {
  if (std::wcscmp(name, L"start") == 0) return 0;
  for (int i = 1; const yg::tools::Scheme* s = yg::tools::SchemeAt(i); ++i)
    if (std::wcscmp(name, s->name) == 0) return i;
  return -1;
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
  const std::string line = "switched=" + std::string(argv[2], argv[2] + std::wcslen(argv[2])) + "\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  return 0;
}
