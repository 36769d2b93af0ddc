// yg_soak: does the panel hold up over hours of use and against a storm of starts? Prints one fact
// a line (key=value, UTF-8) and fails with exit status 2 when something did not hold.
//
//   yg_soak.exe soak --panel <exe> --expected <expected_clicks.txt> [--reference <exe>]
//               [--clicks 10000] [--switches 200] [--drags 100] [--help 50] [--sample 500]
//               [--settle 1000] [--slack 8] [--percent 1] [--seed 1]
//   yg_soak.exe storm --panel <exe> [--copies 20] [--rounds 10]
//
// soak: starts the panel, takes the foreground with a window of its own, as the user's program,
// and clicks with SendInput: <clicks> clicks in all, at random (seeded) on whatever control the
// panel shows at that moment (in compact mode the radicals and a few punctuation keys are gone),
// <switches> of them on the mode switch and <help> on the help button (the viewer is closed again
// each time), with <drags> drags of the panel by a bare spot in between; one of each kind falls
// in the first <settle> clicks. After every click it waits for the click's keys at its low-level
// keyboard hook and checks that every key event so far is the one expected_clicks.txt says, in
// order, and that its window kept the keyboard. Every <sample> clicks it samples the panel's GDI
// and USER objects, private bytes and working set. It holds when nothing failed, no message box
// appeared, and from the first sample at or after <settle> clicks on, the object counts stay
// within <slack> of that sample and the private bytes within <percent> %. With --reference it
// then gives the reference program as many clicks on its controls and reports the memory of
// both, after start-up and after the clicks.
//
// storm: starts <copies> copies of the panel at the same moment (made suspended, then let go
// together), <rounds> times. Holds when each time exactly one panel appears, the other copies end
// by themselves with exit code 0, no copy shows a message box, and the one panel ends with exit
// code 0 when closed.
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "tests/bench/key_watch_win.h"
#include "tests/bench/panel_map_win.h"
#include "tests/bench/process_figures_win.h"
#include "tests/bench/soak_schedule.h"
#include "tests/bench/steadiness.h"
#include "tests/bench/tool_win.h"
#include "tests/e2e/console_tool.h"

namespace {

using namespace yg::tools;

constexpr int kExitUsage = 1;
constexpr int kExitFailed = 2;

constexpr wchar_t kPanelClass[] = L"YgKeyPanel";
constexpr wchar_t kReferenceClass[] = L"YgRefPanel";
constexpr wchar_t kHelpViewerClass[] = L"HH Parent";
// The panel's child windows: the 97 controls of the layout table and the edit inside the combo box.
constexpr int kPanelWindows = 98;
constexpr double kStartTimeoutMs = 60000;
constexpr double kKeysTimeoutMs = 5000;
constexpr double kViewerTimeoutMs = 30000;

struct Options {
  std::wstring panel, expected, reference;
  long clicks = 10000, switches = 200, drags = 100, help = 50, sample = 500, settle = 1000, slack = 8;
  double percent = 1;
  unsigned seed = 1;
  int copies = 20, rounds = 10;
};

// A message box's caption and the text it shows, in its static control.
std::string BoxText(HWND box) {
  const HWND text = FindWindowExW(box, nullptr, L"Static", nullptr);
  return Utf8(TextOf(box)) + ": " + (text ? Utf8(TextOf(text)) : std::string());
}

// The names of the programs running now, to tell a viewer that never started from one that
// started without a window (or crashed into the debugger).
std::string ProgramsRunning() {
  std::string names;
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    names += (names.empty() ? "" : " ") + Utf8(entry.szExeFile);
  }
  CloseHandle(snapshot);
  return names;
}

// ---- the soak ----

class Soak {
 public:
  Soak(const Options& o, KeysByControl expected) : o_(o), expected_(std::move(expected)), rng_(o.seed) {}

  bool Run(std::string& error);

