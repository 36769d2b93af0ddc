// yg_bench: times the panel against bare reference programs from inside the window system, with
// the performance counter, and prints one fact a line (key=value, UTF-8).
//
//   yg_bench.exe [--runs <n>] [--poll-ms <ms>] [--trace <file>] --panel <exe>
//                --bare-window <exe> --bare-button <exe> <measure>...
//
// Measures, run in the order given:
//   startup     starts the panel and yg_bare_window in turn, <n> times each (default 15; the
//               first run of each is a warm-up and is dropped), and times CreateProcess to the
//               moment its top-level window is visible at its final size (what the warm-up run
//               settled at), polling for it every <ms> (default 1; a slower poll shows that the
//               polling does not slow the program down). Each run is closed with WM_CLOSE and
//               waited for before the next.
//   click       starts the panel and yg_bare_button, takes the foreground with a window of its
//               own, and clicks the panel's 虫 (12 key events) and 。 (2) and the bare button
//               (2) in turn, <n> rounds (the first a warm-up), with SendInput; times the
//               injection's return to the last expected key event at this program's own
//               low-level keyboard hook, and checks that this program kept the foreground and
//               the focus and that the keys reached its window.
//   clickqueue  the same without the hook: the keys are timed as this program's focused window
//               takes them from its queue.
//   sendinput   starts the panel and yg_bare_button with WINEDEBUG=+relay, the relay trace
//               limited to user32.SendInput, clicks 虫 and the bare button once each, and counts
//               the SendInput calls in the trace. Wine writes a child's trace to the standard
//               error it inherited from this program, so <file> must be where that goes
//               (2><file>).
//   size        the size of each exe in bytes.
//
// Times are milliseconds. Per run: `startup run=<i> target=<t> exists=<ms> built=<ms>
// shown=<ms> sized=<ms> ready=<ms> painted=<ms> foreground=0|1` (exists: the top-level window
// was created; built: it had all its controls; shown: it was visible; sized: visible and at its
// final size; ready: then its thread answered a WM_NULL, so start-up is over and the message loop
// runs; painted: then neither the window nor any control had anything left to paint and its
// thread answered again, so the last paint had ended; foreground: it was the foreground window
// when sized), and
// `click run=<i> target=<t> ms=<ms> first=<ms> gap=<ms> events=<n> keys_ok=0|1 inactive=0|1`
// (first: to the first key event; gap: from one key event to the next, on average).
// Figures: startup_<t>_{exists,built,shown,sized,ready,painted}_{median,min,max},
// startup_<t>_final_size, startup_<t>_controls, startup_ratio (panel/bare, sized),
// startup_ready_ratio; <m>_<t>_{median,min,max,
// first_median,gap_median,events,inactive}, <m>_ratio (panel/bare), <m>_1key_ratio
// (panel_1key/bare) for <m> click and clickqueue; sendinput_<t>_{calls,events};
// size_{panel,bare_window,bare_button}. Targets: panel, panel_1key (its 。 key), bare.
// Exit status: 0 done, 1 bad usage, 2 a measure could not be taken (error=<what> says why).
#include <windows.h>

#include "tests/e2e/console_tool.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kExitUsage = 1;
constexpr int kExitFailed = 2;

constexpr wchar_t kPanelClass[] = L"YgKeyPanel";
constexpr wchar_t kBareWindowClass[] = L"YgBareWindow";
constexpr wchar_t kBareButtonClass[] = L"YgBareButton";
constexpr wchar_t kFocusClass[] = L"YgBenchFocus";
// The panel's buttons that are clicked: 虫 types its stroke code (6 keys, 12 events), 。 one
// key (VK_OEM_PERIOD), like the bare button (I).
constexpr wchar_t kPanelButtonText[] = L"虫";
constexpr wchar_t kPanelOneKeyText[] = L"。";
constexpr DWORD kPanelOneKey = VK_OEM_PERIOD;
constexpr DWORD kBareButtonKey = 'I';

