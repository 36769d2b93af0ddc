// yg_bench: times the panel against reference programs from inside the window system, with the
// performance counter, and prints one fact a line (key=value, UTF-8).
//
//   yg_bench.exe [--runs <n>] [--poll-ms <ms>] [--trace <file>] [--hook <dll>]
//                [--idle-seconds <s>] [--moving-seconds <s>] --panel <exe> --bare-window <exe>
//                --bare-button <exe> [--reference <exe>] <measure>...
//
// Measures, run in the order given:
//   startup     starts the panel, yg_bare_window and (with --reference) yg_ref_panel in turn, <n>
//               times each (default 15; the first run of each is a warm-up and is dropped), and
//               times CreateProcess to the moment its top-level window is visible at its final
//               size (what the warm-up run settled at), polling for it every <ms> (default 1; a
//               slower poll shows that the polling does not slow the program down). Each run is
//               closed with WM_CLOSE and waited for before the next.
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
//   idle        starts the panel, yg_bare_window and (with --reference) yg_ref_panel side by
//               side, hooks yg_probe_hook.dll (--hook) onto each, and with the pointer away from
//               all for <s> seconds (default 60) takes the processor time each used, the messages
//               its thread took (timers, paints, input) and its wake-ups; then the same for <s>
//               seconds (default 10) of the pointer moving across each window in turn, over its
//               bare area and its keys, a move every 10 ms.
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
// startup_ready_ratio, startup_reference_ratio and startup_reference_ready_ratio
// (panel/reference); <m>_<t>_{median,min,max,first_median,gap_median,events,inactive},
// <m>_ratio (panel/bare), <m>_1key_ratio (panel_1key/bare) for <m> click and clickqueue;
// sendinput_<t>_{calls,events}; idle_<t>_{cpu_ms,messages,timers,paints,input,sent,wakeups}
// and moving_<t>_{cpu_ms,messages,moves}, each with _cpu_from and _wakeups_are; size_{panel,bare_window,bare_button}. Targets:
// panel, panel_1key (its 。 key), bare, reference.
// Exit status: 0 done, 1 bad usage, 2 a measure could not be taken (error=<what> says why).
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/bench/key_watch_win.h"
#include "tests/bench/panel_map_win.h"
#include "tests/bench/probe_client_win.h"
#include "tests/bench/process_figures_win.h"
#include "tests/bench/tool_win.h"
#include "tests/e2e/console_tool.h"

namespace {

using namespace yg::tools;

constexpr int kExitUsage = 1;
constexpr int kExitFailed = 2;

constexpr wchar_t kPanelClass[] = L"YgKeyPanel";
constexpr wchar_t kBareWindowClass[] = L"YgBareWindow";
constexpr wchar_t kBareButtonClass[] = L"YgBareButton";
constexpr wchar_t kReferenceClass[] = L"YgRefPanel";
// The panel's buttons that are clicked: 虫 types its stroke code (6 keys, 12 events), 。 one
// key (VK_OEM_PERIOD), like the bare button (I).
constexpr wchar_t kPanelButtonText[] = L"虫";
constexpr wchar_t kPanelOneKeyText[] = L"。";
constexpr DWORD kPanelOneKey = VK_OEM_PERIOD;
constexpr DWORD kBareButtonKey = 'I';
// The panel's child windows: the 97 controls of the layout table and the edit inside the combo box.
constexpr int kPanelWindows = 98;

// A window counts as settled once its rectangle has not changed for this long.
constexpr double kSettleMs = 1000;
constexpr double kStartTimeoutMs = 30000;
constexpr double kKeysTimeoutMs = 3000;
// After the last expected key: time for any unexpected one to show.
constexpr double kAfterKeysMs = 150;
// After moving the pointer onto a button: time for the hover to be handled.
constexpr double kHoverMs = 80;

DWORD g_pollMs = 1;

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

SIZE SizeOf(const RECT& r) { return {r.right - r.left, r.bottom - r.top}; }

struct StartTimes {
  double exists = -1;  // the top-level window was there
  double built = -1;   // ... with all its descendants
  double shown = -1;   // ... and visible
  double sized = -1;   // ... and at its final size
  double ready = -1;   // its thread answered a message: start-up work done, message loop running
  double painted = -1; // nothing left to paint, and the last paint ended
  bool foreground = false;  // when sized
};

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
  std::wstring trace, hook;
  double idleSeconds = 60, movingSeconds = 10;
  Program panel{"panel", {}, kPanelClass};
  Program bareWindow{"bare", {}, kBareWindowClass};
  Program bareButton{"bare", {}, kBareButtonClass};
  Program reference{"reference", {}, kReferenceClass};
  std::vector<std::wstring> measures;
};

