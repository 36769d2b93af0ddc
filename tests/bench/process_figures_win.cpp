#include "tests/bench/process_figures_win.h"

#include <psapi.h>
#include <winternl.h>

#include <cwctype>
#include <vector>

#include "tests/bench/proc_text.h"
#include "tests/bench/tool_win.h"

namespace yg::tools {

namespace {

// ---- GDI objects under Wine: the process's handle table ----

// An entry of the GDI handle table that the process environment block points to (its offset
// 0xF8 on x64), as Wine lays it out; Windows keeps an entry of the same size there.
struct GdiHandleEntry {
  UINT64 object;
  ULONG owner;
  USHORT unique;  // bit 7: a stock object
  UCHAR type;     // 0: a free entry
  UCHAR flags;
  UINT64 user;
};
static_assert(sizeof(GdiHandleEntry) == 24);
constexpr std::size_t kGdiTableOffset = 0xF8;
constexpr std::size_t kGdiHandles = 0x10000;
constexpr USHORT kStockFlag = 0x80;

long GdiHandlesInTable(HANDLE process) {
  PROCESS_BASIC_INFORMATION basic{};
  ULONG length = 0;
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, &length) != 0) return -1;
  void* table = nullptr;
  SIZE_T read = 0;
  if (!ReadProcessMemory(process, reinterpret_cast<const char*>(basic.PebBaseAddress) + kGdiTableOffset, &table,
                         sizeof table, &read) ||
      !table) {
    return -1;
  }
  std::vector<GdiHandleEntry> entries(kGdiHandles);
  if (!ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof(GdiHandleEntry), &read)) return -1;
  long count = 0;
  for (const GdiHandleEntry& e : entries) {
    if (e.type != 0 && (e.unique & kStockFlag) == 0) ++count;
  }
  return count;
}

// ---- USER objects under Wine: the process's windows ----

struct WindowCount {
  DWORD pid;
  long count = 0;
};

BOOL CALLBACK CountWindow(HWND hwnd, LPARAM param) {
  auto* c = reinterpret_cast<WindowCount*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner == c->pid) c->count += 1 + DescendantsOf(hwnd);
  return TRUE;
}

long WindowsOf(DWORD pid) {
  WindowCount c{pid};
  EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&c));
  // Message-only windows are not top-level windows to EnumWindows.
  for (HWND w = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); w;
       w = FindWindowExW(HWND_MESSAGE, w, nullptr, nullptr)) {
    CountWindow(w, reinterpret_cast<LPARAM>(&c));
  }
  return c.count;
}

// ---- memory ----

double CommittedPrivate(HANDLE process) {
  double total = 0;
  MEMORY_BASIC_INFORMATION region;
  const char* at = nullptr;
  while (VirtualQueryEx(process, at, &region, sizeof region) == sizeof region) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += static_cast<double>(region.RegionSize);
    const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
    if (next <= at) break;
    at = next;
  }
  return total;
}

// ---- wake-ups ----

// The start of SYSTEM_THREAD_INFORMATION as the system lays it out on x64.
struct ThreadInformation {
  LARGE_INTEGER kernelTime, userTime, createTime;
  ULONG waitTime;
  PVOID startAddress;
  CLIENT_ID clientId;
  LONG priority, basePriority;
  ULONG contextSwitches;
  ULONG state, waitReason;
};

long long ContextSwitchesOf(DWORD pid) {
  std::vector<char> buffer(1 << 20);
  ULONG size = 0;
  NTSTATUS status;
  while ((status = NtQuerySystemInformation(SystemProcessInformation, buffer.data(),
                                            static_cast<ULONG>(buffer.size()), &size)) != 0) {
    if (buffer.size() >= (64u << 20)) return -1;
    buffer.resize(buffer.size() * 2);
  }
  for (const char* at = buffer.data();;) {
    const auto* p = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(at);
    if (static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(p->UniqueProcessId)) == pid) {
      const auto* threads = reinterpret_cast<const ThreadInformation*>(p + 1);
      long long total = 0;
      for (ULONG i = 0; i < p->NumberOfThreads; ++i) total += threads[i].contextSwitches;
      return total;
    }
    if (p->NextEntryOffset == 0) return -1;
    at += p->NextEntryOffset;
  }
}

std::string ReadWholeFile(const std::wstring& path) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string text;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) text.append(chunk, got);
  CloseHandle(file);
  return text;
}

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

