#include "tests/bench/tool_win.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwchar>

namespace yg::tools {

void Line(const std::string& text) {
  const std::string line = text + "\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

void Fact(const std::string& key, const std::string& value) { Line(key + "=" + value); }

std::string Fixed(double value, int decimals) {
  char text[48];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

double NowMs() {
  static const double ticksPerMs = [] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart) / 1000;
  }();
  LARGE_INTEGER count;
  QueryPerformanceCounter(&count);
  return static_cast<double>(count.QuadPart) / ticksPerMs;
}

double Median(std::vector<double> values) {
  if (values.empty()) return NAN;
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void Figures(const std::string& key, const std::vector<double>& values) {
  Fact(key + "_median", Fixed(Median(values)));
  if (values.empty()) return;
  Fact(key + "_min", Fixed(*std::min_element(values.begin(), values.end())));
  Fact(key + "_max", Fixed(*std::max_element(values.begin(), values.end())));
}

bool PumpUntil(double deadline, const std::function<bool()>& done) {
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done()) return true;
    const double left = deadline - NowMs();
    if (left <= 0) return false;
    // done() may watch another program: looked at again every few milliseconds.
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(std::ceil(std::min(left, 5.0))), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
  }
}

void PumpFor(double ms) {
  PumpUntil(NowMs() + ms, [] { return false; });
}

std::wstring FolderOf(const std::wstring& path) {
  const auto slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return L".";
  return path.substr(0, slash == 2 && path[1] == L':' ? slash + 1 : slash);
}

HWND TopLevelOf(const wchar_t* windowClass, DWORD pid) {
  for (HWND w = FindWindowExW(nullptr, nullptr, windowClass, nullptr); w;
       w = FindWindowExW(nullptr, w, windowClass, nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == pid) return w;
  }
  return nullptr;
}

int DescendantsOf(HWND hwnd) {
  int count = 0;
  EnumChildWindows(
      hwnd,
      [](HWND, LPARAM param) -> BOOL {
        ++*reinterpret_cast<int*>(param);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count;
}

std::wstring TextOf(HWND hwnd) {
  wchar_t text[64] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &copied);
  return text;
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

HWND MessageBoxOf(DWORD pid) {
  for (HWND w = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); w; w = FindWindowExW(nullptr, w, L"#32770", nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == pid && IsWindowVisible(w)) return w;
  }
  return nullptr;
}

bool Running::Start(const Program& program, const wchar_t* environment, bool suspended) {
  std::wstring command = L"\"" + program.exe + L"\"";
  const std::wstring folder = FolderOf(program.exe);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  const DWORD flags = (environment ? CREATE_UNICODE_ENVIRONMENT : 0) | (suspended ? CREATE_SUSPENDED : 0);
  if (!CreateProcessW(program.exe.c_str(), command.data(), nullptr, nullptr, FALSE, flags,
                      const_cast<wchar_t*>(environment), folder.c_str(), &startup, &process_)) {
    return false;
  }
  windowClass_ = program.windowClass;
  return true;
}

void Running::Resume() {
  if (process_.hThread) ResumeThread(process_.hThread);
}

bool Running::Exited() const {
  return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0;
}

DWORD Running::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (process_.hProcess) GetExitCodeProcess(process_.hProcess, &code);
  return code;
}

HWND Running::Window() {
  if (!window_ && process_.hProcess && windowClass_) window_ = TopLevelOf(windowClass_, process_.dwProcessId);
  return window_;
}

bool Running::Close() {
  if (!process_.hProcess) return true;
  bool clean = true;
  if (Window() && IsWindow(window_)) PostMessageW(window_, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0) {
    clean = false;
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 5000);
  }
  Release();
  return clean;
}

void Running::Release() {
  if (process_.hThread) CloseHandle(process_.hThread);
  if (process_.hProcess) CloseHandle(process_.hProcess);
  process_ = {};
  window_ = nullptr;
}

bool WaitUntilReady(Running& running, int controls, double timeoutMs, std::string& error) {
  const double deadline = NowMs() + timeoutMs;
  const bool shown = PumpUntil(deadline, [&] {
    const HWND w = running.Window();
    return running.Exited() || (w && IsWindowVisible(w) && DescendantsOf(w) >= controls);
  });
  if (running.Exited()) {
    error = "the program ended during start-up (exit code " + std::to_string(running.ExitCode()) + ")";
    return false;
  }
  DWORD_PTR answer = 0;
  if (!shown || !SendMessageTimeoutW(running.Window(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer)) {
    error = "no window with " + std::to_string(controls) + " controls that answers, in time";
    return false;
  }
  return true;
}

std::wstring EnvironmentWith(std::wstring_view name, std::wstring_view value) {
  std::wstring block;
  wchar_t* strings = GetEnvironmentStringsW();
  const std::wstring prefix = std::wstring(name) + L"=";
  for (const wchar_t* s = strings; *s; s += wcslen(s) + 1) {
    if (CompareStringOrdinal(s, static_cast<int>(prefix.size()), prefix.c_str(), -1, TRUE) == CSTR_EQUAL) continue;
    block.append(s).push_back(L'\0');
  }
  FreeEnvironmentStringsW(strings);
  block.append(prefix).append(value).push_back(L'\0');
  block.push_back(L'\0');
  return block;
}

}  // namespace yg::tools