// A window counts as settled once its rectangle has not changed for this long.
constexpr double kSettleMs = 1000;
constexpr double kStartTimeoutMs = 30000;
constexpr double kKeysTimeoutMs = 3000;
// After the last expected key: time for any unexpected one to show.
constexpr double kAfterKeysMs = 150;
// After moving the pointer onto a button: time for the hover to be handled.
constexpr double kHoverMs = 80;

// What a click on each button must type: (virtual key, key up).
using KeyList = std::vector<std::pair<DWORD, bool>>;

KeyList Taps(const std::vector<DWORD>& keys) {
  KeyList list;
  for (DWORD k : keys) {
    list.emplace_back(k, false);
    list.emplace_back(k, true);
  }
  return list;
}

// ---- output ----

using yg::tools::Utf8;

// Each line goes out at once, so that a long run shows its progress.
void Line(const std::string& text) {
  const std::string line = text + "\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

void Fact(const std::string& key, const std::string& value) { Line(key + "=" + value); }

std::string Ms(double ms) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", ms);
  return text;
}

// ---- time ----

double g_ticksPerMs = 0;
DWORD g_pollMs = 1;

double NowMs() {
  LARGE_INTEGER count;
  QueryPerformanceCounter(&count);
  return static_cast<double>(count.QuadPart) / g_ticksPerMs;
}