 private:
  bool StartPanel(std::string& error);
  bool Click(long i, Action action, std::string& error);
  bool ClickControl(const PanelControl& c, POINT at, std::string& error);
  bool SwitchMode(std::string& error);
  bool OpenAndCloseHelp(POINT at, std::string& error);
  bool Drag(std::string& error);
  bool WaitForKeys(const std::string& what, std::string& error);
  bool CheckPanel(std::string& error);
  void TakeSample(long clicks);
  const PanelControl* Named(const std::string& name) const;
  const PanelControl* PickShown(POINT& at);
  bool Report(const std::string& error);

  const Options& o_;
  KeysByControl expected_;
  std::mt19937 rng_;
  Running panel_;
  HWND window_ = nullptr;
  std::vector<PanelControl> controls_;
  std::vector<const PanelControl*> clickable_;  // what PickShown last found clickable
  KeyWatch watch_{KeyWatch::Source::Hook, L"yg_soak"};
  std::vector<yg::KeyEvent> stream_;  // every key event expected so far
  std::size_t checked_ = 0;                        // ... of which this many have been compared
  std::vector<Sample> samples_;
  long plainClicks_ = 0, switches_ = 0, helps_ = 0, drags_ = 0;
  long pendingHelp_ = 0;  // help clicks that found the help button hidden, made up when it shows
  std::string last_ = "start-up";  // the last action, for the report
};

bool Soak::StartPanel(std::string& error) {
  if (!panel_.Start({"panel", o_.panel, kPanelClass}) || !WaitUntilReady(panel_, kPanelWindows, kStartTimeoutMs, error)) {
    if (error.empty()) error = "CreateProcess " + std::to_string(GetLastError());
    return false;
  }
  window_ = panel_.Window();
  controls_ = WaitForControls(window_, kStartTimeoutMs);
  if (controls_.size() != yg::LayoutTable().size()) {
    error = "the panel has " + std::to_string(controls_.size()) + " controls of the layout table";
    for (const yg::LayoutRow& row : yg::LayoutTable()) {
      if (std::none_of(controls_.begin(), controls_.end(), [&](const PanelControl& c) { return c.row == &row; })) {
        error += ", not " + yg::ControlName(row.control);
      }
    }
    return false;
  }
  if (!watch_.ok() || !watch_.TakeKeyboard()) {
    error = "no keyboard hook, or no foreground for the focus window";
    return false;
  }
  watch_.Record(true);
  return true;
}

const PanelControl* Soak::Named(const std::string& name) const {
  for (const PanelControl& c : controls_) {
    if (c.name == name) return &c;
  }
  return nullptr;
}

// A key-pad control a click on which lands on it now, and where; the mode switch and the help
// button have clicks of their own in the schedule. Which controls can be clicked changes with a
// switch, a drag or a tip only, so it is found again only when the one picked cannot.
const PanelControl* Soak::PickShown(POINT& at) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (attempt > 0 || clickable_.empty()) {
      clickable_.clear();
      for (const PanelControl& c : controls_) {
        if (c.name == "Command2" || c.name == "Cmm2" || !expected_.count(c.name)) continue;
        if (ClickPoint(c.hwnd)) clickable_.push_back(&c);
      }
      if (clickable_.empty()) return nullptr;
    }
    const PanelControl* c = clickable_[std::uniform_int_distribution<std::size_t>(0, clickable_.size() - 1)(rng_)];
    if (const auto point = ClickPoint(c->hwnd)) {
      at = *point;
      return c;
    }
  }
  return nullptr;
}