bool MeasureStartup(const Options& o, std::string& error) {
  std::vector<const Program*> programs{&o.panel, &o.bareWindow};
  if (!o.reference.exe.empty()) programs.push_back(&o.reference);
  const std::size_t n = programs.size();
  std::vector<Settled> settled(n);
  // Warm-up: the first start of each loads what later ones find cached, and shows what the
  // window settles at.
  for (std::size_t p = 0; p < n; ++p) {
    Running running;
    StartTimes times;
    if (!StartAndWatch(*programs[p], settled[p], running, times, error)) return false;
    const std::string key = "startup_" + programs[p]->name;
    Fact(key + "_final_size", std::to_string(settled[p].size.cx) + "x" + std::to_string(settled[p].size.cy));
    Fact(key + "_controls", std::to_string(settled[p].descendants));
    if (!running.Close()) Line("warning=" + programs[p]->name + " did not end on WM_CLOSE");
    Sleep(200);
  }
  std::vector<std::vector<double>> exists(n), built(n), shown(n), sized(n), ready(n), painted(n);
  for (int run = 1; run < o.runs; ++run) {
    // Side by side, each run starting with the next program: a load that comes and goes hits all.
    for (std::size_t k = 0; k < n; ++k) {
      const std::size_t p = (k + static_cast<std::size_t>(run)) % n;
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
      Line("startup run=" + std::to_string(run) + " target=" + programs[p]->name + " exists=" + Fixed(times.exists) +
           " built=" + Fixed(times.built) + " shown=" + Fixed(times.shown) + " sized=" + Fixed(times.sized) +
           " ready=" + Fixed(times.ready) + " painted=" + Fixed(times.painted) +
           " foreground=" + (times.foreground ? "1" : "0"));
      Sleep(200);
    }
  }
  for (std::size_t p = 0; p < n; ++p) {
    const std::string key = "startup_" + programs[p]->name;
    Figures(key + "_exists", exists[p]);
    Figures(key + "_built", built[p]);
    Figures(key + "_shown", shown[p]);
    Figures(key + "_sized", sized[p]);
    Figures(key + "_ready", ready[p]);
    Figures(key + "_painted", painted[p]);
  }
  Fact("startup_runs", std::to_string(o.runs - 1));
  Fact("startup_ratio", Fixed(Median(sized[0]) / Median(sized[1])));
  Fact("startup_ready_ratio", Fixed(Median(ready[0]) / Median(ready[1])));
  if (n > 2) {
    Fact("startup_reference_ratio", Fixed(Median(sized[0]) / Median(sized[2])));
    Fact("startup_reference_ready_ratio", Fixed(Median(ready[0]) / Median(ready[2])));
  }
  return true;
}

// ---- idle cost ----

struct Cost {
  double cpuMs = 0;
  long long wakeups = -1;
  probe::Counts counts{};
};

class Watched {
 public:
  Watched(const Program& program) : program_(program) {}
  bool Start(const std::wstring& hook, int controls, std::string& error) {
    if (!running_.Start(program_) || !WaitUntilReady(running_, controls, kStartTimeoutMs, error)) {
      if (error.empty()) error = "CreateProcess " + program_.name;
      error = program_.name + ": " + error;
      return false;
    }
    unixPid_ = UnixPidOf(program_.exe);
    return probe_.Attach(hook, running_.Window(), error);
  }
  Cost Now() {
    Cost c;
    c.cpuMs = CpuMsOf(running_.Process(), unixPid_);
    const Wakeups w = WakeupsOf(running_.Pid(), unixPid_);
    c.wakeups = w.count;
    wakeupsHow_ = w.how;
    if (const auto counts = probe_.CountsOf(running_.Pid())) c.counts = *counts;
    return c;
  }
  void Report(const std::string& key, const Cost& from, const Cost& to) const {
    Fact(key + "_cpu_ms", Fixed(to.cpuMs - from.cpuMs, 0));
    Fact(key + "_cpu_from", unixPid_ ? "its Unix process" : "GetProcessTimes");
    Fact(key + "_messages", std::to_string(to.counts.retrieved - from.counts.retrieved));
    Fact(key + "_timers", std::to_string(to.counts.timers - from.counts.timers));
    Fact(key + "_paints", std::to_string(to.counts.paints - from.counts.paints));
    Fact(key + "_input", std::to_string(to.counts.input - from.counts.input));
    Fact(key + "_sent", std::to_string(to.counts.sent - from.counts.sent));
    if (from.wakeups >= 0 && to.wakeups >= 0) {
      Fact(key + "_wakeups", std::to_string(to.wakeups - from.wakeups));
      Fact(key + "_wakeups_are", wakeupsHow_);
    }
  }
  HWND Window() { return running_.Window(); }
  bool Close() { return running_.Close(); }