double Median(std::vector<double> values) {
  if (values.empty()) return NAN;
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void Figures(const std::string& key, const std::vector<double>& values) {
  Fact(key + "_median", Ms(Median(values)));
  Fact(key + "_min", Ms(*std::min_element(values.begin(), values.end())));
  Fact(key + "_max", Ms(*std::max_element(values.begin(), values.end())));
}

// ---- messages ----

// Handles whatever reaches this thread, the keyboard hook's calls included, until done() holds
// or the deadline passes. Returns done().
bool PumpUntil(double deadline, const std::function<bool()>& done) {
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    if (done()) return true;
    const double left = deadline - NowMs();
    if (left <= 0) return false;
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(std::ceil(left)), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

void PumpFor(double ms) {
  PumpUntil(NowMs() + ms, [] { return false; });
}

// ---- programs and their windows ----

struct Program {
  std::string name;          // in the output: panel or bare
  std::wstring exe;          // full path
  const wchar_t* windowClass;
};

std::wstring FolderOf(const std::wstring& path) {
  const auto slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return L".";
  return path.substr(0, slash == 2 && path[1] == L':' ? slash + 1 : slash);
}

// The first top-level window of the class that belongs to the process.
HWND TopLevelOf(const wchar_t* windowClass, DWORD pid) {
  for (HWND w = FindWindowExW(nullptr, nullptr, windowClass, nullptr); w;
       w = FindWindowExW(nullptr, w, windowClass, nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == pid) return w;
  }
  return nullptr;
}

SIZE SizeOf(const RECT& r) { return {r.right - r.left, r.bottom - r.top}; }

class Running {
 public:
  Running() = default;
  Running(const Running&) = delete;
  Running& operator=(const Running&) = delete;
  ~Running() { Close(); }

  // environment: a Unicode block for the child, or null for this program's own.
  bool Start(const Program& program, const wchar_t* environment) {
    std::wstring command = L"\"" + program.exe + L"\"";
    const std::wstring folder = FolderOf(program.exe);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    const DWORD flags = environment ? CREATE_UNICODE_ENVIRONMENT : 0;
    if (!CreateProcessW(program.exe.c_str(), command.data(), nullptr, nullptr, FALSE, flags,
                        const_cast<wchar_t*>(environment), folder.c_str(), &startup, &process_)) {
      return false;
    }
    windowClass_ = program.windowClass;
    return true;
  }

  bool Exited() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; }

  HWND Window() {
    if (!window_ && process_.hProcess) window_ = TopLevelOf(windowClass_, process_.dwProcessId);
    return window_;
  }

  // WM_CLOSE, as the close box sends it, and the wait for the process to end. False when it had
  // to be ended by force.
  bool Close() {
    if (!process_.hProcess) return true;
    bool clean = true;
    if (window_ && IsWindow(window_)) PostMessageW(window_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0) {
      clean = false;
      TerminateProcess(process_.hProcess, 1);
      WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
    process_ = {};
    window_ = nullptr;
    return clean;
  }

 private:
  PROCESS_INFORMATION process_{};
  const wchar_t* windowClass_ = nullptr;
  HWND window_ = nullptr;
};

struct StartTimes {
  double exists = -1;  // the top-level window was there
  double built = -1;   // ... with all its descendants
  double shown = -1;   // ... and visible
  double sized = -1;   // ... and at its final size
  double ready = -1;   // its thread answered a message: start-up work done, message loop running
  double painted = -1; // nothing left to paint, and the last paint ended
  bool foreground = false;  // when sized
};

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

bool NeedsPaint(HWND hwnd) {
  if (GetUpdateRect(hwnd, nullptr, FALSE)) return true;
  bool pending = false;
  EnumChildWindows(
      hwnd,
      [](HWND child, LPARAM param) -> BOOL {
        if (!IsWindowVisible(child) || !GetUpdateRect(child, nullptr, FALSE)) return TRUE;
        *reinterpret_cast<bool*>(param) = true;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&pending));
  return pending;
}

// What a window looks like once its program has started: its size and how many descendants
// (controls) it has. Unknown (size 0) until a first run has shown it.
struct Settled {
  SIZE size{};
  int descendants = 0;
  bool known() const { return size.cx != 0; }
};

// Starts the program and polls every millisecond for its window. With the settled look known,
// waits until the window is visible at that size; without, until it is visible and its rectangle
// has stayed the same for kSettleMs, and fills in what it settled at.
bool StartAndWatch(const Program& program, Settled& settled, Running& running, StartTimes& times, std::string& error,
                   const wchar_t* environment = nullptr) {
  const double start = NowMs();
  if (!running.Start(program, environment)) {
    error = "CreateProcess " + program.name + " " + std::to_string(GetLastError());
    return false;
  }
  const bool learn = !settled.known();
  RECT last{};
  double lastChange = 0;
  for (;;) {
    const HWND w = running.Window();
    const double now = NowMs();
    if (w) {
      if (times.exists < 0) times.exists = now - start;
      if (times.built < 0 && !learn && DescendantsOf(w) >= settled.descendants) times.built = now - start;
      RECT r{};
      GetWindowRect(w, &r);
      const SIZE size = SizeOf(r);
      const bool visible = IsWindowVisible(w);
      if (visible && times.shown < 0) times.shown = now - start;
      if (visible && !learn && size.cx == settled.size.cx && size.cy == settled.size.cy) {
        times.sized = now - start;
        times.foreground = GetForegroundWindow() == w;
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer);
        times.ready = NowMs() - start;
        // A paint begins by emptying its window's update region; the window's thread answers
        // the next message only once that paint has ended.
        while (NeedsPaint(w) && NowMs() - start < kStartTimeoutMs) Sleep(g_pollMs);
        SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer);
        times.painted = NowMs() - start;
        return true;
      }
      if (visible && learn) {
        if (!EqualRect(&r, &last) || lastChange == 0) {
          last = r;
          lastChange = now;
        } else if (now - lastChange >= kSettleMs) {
          times.sized = lastChange - start;
          settled.size = size;
          settled.descendants = DescendantsOf(w);
          return true;
        }
      }
    }
    if (running.Exited()) {
      error = program.name + " ended during start-up (is another copy running in this Wine prefix?)";
      return false;
    }
    if (now - start > kStartTimeoutMs) {
      error = program.name + " showed no settled window in time";
      return false;
    }
    Sleep(g_pollMs);
  }
}

// ---- measures ----

struct Options {
  int runs = 15;
  std::wstring trace;
  Program panel{"panel", {}, kPanelClass};
  Program bareWindow{"bare", {}, kBareWindowClass};
  Program bareButton{"bare", {}, kBareButtonClass};
  std::vector<std::wstring> measures;
};