bool Soak::WaitForKeys(const std::string& what, std::string& error) {
  const std::vector<SeenKey>& keys = watch_.Keys();
  const std::size_t want = stream_.size();
  PumpUntil(NowMs() + kKeysTimeoutMs, [&] { return keys.size() >= want; });
  for (; checked_ < keys.size() && checked_ < want; ++checked_) {
    const yg::KeyEvent seen = keys[checked_].Event();
    const yg::KeyEvent& e = stream_[checked_];
    if (seen != e || !keys[checked_].injected) {
      error = what + ": key event " + std::to_string(checked_) + " is " + yg::testing::Describe({&seen, 1}) +
              (keys[checked_].injected ? "" : " (not injected)") + ", expected " + yg::testing::Describe({&e, 1});
      return false;
    }
  }
  if (keys.size() < want) {
    error = what + ": " + std::to_string(keys.size()) + " of " + std::to_string(want) + " key events arrived";
    return false;
  }
  if (keys.size() > want) {
    error = what + ": " + std::to_string(keys.size() - want) + " key events more than expected";
    return false;
  }
  return true;
}

bool Soak::ClickControl(const PanelControl& c, POINT at, std::string& error) {
  const auto keys = expected_.find(c.name);
  if (keys != expected_.end()) stream_.insert(stream_.end(), keys->second.begin(), keys->second.end());
  if (!ClickAt(at)) {
    error = "SendInput for a click on " + c.name;
    return false;
  }
  return WaitForKeys("click on " + c.name, error);
}

bool Soak::SwitchMode(std::string& error) {
  const PanelControl* toggle = Named("Command2");
  const auto at = toggle ? ClickPoint(toggle->hwnd) : std::nullopt;
  if (!at) {
    error = "the mode switch cannot be clicked";
    return false;
  }
  const std::wstring before = TextOf(toggle->hwnd);
  if (!ClickAt(*at)) return false;
  if (!PumpUntil(NowMs() + kKeysTimeoutMs, [&] { return TextOf(toggle->hwnd) != before; })) {
    error = "the mode switch still reads " + Utf8(before) + " after a click";
    return false;
  }
  ++switches_;
  clickable_.clear();  // other controls show now
  return WaitForKeys("the mode switch", error);
}

bool Soak::OpenAndCloseHelp(POINT at, std::string& error) {
  if (!ClickAt(at)) return false;
  HWND viewer = nullptr;
  PumpUntil(NowMs() + kViewerTimeoutMs, [&] {
    viewer = FindWindowW(kHelpViewerClass, nullptr);
    return (viewer && IsWindowVisible(viewer)) || MessageBoxOf(panel_.Pid());
  });
  if (!viewer) {
    const HWND box = MessageBoxOf(panel_.Pid());
    error = "no help viewer window after a click on the help button" +
            (box ? ", but a message box: " + BoxText(box) : ", processes: " + ProgramsRunning());
    return false;
  }
  DWORD viewerPid = 0;
  GetWindowThreadProcessId(viewer, &viewerPid);
  const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, viewerPid);
  PostMessageW(viewer, WM_CLOSE, 0, 0);
  const bool ended = process && WaitForSingleObject(process, 15000) == WAIT_OBJECT_0;
  if (process) CloseHandle(process);
  if (!ended && FindWindowW(kHelpViewerClass, nullptr)) {
    error = "the help viewer did not close";
    return false;
  }
  ++helps_;
  clickable_.clear();
  // The viewer had the keyboard; the user clicks back into the program.
  if (!watch_.TakeKeyboard()) {
    error = "the focus window did not get the keyboard back after the help viewer";
    return false;
  }
  return WaitForKeys("the help button", error);
}

bool InMoveLoop(HWND window) {
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gui) && (gui.flags & GUI_INMOVESIZE);
}

