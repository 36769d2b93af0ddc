#pragma once

// What another process costs: its GDI and USER objects, its memory, its processor time and how
// often its threads wake. Windows answers each with a system call; where Wine has none (it has no
// GetGuiResources and no private-bytes figure), the same thing is counted another way, and the
// `how` of each figure says which.

#include <windows.h>

#include <string>

namespace yg::tools {

struct GuiObjects {
  long gdi = -1;
  long user = -1;
  // "GetGuiResources", or under Wine "handle table" for GDI (the process's own GDI handle table,
  // read from its memory, stock objects left out) and "windows" for USER (its windows, counted).
  std::string how;
};
GuiObjects GuiObjectsOf(HANDLE process, DWORD pid);

struct Memory {
  double privateBytes = -1;  // committed memory no other process shares
  double workingSet = -1;    // resident in RAM
  std::string how;           // "PrivateUsage", or "committed private regions" where that is 0 (Wine)
};
Memory MemoryOf(HANDLE process);

// Under Wine, the Unix process that runs a Windows program: the one of this Wine prefix whose
// first argument names `exe`, found through /proc. 0 elsewhere, or when there is not exactly one.
long UnixPidOf(const std::wstring& exe);

// User and kernel time so far: GetProcessTimes, or under Wine (unixPid not 0) the times /proc
// gives for the Unix process that runs it, all its threads together; Wine's GetProcessTimes of
// another process does not follow them closely (it reports tens of milliseconds over seconds in
// which /proc counts none).
double CpuMsOf(HANDLE process, long unixPid);

// How often the process's threads have been switched to so far: every wake-up, for a timer, a
// poll or a message. On Windows the threads' context switches; under Wine, which reports none,
// the voluntary context switches of the Unix threads that run the process (Wine's own helper
// threads included). -1 when neither can be had.
struct Wakeups {
  long long count = -1;
  std::string how;
};
Wakeups WakeupsOf(DWORD pid, long unixPid);

}  // namespace yg::tools