bool MeasureStartup(const Options& o, std::string& error) {
  const Program* programs[] = {&o.panel, &o.bareWindow};
  Settled settled[2];
  // Warm-up: the first start of each loads what later ones find cached, and shows what the
  // window settles at.
  for (int p = 0; p < 2; ++p) {
    Running running;
    StartTimes times;
    if (!StartAndWatch(*programs[p], settled[p], running, times, error)) return false;
    const std::string key = "startup_" + programs[p]->name;
    Fact(key + "_final_size", std::to_string(settled[p].size.cx) + "x" + std::to_string(settled[p].size.cy));
    Fact(key + "_controls", std::to_string(settled[p].descendants));
    if (!running.Close()) Line("warning=" + programs[p]->name + " did not end on WM_CLOSE");
    Sleep(200);
  }
  std::vector<double> exists[2], built[2], shown[2], sized[2], ready[2], painted[2];
  for (int run = 1; run < o.runs; ++run) {
    // Side by side, the order turned round every run: a load that comes and goes hits both.
    for (int k = 0; k < 2; ++k) {
      const int p = (run % 2) ? k : 1 - k;
      Running running;
      StartTimes times;
      if (!StartAndWatch(*programs[p], settled[p], running, times, error)) return false;
      if (!running.Close()) Line("warning=" + programs[p]->name + " did not end on WM_CLOSE");
      exists[p].push_back(times.exists);
      built[p].push_back(times.built);
      shown[p].push_back(times.shown);
      sized[p].push_back(times.sized);
      ready[p].push_back(times.ready);
      painted[p].push_back(times.painted);
      Line("startup run=" + std::to_string(run) + " target=" + programs[p]->name + " exists=" + Ms(times.exists) +
           " built=" + Ms(times.built) + " shown=" + Ms(times.shown) + " sized=" + Ms(times.sized) + " ready=" + Ms(times.ready) +
           " painted=" + Ms(times.painted) +
           " foreground=" + (times.foreground ? "1" : "0"));
      Sleep(200);
    }
  }
  for (int p = 0; p < 2; ++p) {
    const std::string key = "startup_" + programs[p]->name;
    Figures(key + "_exists", exists[p]);
    Figures(key + "_built", built[p]);
    Figures(key + "_shown", shown[p]);
    Figures(key + "_sized", sized[p]);
    Figures(key + "_ready", ready[p]);
    Figures(key + "_painted", painted[p]);
  }
  Fact("startup_runs", std::to_string(o.runs - 1));
  Fact("startup_ratio", Ms(Median(sized[0]) / Median(sized[1])));
  Fact("startup_ready_ratio", Ms(Median(ready[0]) / Median(ready[1])));
  return true;
}

// The keyboard as this program's low-level hook sees it, while recording.
struct SeenKey {
  DWORD vk;
  bool up;
  bool injected;
  double at;
};
std::vector<SeenKey> g_keys;
bool g_recording = false;
// Without the hook, the keys are timed as the focus window's queue hands them over.
bool g_fromQueue = false;

LRESULT CALLBACK KeyboardHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && g_recording) {
    const double now = NowMs();
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    g_keys.push_back({key->vkCode, wParam == WM_KEYUP || wParam == WM_SYSKEYUP, (key->flags & LLKHF_INJECTED) != 0,
                      now});
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

class KeyboardWatch {
 public:
  KeyboardWatch() : hook_(SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardHook, GetModuleHandleW(nullptr), 0)) {}
  KeyboardWatch(const KeyboardWatch&) = delete;
  KeyboardWatch& operator=(const KeyboardWatch&) = delete;
  ~KeyboardWatch() {
    if (hook_) UnhookWindowsHookEx(hook_);
  }
  bool ok() const { return hook_ != nullptr; }

 private:
  HHOOK hook_;
};

// Key messages that reached the focus window while recording: the keys went where the user
// types, not into the clicked window.
int g_queuedKeys = 0;

LRESULT CALLBACK FocusProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
      if (g_recording) {
        ++g_queuedKeys;
        if (g_fromQueue) {
          g_keys.push_back({static_cast<DWORD>(wParam), message == WM_KEYUP || message == WM_SYSKEYUP, true, NowMs()});
        }
      }
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