 private:
  const Program& program_;
  Running running_;
  ProbeHook probe_;
  long unixPid_ = 0;  // under Wine
  std::string wakeupsHow_;
};

// A pointer path over the whole window, its bare area and its keys: rows 6 pixels apart, crossed
// left to right and back, one move every 10 ms until the time is up. Returns the moves made.
long MovePointerAcross(HWND window, double seconds) {
  RECT r{};
  GetWindowRect(window, &r);
  const double end = NowMs() + seconds * 1000;
  long moves = 0;
  int y = r.top + 2, x = r.left + 2, step = 8;
  while (NowMs() < end) {
    INPUT in = MouseAt({x, y}, 0);
    SendInput(1, &in, sizeof in);
    ++moves;
    x += step;
    if (x >= r.right - 2 || x <= r.left + 2) {
      step = -step;
      x += step;
      y += 6;
      if (y >= r.bottom - 2) y = r.top + 2;
    }
    Sleep(10);
  }
  return moves;
}

bool MeasureIdle(const Options& o, std::string& error) {
  if (o.hook.empty()) {
    error = "idle needs --hook <yg_probe_hook.dll>";
    return false;
  }
  Watched panel(o.panel), bare(o.bareWindow), reference(o.reference);
  std::vector<std::pair<Watched*, std::string>> watched{{&panel, "panel"}, {&bare, "bare"}};
  if (!o.reference.exe.empty()) watched.emplace_back(&reference, "reference");
  for (auto& [w, name] : watched) {
    if (!w->Start(o.hook, name == "bare" ? 0 : kPanelWindows, error)) return false;
  }
  // The pointer away from all, in the screen's top right corner.
  INPUT away = MouseAt({GetSystemMetrics(SM_CXSCREEN) - 1, 0}, 0);
  SendInput(1, &away, sizeof away);
  Sleep(2000);  // whatever start-up left behind settles
  std::vector<Cost> from;
  for (auto& [w, name] : watched) from.push_back(w->Now());
  Sleep(static_cast<DWORD>(o.idleSeconds * 1000));
  for (std::size_t i = 0; i < watched.size(); ++i) watched[i].first->Report("idle_" + watched[i].second, from[i], watched[i].first->Now());
  Fact("idle_seconds", Fixed(o.idleSeconds, 0));
  // One at a time, each on top while the pointer crosses it (the panel and the reference share
  // a place on the screen).
  for (auto& [w, name] : watched) {
    SetWindowPos(w->Window(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Sleep(500);
    const Cost start = w->Now();
    const long moves = MovePointerAcross(w->Window(), o.movingSeconds);
    SendInput(1, &away, sizeof away);
    Sleep(500);
    w->Report("moving_" + name, start, w->Now());
    Fact("moving_" + name + "_moves", std::to_string(moves));
  }
  Fact("moving_seconds", Fixed(o.movingSeconds, 0));
  for (auto& [w, name] : watched) {
    if (!w->Close()) Line("warning=" + name + " did not end on WM_CLOSE");
  }
  return true;
}

struct Button {
  std::wstring_view text;  // empty: the first push button
  HWND hwnd = nullptr;
};

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

ClickResult ClickOnce(const ClickTarget& t, KeyWatch& watch) {
  ClickResult result;
  RECT r{};
  GetWindowRect(t.button, &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  PumpFor(kHoverMs);
  watch.TakeKeyboard();

  INPUT click[2]{};
  click[0].type = INPUT_MOUSE;
  click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  click[1].type = INPUT_MOUSE;
  click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  watch.Clear();
  watch.Record(true);
  SendInput(2, click, sizeof(INPUT));
  const double injected = NowMs();
  const std::size_t expected = t.keys.size();
  const std::vector<SeenKey>& keys = watch.Keys();
  const bool all = PumpUntil(injected + kKeysTimeoutMs, [&] { return keys.size() >= expected; });
  PumpFor(kAfterKeysMs);
  watch.Record(false);

  result.events = keys.size();
  if (all) {
    result.ms = keys[expected - 1].at - injected;
    result.first = keys[0].at - injected;
    if (expected > 1) result.gap = (keys[expected - 1].at - keys[0].at) / static_cast<double>(expected - 1);
  }
  result.expectedKeys = keys.size() == expected;
  for (std::size_t i = 0; result.expectedKeys && i < expected; ++i) {
    const SeenKey& k = keys[i];
    result.expectedKeys = k.vk == t.keys[i].first && k.up == t.keys[i].second && k.injected;
  }
  result.inactive = watch.HasKeyboard() && watch.QueuedKeys() == static_cast<int>(expected);
  return result;
}

std::string Describe(const ClickTarget& t, const ClickResult& c) {
  return "target=" + t.name + " ms=" + Fixed(c.ms) + " first=" + Fixed(c.first) + " gap=" + Fixed(c.gap) +
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
  KeyWatch watch(hook ? KeyWatch::Source::Hook : KeyWatch::Source::Queue, L"yg_bench");
  if (!watch.ok()) {
    error = "SetWindowsHookExW " + std::to_string(GetLastError());
    return false;
  }
  if (!watch.TakeKeyboard()) {
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
      const ClickResult c = ClickOnce(t, watch);
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
    Fact(key + "_first_median", Fixed(Median(first[p])));
    Fact(key + "_gap_median", Fixed(Median(gap[p])));
    Fact(key + "_events", std::to_string(targets[p].keys.size()));
    Fact(key + "_inactive", std::to_string(inactive[p]) + "/" + std::to_string(ms[p].size()));
  }
  Fact(measure + "_runs", std::to_string(o.runs - 1));
  Fact(measure + "_ratio", Fixed(Median(ms[0]) / Median(ms[2])));
  Fact(measure + "_1key_ratio", Fixed(Median(ms[1]) / Median(ms[2])));
  if (!panel.Close() || !bare.Close()) Line("warning=a program did not end on WM_CLOSE");
  return true;
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
  KeyWatch watch(KeyWatch::Source::Hook, L"yg_bench");
  if (!watch.ok() || !watch.TakeKeyboard()) {
    error = "no keyboard hook or no foreground for the observer";
    return false;
  }
  // A check of the method: the trace must be there at all, or every count would read 0.
  bool traced = false;
  for (const ClickTarget& t : targets) {
    const LONGLONG before = FileSize(o.trace);
    const ClickResult c = ClickOnce(t, watch);
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
    "usage: yg_bench.exe [--runs <n>] [--poll-ms <ms>] [--trace <file>] [--hook <dll>]\n"
    "                    [--idle-seconds <s>] [--moving-seconds <s>] --panel <exe>\n"
    "                    --bare-window <exe> --bare-button <exe> [--reference <exe>]\n"
    "                    startup|click|clickqueue|sendinput|idle|size...\n";

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
    } else if (arg == L"--reference" && hasValue) {
      o.reference.exe = argv[++i];
    } else if (arg == L"--hook" && hasValue) {
      o.hook = argv[++i];
    } else if (arg == L"--idle-seconds" && hasValue) {
      o.idleSeconds = _wtof(argv[++i]);
    } else if (arg == L"--moving-seconds" && hasValue) {
      o.movingSeconds = _wtof(argv[++i]);
    } else if (arg == L"startup" || arg == L"click" || arg == L"clickqueue" || arg == L"sendinput" ||
               arg == L"idle" || arg == L"size") {
      o.measures.push_back(arg);
    } else {
      return Usage();
    }
  }
  if (o.runs < 2 || g_pollMs < 1 || o.measures.empty() || o.panel.exe.empty() || o.bareWindow.exe.empty() ||
      o.bareButton.exe.empty()) {
    return Usage();
  }
  BecomeDpiAware();

  for (const std::wstring& measure : o.measures) {
    std::string error;
    bool ok = false;
    if (measure == L"startup") ok = MeasureStartup(o, error);
    if (measure == L"click") ok = MeasureClick(o, true, error);
    if (measure == L"clickqueue") ok = MeasureClick(o, false, error);
    if (measure == L"sendinput") ok = MeasureSendInput(o, error);
    if (measure == L"idle") ok = MeasureIdle(o, error);
    if (measure == L"size") ok = MeasureSize(o, error);
    if (!ok) {
      Fact("error", Utf8(measure) + ": " + error);
      return kExitFailed;
    }
  }
  return 0;
}
