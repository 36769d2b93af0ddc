#pragma once

// What the measuring programs (yg_bench, yg_soak, yg_fuzz) share: facts printed a line at a time,
// the performance counter, a message pump, and the programs they start and watch.

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/e2e/console_tool.h"  // Utf8 and Wide

namespace yg::tools {

// ---- output: one fact a line, key=value, UTF-8 ----

// Each line goes out at once, so that a long run shows its progress.
void Line(const std::string& text);
void Fact(const std::string& key, const std::string& value);
std::string Fixed(double value, int decimals = 2);

// ---- time ----

// Milliseconds of the performance counter.
double NowMs();
double Median(std::vector<double> values);
// <key>_median, <key>_min and <key>_max.
void Figures(const std::string& key, const std::vector<double>& values);

// ---- messages ----

// Handles whatever reaches this thread, low-level hook calls included, until done() holds or
// the deadline passes, looking at done() at least every 5 ms. Returns done().
bool PumpUntil(double deadline, const std::function<bool()>& done);
void PumpFor(double ms);

// ---- programs and their windows ----

struct Program {
  std::string name;  // in the output: panel, bare, reference
  std::wstring exe;  // full path
  const wchar_t* windowClass = nullptr;
};

std::wstring FolderOf(const std::wstring& path);
// The first top-level window of the class that belongs to the process.
HWND TopLevelOf(const wchar_t* windowClass, DWORD pid);
int DescendantsOf(HWND hwnd);
std::wstring TextOf(HWND hwnd);
std::wstring ClassOf(HWND hwnd);
// A window of the process that a message box made (class #32770), or null.
HWND MessageBoxOf(DWORD pid);

// A program this one started, closed (and if need be ended) when it goes.
class Running {
 public:
  Running() = default;
  Running(const Running&) = delete;
  Running& operator=(const Running&) = delete;
  ~Running() { Close(); }

  // environment: a Unicode block for the child, or null for this program's own. suspended: the
  // program waits for Resume before its first instruction.
  bool Start(const Program& program, const wchar_t* environment = nullptr, bool suspended = false);
  void Resume();
  bool Exited() const;
  // The exit code once it has ended, else STILL_ACTIVE.
  DWORD ExitCode() const;
  HWND Window();
  HANDLE Process() const { return process_.hProcess; }
  DWORD Pid() const { return process_.dwProcessId; }
  // WM_CLOSE, as the close box sends it, and the wait for the process to end. False when it had
  // to be ended by force.
  bool Close();
  // Forgets an ended process, keeping nothing open.
  void Release();

 private:
  PROCESS_INFORMATION process_{};
  const wchar_t* windowClass_ = nullptr;
  HWND window_ = nullptr;
};

// Waits until the program's window is visible with all `controls` descendants and its thread
// answers a message: start-up is over.
bool WaitUntilReady(Running& running, int controls, double timeoutMs, std::string& error);

// This program's environment with one variable set to a new value, as a block for CreateProcess.
std::wstring EnvironmentWith(std::wstring_view name, std::wstring_view value);

}  // namespace yg::tools