// A left-button drag by a bare spot, 40 pixels right and 30 up, or back.
bool Soak::Drag(std::string& error) {
  const auto from = BareSpot(window_);
  if (!from) {
    error = "no bare spot to drag the panel by";
    return false;
  }
  const int sign = drags_ % 2 ? -1 : 1;
  const int dx = 40 * sign, dy = -30 * sign;
  RECT before{};
  GetWindowRect(window_, &before);
  const auto move = [&](int x, int y, DWORD flags) {
    INPUT in = MouseAt({x, y}, flags);
    SendInput(1, &in, sizeof in);
    PumpFor(15);
  };
  move(from->x, from->y, MOUSEEVENTF_LEFTDOWN);
  // The motion waits for the panel's move loop, as a hand would: injected motion that came first
  // would be sent to whatever window lies under the pointer then, and the loop would miss the
  // release that ends it.
  if (!PumpUntil(NowMs() + kKeysTimeoutMs, [&] { return InMoveLoop(window_); })) {
    move(from->x, from->y, MOUSEEVENTF_LEFTUP);
    error = "a press on the panel's bare area at (" + std::to_string(from->x) + ", " + std::to_string(from->y) +
            ") started no move loop";
    return false;
  }
  constexpr int kSteps = 5;
  for (int step = 1; step <= kSteps; ++step) move(from->x + dx * step / kSteps, from->y + dy * step / kSteps, 0);
  move(from->x + dx, from->y + dy, MOUSEEVENTF_LEFTUP);
  RECT after{};
  const bool moved = PumpUntil(NowMs() + kKeysTimeoutMs, [&] {
    GetWindowRect(window_, &after);
    return after.left == before.left + dx && after.top == before.top + dy;
  });
  if (!moved) {
    error = "a drag by (" + std::to_string(dx) + ", " + std::to_string(dy) + ") moved the panel by (" +
            std::to_string(after.left - before.left) + ", " + std::to_string(after.top - before.top) + ") from (" +
            std::to_string(from->x) + ", " + std::to_string(from->y) + ") panel at " + std::to_string(before.left) + "," +
            std::to_string(before.top) + "-" + std::to_string(before.right) + "," + std::to_string(before.bottom);
    return false;
  }
  ++drags_;
  clickable_.clear();
  if (!PumpUntil(NowMs() + kKeysTimeoutMs, [&] { return watch_.HasKeyboard(); })) {
    error = "the keyboard did not come back to the focus window after a drag";
    return false;
  }
  return true;
}

bool Soak::CheckPanel(std::string& error) {
  if (panel_.Exited()) {
    error = "the panel ended (exit code " + std::to_string(panel_.ExitCode()) + ")";
    return false;
  }
  if (const HWND box = MessageBoxOf(panel_.Pid())) {
    error = "the panel shows a message box: " + BoxText(box);
    return false;
  }
  if (!watch_.HasKeyboard()) {
    error = "the focus window lost the keyboard";
    return false;
  }
  return true;
}

void Soak::TakeSample(long clicks) {
  const GuiObjects gui = GuiObjectsOf(panel_.Process(), panel_.Pid());
  const Memory memory = MemoryOf(panel_.Process());
  samples_.push_back({clicks, gui.gdi, gui.user, memory.privateBytes, memory.workingSet});
  Line("sample clicks=" + std::to_string(clicks) + " gdi=" + std::to_string(gui.gdi) + " user=" +
       std::to_string(gui.user) + " private=" + Fixed(memory.privateBytes, 0) + " working_set=" +
       Fixed(memory.workingSet, 0) + " keys=" + std::to_string(stream_.size()));
  if (samples_.size() == 1) {
    Fact("soak_objects_counted_by", gui.how);
    Fact("soak_private_bytes_from", memory.how);
  }
}

bool Soak::Click(long i, Action action, std::string& error) {
  if (action == Action::Switch) {
    last_ = "the mode switch";
    return SwitchMode(error);
  }
  if (action == Action::Help || pendingHelp_ > 0) {
    // In compact mode the help button lies below the panel's edge: the click goes to another
    // control, and the help click comes once the panel is expanded again.
    const PanelControl* help = Named("Cmm2");
    if (const auto at = help ? ClickPoint(help->hwnd) : std::nullopt) {
      if (action != Action::Help) --pendingHelp_;
      last_ = "the help button";
      return OpenAndCloseHelp(*at, error);
    }
    if (action == Action::Help) ++pendingHelp_;
  }
  POINT at{};
  const PanelControl* c = PickShown(at);
  if (!c) {
    error = "no control to click at click " + std::to_string(i);
    return false;
  }
  last_ = "a click on " + c->name;
  ++plainClicks_;
  return ClickControl(*c, at, error);
}