// The window that has the foreground and the keyboard while the buttons are clicked: the keys
// the programs type land here. Out of the way of the panel and the bare button.
class FocusWindow {
 public:
  FocusWindow() {
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = FocusProc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    cls.lpszClassName = kFocusClass;
    RegisterClassExW(&cls);
    hwnd_ = CreateWindowExW(0, kFocusClass, L"yg_bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 640, 40, 360, 200, nullptr,
                            nullptr, cls.hInstance, nullptr);
  }
  FocusWindow(const FocusWindow&) = delete;
  FocusWindow& operator=(const FocusWindow&) = delete;
  ~FocusWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
  }

  bool HasKeyboard() const { return hwnd_ && GetForegroundWindow() == hwnd_ && GetFocus() == hwnd_; }

  bool TakeKeyboard() {
    if (HasKeyboard()) return true;
    SetForegroundWindow(hwnd_);
    SetFocus(hwnd_);
    return PumpUntil(NowMs() + 3000, [this] { return HasKeyboard(); });
  }

 private:
  HWND hwnd_ = nullptr;
};

struct Button {
  std::wstring_view text;  // empty: the first push button
  HWND hwnd = nullptr;
};

std::wstring TextOf(HWND hwnd) {
  wchar_t text[64] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &copied);
  return text;
}

// A visible push button among the window's descendants, by its caption.
HWND FindButton(HWND top, std::wstring_view text) {
  Button wanted{text};
  EnumChildWindows(
      top,
      [](HWND child, LPARAM param) -> BOOL {
        auto* b = reinterpret_cast<Button*>(param);
        wchar_t cls[32] = {};
        GetClassNameW(child, cls, 32);
        if (CompareStringOrdinal(cls, -1, L"Button", -1, TRUE) != CSTR_EQUAL || !IsWindowVisible(child)) return TRUE;
        if (!b->text.empty() && TextOf(child) != b->text) return TRUE;
        b->hwnd = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&wanted));
  return wanted.hwnd;
}

struct ClickTarget {
  std::string name;
  HWND button = nullptr;
  KeyList keys;
};

bool AddTarget(std::vector<ClickTarget>& targets, std::string name, Running& running, std::wstring_view text,
               std::vector<DWORD> keys, std::string& error) {
  ClickTarget t{std::move(name), FindButton(running.Window(), text), Taps(keys)};
  if (!t.button) {
    error = "no button " + (text.empty() ? std::string("at all") : Utf8(text)) + " for " + t.name;
    return false;
  }
  targets.push_back(std::move(t));
  return true;
}

// Starts the programs whose buttons are clicked and waits until their windows have settled.
bool StartForClicks(const Options& o, Running& panel, Running& bare, std::string& error,
                    const wchar_t* environment = nullptr) {
  StartTimes times;
  Settled panelLook, bareLook;
  return StartAndWatch(o.panel, panelLook, panel, times, error, environment) &&
         StartAndWatch(o.bareButton, bareLook, bare, times, error, environment);
}

struct ClickResult {
  double ms = -1;     // the injection's return to the last expected key event
  double first = -1;  // ... to the first key event
  double gap = -1;    // between one key event and the next, on average
  std::size_t events = 0;
  bool expectedKeys = false;
  bool inactive = false;  // the observer kept the foreground and the focus, and got the keys
};