std::wstring FileNameOf(const std::wstring& path) {
  const auto slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace

// Wine runs each Windows process as a Unix process whose first argument is the program's path and
// whose environment holds this Wine prefix.
long UnixPidOf(const std::wstring& exe) {
  wchar_t prefix[1024] = {};
  if (!GetEnvironmentVariableW(L"WINEPREFIX", prefix, 1024)) return 0;
  const std::string ours = "WINEPREFIX=" + Utf8(prefix) + std::string(1, '\0');
  const std::wstring name = Lower(FileNameOf(exe));
  long found = 0;
  WIN32_FIND_DATAW entry;
  const HANDLE find = FindFirstFileW(L"Z:\\proc\\*", &entry);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do {
    const long pid = wcstol(entry.cFileName, nullptr, 10);
    if (pid <= 0) continue;
    const std::wstring dir = L"Z:\\proc\\" + std::wstring(entry.cFileName) + L"\\";
    const std::string command = ReadWholeFile(dir + L"cmdline");
    const std::wstring first = Wide(command.substr(0, command.find('\0')));
    if (Lower(FileNameOf(first)) != name) continue;
    const std::string environment = std::string(1, '\0') + ReadWholeFile(dir + L"environ");
    if (environment.find(std::string(1, '\0') + ours) == std::string::npos) continue;
    if (found) {
      found = -1;  // two of them
      break;
    }
    found = pid;
  } while (FindNextFileW(find, &entry));
  FindClose(find);
  return found > 0 ? found : 0;
}

namespace {

// The voluntary context switches of the process's Unix threads, summed: the process's own status
// counts only its first thread's.
long long UnixWakeupsOf(long unixPid) {
  const std::wstring tasks = L"Z:\\proc\\" + std::to_wstring(unixPid) + L"\\task\\";
  WIN32_FIND_DATAW entry;
  const HANDLE find = FindFirstFileW((tasks + L"*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return -1;
  long long total = 0;
  do {
    if (wcstol(entry.cFileName, nullptr, 10) <= 0) continue;
    const long long switches = VoluntarySwitchesInStatus(ReadWholeFile(tasks + entry.cFileName + L"\\status"));
    if (switches > 0) total += switches;
  } while (FindNextFileW(find, &entry));
  FindClose(find);
  return total;
}

// The process's processor time in clock ticks of 10 ms (USER_HZ), all its threads together,
// ended ones included.
long long UnixTicksOf(long unixPid) {
  return TicksInStat(ReadWholeFile(L"Z:\\proc\\" + std::to_wstring(unixPid) + L"\\stat"));
}

}  // namespace

GuiObjects GuiObjectsOf(HANDLE process, DWORD pid) {
  GuiObjects o;
  SetLastError(0);
  const DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
  if (gdi != 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) {
    o.gdi = gdi;
    o.user = GetGuiResources(process, GR_USEROBJECTS);
    o.how = "GetGuiResources";
    return o;
  }
  o.gdi = GdiHandlesInTable(process);
  o.user = WindowsOf(pid);
  o.how = "handle table and windows";
  return o;
}

Memory MemoryOf(HANDLE process) {
  Memory m;
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters)) return m;
  m.workingSet = static_cast<double>(counters.WorkingSetSize);
  if (counters.PrivateUsage != 0) {
    m.privateBytes = static_cast<double>(counters.PrivateUsage);
    m.how = "PrivateUsage";
  } else {
    m.privateBytes = CommittedPrivate(process);
    m.how = "committed private regions";
  }
  return m;
}

double CpuMsOf(HANDLE process, long unixPid) {
  constexpr double kMsPerTick = 10;
  if (unixPid > 0) {
    const long long ticks = UnixTicksOf(unixPid);
    if (ticks >= 0) return static_cast<double>(ticks) * kMsPerTick;
  }
  FILETIME created, ended, kernel, user;
  if (!GetProcessTimes(process, &created, &ended, &kernel, &user)) return -1;
  const auto ticks = [](const FILETIME& t) {
    return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
  };
  return (ticks(kernel) + ticks(user)) / 10000;  // 100 ns ticks
}

Wakeups WakeupsOf(DWORD pid, long unixPid) {
  if (unixPid > 0) return {UnixWakeupsOf(unixPid), "voluntary context switches of its Unix threads"};
  const long long switches = ContextSwitchesOf(pid);
  if (switches > 0) return {switches, "context switches of its threads"};
  return {};
}

}  // namespace yg::tools