bool Soak::Run(std::string& error) {
  const Schedule schedule = MakeSchedule({o_.clicks, o_.switches, o_.help, o_.drags, o_.settle}, rng_);
  if (!StartPanel(error)) return Report("start-up: " + error);
  const Memory atStart = MemoryOf(panel_.Process());
  Fact("soak_memory_start_private", Fixed(atStart.privateBytes, 0));
  Fact("soak_memory_start_working_set", Fixed(atStart.workingSet, 0));
  const double start = NowMs();
  TakeSample(0);
  for (long i = 0; i < o_.clicks; ++i) {
    const auto at = static_cast<std::size_t>(i);
    const std::string before = last_;
    bool ok = CheckPanel(error);
    if (ok && schedule.dragBefore[at]) {
      last_ = "a drag";
      ok = Drag(error) && CheckPanel(error);
    }
    if (!ok || !Click(i, schedule.clicks[at], error)) {
      error = "at click " + std::to_string(i + 1) + " (" + last_ + ", after " + before + "): " + error;
      return Report(error);
    }
    if ((i + 1) % o_.sample == 0) TakeSample(i + 1);
  }
  PumpFor(300);  // any key beyond the expected ones has time to show
  if (!WaitForKeys("the end", error) || !CheckPanel(error)) return Report(error);
  if (watch_.QueuedKeys() != static_cast<int>(stream_.size())) {
    error = std::to_string(watch_.QueuedKeys()) + " key messages reached the focus window, not " +
            std::to_string(stream_.size());
    return Report(error);
  }
  Fact("soak_seconds", Fixed((NowMs() - start) / 1000, 1));
  const Memory atEnd = MemoryOf(panel_.Process());
  Fact("soak_memory_end_private", Fixed(atEnd.privateBytes, 0));
  Fact("soak_memory_end_working_set", Fixed(atEnd.workingSet, 0));
  if (!panel_.Close()) {
    error = "the panel did not end on WM_CLOSE";
    return Report(error);
  }
  return Report("");
}

bool Soak::Report(const std::string& error) {
  Fact("soak_clicks", std::to_string(plainClicks_ + switches_ + helps_));
  Fact("soak_switches", std::to_string(switches_));
  Fact("soak_help", std::to_string(helps_));
  Fact("soak_help_not_made_up", std::to_string(pendingHelp_));
  Fact("soak_drags", std::to_string(drags_));
  Fact("soak_key_events", std::to_string(stream_.size()));
  const Steadiness s = Judge(samples_, {o_.settle, o_.slack, o_.percent});
  Fact("soak_gdi_drift", std::to_string(s.gdiDrift));
  Fact("soak_user_drift", std::to_string(s.userDrift));
  Fact("soak_private_drift_percent", Fixed(s.privateDriftPercent, 3));
  if (!samples_.empty()) {
    Fact("soak_gdi_last", std::to_string(samples_.back().gdi));
    Fact("soak_user_last", std::to_string(samples_.back().user));
  }
  Fact("soak_slack", std::to_string(o_.slack));
  Fact("soak_percent", Fixed(o_.percent, 1));
  Fact("soak_steady", s.held ? "1" : "0");
  if (!error.empty()) {
    Fact("error", "soak " + error);
    return false;
  }
  if (!s.held) {
    Fact("error", "soak not steady " + s.why);
    return false;
  }
  return true;
}

// ---- the reference, clicked as often, for its memory ----

