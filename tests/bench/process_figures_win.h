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

// User and kernel time so far.
double CpuMsOf(HANDLE process);

// How often the process's threads have been switched to so far: every wake-up, for a timer, a
// poll or a message. On Windows the threads' context switches; under Wine, which reports none,
// those of the Unix threads that run the process (Wine's own helper threads included), found
// through /proc. -1 when neither can be had.
struct Wakeups {
  long long count = -1;
  std::string how;
};
Wakeups WakeupsOf(DWORD pid, const std::wstring& exe);

}  // namespace yg::tools