ClickResult ClickOnce(const ClickTarget& t, FocusWindow& focus) {
  ClickResult result;
  RECT r{};
  GetWindowRect(t.button, &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  PumpFor(kHoverMs);
  focus.TakeKeyboard();

  INPUT click[2]{};
  click[0].type = INPUT_MOUSE;
  click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  click[1].type = INPUT_MOUSE;
  click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  g_keys.clear();
  g_queuedKeys = 0;
  g_recording = true;
  SendInput(2, click, sizeof(INPUT));
  const double injected = NowMs();
  const std::size_t expected = t.keys.size();
  const bool all = PumpUntil(injected + kKeysTimeoutMs, [expected] { return g_keys.size() >= expected; });
  PumpFor(kAfterKeysMs);
  g_recording = false;

  result.events = g_keys.size();
  if (all) {
    result.ms = g_keys[expected - 1].at - injected;
    result.first = g_keys[0].at - injected;
    if (expected > 1) result.gap = (g_keys[expected - 1].at - g_keys[0].at) / static_cast<double>(expected - 1);
  }
  result.expectedKeys = g_keys.size() == expected;
  for (std::size_t i = 0; result.expectedKeys && i < expected; ++i) {
    const SeenKey& k = g_keys[i];
    result.expectedKeys = k.vk == t.keys[i].first && k.up == t.keys[i].second && k.injected;
  }
  result.inactive = focus.HasKeyboard() && g_queuedKeys == static_cast<int>(expected);
  return result;
}

std::string Describe(const ClickTarget& t, const ClickResult& c) {
  return "target=" + t.name + " ms=" + Ms(c.ms) + " first=" + Ms(c.first) + " gap=" + Ms(c.gap) +
         " events=" + std::to_string(c.events) + " keys_ok=" + (c.expectedKeys ? "1" : "0") +
         " inactive=" + (c.inactive ? "1" : "0");
}

// hook: time the keys at this program's low-level keyboard hook (the measure "click"); without,
// as the focus window's queue hands them over (the measure "clickqueue": no hook slows down the
// injection, as Wine hands every event of a SendInput call to every low-level hook in turn).
bool MeasureClick(const Options& o, bool hook, std::string& error) {
  const std::string measure = hook ? "click" : "clickqueue";
  Running panel, bare;
  std::vector<ClickTarget> targets;
  if (!StartForClicks(o, panel, bare, error) ||
      !AddTarget(targets, "panel", panel, kPanelButtonText, {'I', 'L', 'H', 'I', 'H', 'K'}, error) ||
      !AddTarget(targets, "panel_1key", panel, kPanelOneKeyText, {kPanelOneKey}, error) ||
      !AddTarget(targets, "bare", bare, L"", {kBareButtonKey}, error)) {
    return false;
  }
  FocusWindow focus;
  std::optional<KeyboardWatch> watch;
  if (hook) {
    watch.emplace();
    if (!watch->ok()) {
      error = "SetWindowsHookExW " + std::to_string(GetLastError());
      return false;
    }
  }
  g_fromQueue = !hook;
  if (!focus.TakeKeyboard()) {
    error = "the observer's window did not get the foreground";
    return false;
  }
  const std::size_t n = targets.size();
  std::vector<std::vector<double>> ms(n), first(n), gap(n);
  std::vector<int> inactive(n);
  for (int run = 0; run < o.runs; ++run) {
    // Side by side, each run starting with the next target: a load that comes and goes hits all.
    for (std::size_t k = 0; k < n; ++k) {
      const std::size_t p = (k + static_cast<std::size_t>(run)) % n;
      const ClickTarget& t = targets[p];
      const ClickResult c = ClickOnce(t, focus);
      Line(measure + " run=" + std::to_string(run) + " " + Describe(t, c));
      if (c.ms < 0) {
        error = t.name + ": " + std::to_string(c.events) + " of " + std::to_string(t.keys.size()) +
                " key events arrived";
        return false;
      }
      if (!c.expectedKeys) {
        error = t.name + ": the keys differ from the expected ones";
        return false;
      }
      if (run == 0) continue;  // warm-up
      ms[p].push_back(c.ms);
      first[p].push_back(c.first);
      if (c.gap >= 0) gap[p].push_back(c.gap);
      if (c.inactive) ++inactive[p];
    }
  }
  SetCursorPos(0, 0);
  for (std::size_t p = 0; p < n; ++p) {
    const std::string key = measure + "_" + targets[p].name;
    Figures(key, ms[p]);
    Fact(key + "_first_median", Ms(Median(first[p])));
    Fact(key + "_gap_median", Ms(Median(gap[p])));
    Fact(key + "_events", std::to_string(targets[p].keys.size()));
    Fact(key + "_inactive", std::to_string(inactive[p]) + "/" + std::to_string(ms[p].size()));
  }
  Fact(measure + "_runs", std::to_string(o.runs - 1));
  Fact(measure + "_ratio", Ms(Median(ms[0]) / Median(ms[2])));
  Fact(measure + "_1key_ratio", Ms(Median(ms[1]) / Median(ms[2])));
  if (!panel.Close() || !bare.Close()) Line("warning=a program did not end on WM_CLOSE");
  return true;
}

// This program's environment with one variable set to a new value, as a block for CreateProcess.
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

std::string ReadFrom(const std::wstring& path, LONGLONG offset) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string text;
  LARGE_INTEGER at{};
  at.QuadPart = offset;
  if (SetFilePointerEx(file, at, nullptr, FILE_BEGIN)) {
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) text.append(chunk, got);
  }
  CloseHandle(file);
  return text;
}