bool ClickReference(const Options& o, std::string& error) {
  Running reference;
  if (!reference.Start({"reference", o.reference, kReferenceClass}) ||
      !WaitUntilReady(reference, kPanelWindows, kStartTimeoutMs, error)) {
    if (error.empty()) error = "CreateProcess reference " + std::to_string(GetLastError());
    return false;
  }
  PumpFor(1000);
  const Memory start = MemoryOf(reference.Process());
  Fact("reference_memory_start_private", Fixed(start.privateBytes, 0));
  Fact("reference_memory_start_working_set", Fixed(start.workingSet, 0));
  std::vector<POINT> points;
  for (const PanelControl& c : WaitForControls(reference.Window(), kStartTimeoutMs)) {
    if (c.row->kind != yg::ControlKind::Button) continue;
    if (const auto at = ClickPoint(c.hwnd)) points.push_back(*at);
  }
  if (points.empty()) {
    error = "no button of the reference can be clicked";
    return false;
  }
  std::mt19937 rng(o.seed);
  for (long i = 0; i < o.clicks; ++i) {
    ClickAt(points[std::uniform_int_distribution<std::size_t>(0, points.size() - 1)(rng)]);
    // Paced as the panel was: each click handled before the next.
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(reference.Window(), WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer);
    PumpFor(1);
  }
  PumpFor(1000);
  const Memory end = MemoryOf(reference.Process());
  Fact("reference_clicks", std::to_string(o.clicks));
  Fact("reference_memory_end_private", Fixed(end.privateBytes, 0));
  Fact("reference_memory_end_working_set", Fixed(end.workingSet, 0));
  reference.Close();
  return true;
}

// ---- the storm ----

// Panels of any process: more than one at a time breaks the single-copy rule.
int PanelsShown() {
  int count = 0;
  for (HWND w = FindWindowExW(nullptr, nullptr, kPanelClass, nullptr); w;
       w = FindWindowExW(nullptr, w, kPanelClass, nullptr)) {
    ++count;
  }
  return count;
}

bool StormRound(const Options& o, int round, std::string& error) {
  std::vector<Running> copies(static_cast<std::size_t>(o.copies));
  for (Running& c : copies) {
    if (!c.Start({"panel", o.panel, kPanelClass}, nullptr, true)) {
      error = "CreateProcess " + std::to_string(GetLastError());
      return false;
    }
  }
  const double start = NowMs();
  for (Running& c : copies) c.Resume();
  std::vector<double> endedAt(copies.size(), -1);
  int mostPanels = 0;
  const auto ended = [&] {
    int n = 0;
    for (std::size_t i = 0; i < copies.size(); ++i) {
      if (endedAt[i] < 0 && copies[i].Exited()) endedAt[i] = NowMs() - start;
      if (endedAt[i] >= 0) ++n;
    }
    return n;
  };
  std::string box;
  const auto watch = [&] {
    mostPanels = std::max(mostPanels, PanelsShown());
    for (Running& c : copies) {
      if (const HWND b = c.Exited() ? nullptr : MessageBoxOf(c.Pid())) box = Utf8(TextOf(b));
    }
    return box.empty() && ended() >= o.copies - 1 && PanelsShown() == 1;
  };
  const bool settled = PumpUntil(start + kStartTimeoutMs, watch);
  // A moment more for a late second panel to show.
  PumpUntil(NowMs() + 1000, [&] {
    watch();
    return false;
  });
  Running* survivor = nullptr;
  double slowest = 0;
  int cleanExits = 0;
  for (std::size_t i = 0; i < copies.size(); ++i) {
    if (endedAt[i] < 0) {
      survivor = &copies[i];
      continue;
    }
    slowest = std::max(slowest, endedAt[i]);
    if (copies[i].ExitCode() == 0) ++cleanExits;
  }
  const int endedCount = ended();
  DWORD survivorCode = STILL_ACTIVE;
  if (survivor && survivor->Window()) {
    PostMessageW(survivor->Window(), WM_CLOSE, 0, 0);
    if (WaitForSingleObject(survivor->Process(), 15000) == WAIT_OBJECT_0) survivorCode = survivor->ExitCode();
  }
  Line("storm round=" + std::to_string(round) + " copies=" + std::to_string(o.copies) + " most_panels=" +
       std::to_string(mostPanels) + " ended=" + std::to_string(endedCount) + " exit_0=" + std::to_string(cleanExits) +
       " slowest_end_ms=" + Fixed(slowest, 0) + " panel_exit=" + std::to_string(survivorCode) +
       (box.empty() ? "" : " box=" + box));
  Fact("storm_round_" + std::to_string(round) + "_slowest_end_ms", Fixed(slowest, 0));
  if (!box.empty()) error = "a copy showed a message box: " + box;
  else if (!settled || endedCount != o.copies - 1) error = std::to_string(endedCount) + " copies ended, not " + std::to_string(o.copies - 1);
  else if (mostPanels != 1) error = std::to_string(mostPanels) + " panels at once";
  else if (cleanExits != o.copies - 1) error = std::to_string(o.copies - 1 - cleanExits) + " copies ended with a code other than 0";
  else if (survivorCode != 0) error = "the panel ended with " + std::to_string(survivorCode) + " when closed";
  if (!error.empty()) error = "round " + std::to_string(round) + ": " + error;
  return error.empty();
}

bool Storm(const Options& o, std::string& error) {
  if (PanelsShown() != 0) {
    error = "a panel is running already";
    return false;
  }
  for (int round = 1; round <= o.rounds; ++round) {
    if (!StormRound(o, round, error)) return false;
  }
  Fact("storm_rounds", std::to_string(o.rounds));
  Fact("storm_copies", std::to_string(o.copies));
  return true;
}

constexpr char kUsage[] =
    "usage: yg_soak.exe soak --panel <exe> --expected <file> [--reference <exe>] [--clicks N] [--switches N]\n"
    "                   [--drags N] [--help N] [--sample N] [--settle N] [--slack N] [--percent P] [--seed N]\n"
    "       yg_soak.exe storm --panel <exe> [--copies N] [--rounds N]\n";

int Usage() {
  yg::tools::Usage(kUsage);
  return kExitUsage;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return Usage();
  const std::wstring measure = argv[1];
  Options o;
  for (int i = 2; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (i + 1 >= argc) return Usage();
    const wchar_t* value = argv[++i];
    if (arg == L"--panel") o.panel = value;
    else if (arg == L"--expected") o.expected = value;
    else if (arg == L"--reference") o.reference = value;
    else if (arg == L"--clicks") o.clicks = _wtol(value);
    else if (arg == L"--switches") o.switches = _wtol(value);
    else if (arg == L"--drags") o.drags = _wtol(value);
    else if (arg == L"--help") o.help = _wtol(value);
    else if (arg == L"--sample") o.sample = _wtol(value);
    else if (arg == L"--settle") o.settle = _wtol(value);
    else if (arg == L"--slack") o.slack = _wtol(value);
    else if (arg == L"--percent") o.percent = _wtof(value);
    else if (arg == L"--seed") o.seed = static_cast<unsigned>(_wtol(value));
    else if (arg == L"--copies") o.copies = _wtoi(value);
    else if (arg == L"--rounds") o.rounds = _wtoi(value);
    else return Usage();
  }
  if (o.panel.empty() || o.clicks < 1 || o.sample < 1 || o.settle < 1 || o.copies < 2 || o.rounds < 1 ||
      o.switches + o.help > o.clicks || o.drags > o.clicks) {
    return Usage();
  }
  BecomeDpiAware();
  std::string error;
  if (measure == L"storm") {
    if (Storm(o, error)) return 0;
    Fact("error", "storm " + error);
    return kExitFailed;
  }
  if (measure != L"soak" || o.expected.empty()) return Usage();
  auto expected = ReadKeysByControl(o.expected, error);
  if (!expected) {
    Fact("error", error);
    return kExitFailed;
  }
  bool held = false;
  {
    Soak soak(o, std::move(*expected));
    held = soak.Run(error);
  }
  if (held && !o.reference.empty() && !ClickReference(o, error)) {
    Fact("error", "reference " + error);
    return kExitFailed;
  }
  return held ? 0 : kExitFailed;
}