LONGLONG FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The relay trace's calls of SendInput: `Call user32.SendInput(0000000c,...)`, the first argument
// being how many events the call hands over.
struct Calls {
  int calls = 0;
  unsigned long events = 0;
};

Calls SendInputCalls(const std::string& trace) {
  constexpr std::string_view kCall = "Call user32.SendInput(";
  Calls found;
  for (std::size_t at = trace.find(kCall); at != std::string::npos; at = trace.find(kCall, at + 1)) {
    ++found.calls;
    found.events += std::strtoul(trace.c_str() + at + kCall.size(), nullptr, 16);
  }
  return found;
}

// The relay channel traces only the functions this key names; without it, +relay traces every
// call of every built-in DLL. Set for the measure's children and put back afterwards.
class RelayOnlySendInput {
 public:
  RelayOnlySendInput() {
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\Debug", 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                    nullptr, &key_, nullptr);
    if (!key_) return;
    wchar_t old[1024] = {};
    DWORD size = sizeof old - sizeof(wchar_t);
    DWORD type = 0;
    had_ = RegQueryValueExW(key_, L"RelayInclude", nullptr, &type, reinterpret_cast<BYTE*>(old), &size) ==
               ERROR_SUCCESS && type == REG_SZ;
    if (had_) old_ = old;
    constexpr wchar_t kOnly[] = L"user32.SendInput";
    set_ = RegSetValueExW(key_, L"RelayInclude", 0, REG_SZ, reinterpret_cast<const BYTE*>(kOnly), sizeof kOnly) ==
           ERROR_SUCCESS;
  }
  RelayOnlySendInput(const RelayOnlySendInput&) = delete;
  RelayOnlySendInput& operator=(const RelayOnlySendInput&) = delete;
  ~RelayOnlySendInput() {
    if (!key_) return;
    if (had_) {
      RegSetValueExW(key_, L"RelayInclude", 0, REG_SZ, reinterpret_cast<const BYTE*>(old_.c_str()),
                     static_cast<DWORD>((old_.size() + 1) * sizeof(wchar_t)));
    } else {
      RegDeleteValueW(key_, L"RelayInclude");
    }
    RegCloseKey(key_);
  }
  bool ok() const { return set_; }

 private:
  HKEY key_ = nullptr;
  bool had_ = false;
  bool set_ = false;
  std::wstring old_;
};

bool MeasureSendInput(const Options& o, std::string& error) {
  if (o.trace.empty()) {
    error = "sendinput needs --trace <file>, the file this program's standard error goes to";
    return false;
  }
  RelayOnlySendInput relay;
  if (!relay.ok()) {
    error = "could not limit the relay trace to user32.SendInput";
    return false;
  }
  const std::wstring environment = EnvironmentWith(L"WINEDEBUG", L"+relay");
  Running panel, bare;
  std::vector<ClickTarget> targets;
  if (!StartForClicks(o, panel, bare, error, environment.c_str()) ||
      !AddTarget(targets, "panel", panel, kPanelButtonText, {'I', 'L', 'H', 'I', 'H', 'K'}, error) ||
      !AddTarget(targets, "bare", bare, L"", {kBareButtonKey}, error)) {
    return false;
  }
  FocusWindow focus;
  KeyboardWatch watch;
  if (!watch.ok() || !focus.TakeKeyboard()) {
    error = "no keyboard hook or no foreground for the observer";
    return false;
  }
  // A check of the method: the trace must be there at all, or every count would read 0.
  bool traced = false;
  for (const ClickTarget& t : targets) {
    const LONGLONG before = FileSize(o.trace);
    const ClickResult c = ClickOnce(t, focus);
    PumpFor(200);  // the trace is written as the call is made; give slow writers a moment
    const Calls calls = SendInputCalls(ReadFrom(o.trace, std::max<LONGLONG>(before, 0)));
    Line("sendinput " + Describe(t, c));
    Fact("sendinput_" + t.name + "_calls", std::to_string(calls.calls));
    Fact("sendinput_" + t.name + "_events", std::to_string(calls.events));
    traced = traced || calls.calls > 0;
  }
  SetCursorPos(0, 0);
  if (!panel.Close() || !bare.Close()) Line("warning=a program did not end on WM_CLOSE");
  if (!traced) {
    error = "no SendInput call in the relay trace: is --trace where this program's standard error goes?";
    return false;
  }
  return true;
}

bool MeasureSize(const Options& o, std::string& error) {
  const std::pair<const char*, const std::wstring*> files[] = {
      {"panel", &o.panel.exe}, {"bare_window", &o.bareWindow.exe}, {"bare_button", &o.bareButton.exe}};
  for (const auto& [name, path] : files) {
    const LONGLONG size = FileSize(*path);
    if (size < 0) {
      error = "no file " + Utf8(*path);
      return false;
    }
    Fact(std::string("size_") + name, std::to_string(size));
  }
  return true;
}

constexpr char kUsage[] =
    "usage: yg_bench.exe [--runs <n>] [--poll-ms <ms>] [--trace <file>] --panel <exe>\n"
    "                    --bare-window <exe> --bare-button <exe>\n"
    "                    startup|click|clickqueue|sendinput|size...\n";

int Usage() {
  yg::tools::Usage(kUsage);
  return kExitUsage;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == L"--runs" && hasValue) {
      o.runs = _wtoi(argv[++i]);
    } else if (arg == L"--poll-ms" && hasValue) {
      g_pollMs = static_cast<DWORD>(_wtoi(argv[++i]));
    } else if (arg == L"--trace" && hasValue) {
      o.trace = argv[++i];
    } else if (arg == L"--panel" && hasValue) {
      o.panel.exe = argv[++i];
    } else if (arg == L"--bare-window" && hasValue) {
      o.bareWindow.exe = argv[++i];
    } else if (arg == L"--bare-button" && hasValue) {
      o.bareButton.exe = argv[++i];
    } else if (arg == L"startup" || arg == L"click" || arg == L"clickqueue" || arg == L"sendinput" ||
               arg == L"size") {
      o.measures.push_back(arg);
    } else {
      return Usage();
    }
  }
  if (o.runs < 2 || g_pollMs < 1 || o.measures.empty() || o.panel.exe.empty() || o.bareWindow.exe.empty() ||
      o.bareButton.exe.empty()) {
    return Usage();
  }
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  g_ticksPerMs = static_cast<double>(frequency.QuadPart) / 1000;
  yg::tools::BecomeDpiAware();

  for (const std::wstring& measure : o.measures) {
    std::string error;
    bool ok = false;
    if (measure == L"startup") ok = MeasureStartup(o, error);
    if (measure == L"click") ok = MeasureClick(o, true, error);
    if (measure == L"clickqueue") ok = MeasureClick(o, false, error);
    if (measure == L"sendinput") ok = MeasureSendInput(o, error);
    if (measure == L"size") ok = MeasureSize(o, error);
    if (!ok) {
      Fact("error", Utf8(measure) + ": " + error);
      return kExitFailed;
    }
  }
  return 0;
}
