// yg_fuzz: sends the panel and each of its controls messages with random parameters, then checks
// that it still works. Prints one fact a line (key=value, UTF-8); exit status 2 when something did
// not hold.
//
//   yg_fuzz.exe --panel <exe> --hook <yg_probe_hook.dll> --expected <expected_clicks.txt>
//               [--messages 100000] [--seed 1] [--trace 1]
//
// --trace 1 prints every message before it is sent, to find the one that broke something.
//
// The messages, each sent with SendMessageTimeout to the panel (three in ten) or to a control at
// random: mouse messages of every button at random points in and around the window, with random
// key and button flags; keyboard messages with random keys and random repeat counts, scan codes
// and flags; WM_COMMAND with random ids, notification codes and control handles; WM_SETTINGCHANGE,
// WM_DISPLAYCHANGE with random sizes, WM_SYSCOLORCHANGE, WM_TIMER with random ids, WM_ACTIVATE
// with random states; and now and then WM_DPICHANGED with a random DPI from 96 to 480 and the
// rectangle the panel asks for at that DPI, at a random place on the screen. Messages whose
// parameters point to memory are left out (WM_TIMER's callback too), except WM_DPICHANGED's
// rectangle: it must lie in the panel's own memory, so yg_probe_hook.dll, hooked onto the panel's
// thread, sends that one from inside, as Windows does. Left out as well are the keys whose meaning
// the system itself fixes for every window: Alt+F4 closes it, and Alt, F10 and Alt+Space open its
// window menu.
//
// It holds when the panel never ends, shows no message box and answers every message within
// five seconds; when afterwards no key the panel types is down, every key event seen went down
// and came up in pairs; and when, the screen's own DPI back and the panel expanded, a click on 虫
// types exactly its code into this program's window, which keeps the keyboard.
#include <windows.h>

#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "tests/bench/key_watch_win.h"
#include "tests/bench/panel_map_win.h"
#include "tests/bench/probe_client_win.h"
#include "tests/bench/tool_win.h"
#include "tests/e2e/console_tool.h"

namespace {

using namespace yg::tools;

constexpr int kExitUsage = 1;
constexpr int kExitFailed = 2;
constexpr wchar_t kPanelClass[] = L"YgKeyPanel";
constexpr wchar_t kHelpViewerClass[] = L"HH Parent";
// The panel's child windows: the 97 controls of the layout table and the edit inside the combo box.
constexpr int kPanelWindows = 98;
constexpr UINT kFirstAnswerMs = 500;
constexpr UINT kAnswerMs = 5000;
constexpr int kLeastDpi = 96, kMostDpi = 480;

struct Options {
  std::wstring panel, hook, expected;
  long messages = 100000;
  unsigned seed = 1;
  bool trace = false;
};

class Fuzz {
 public:
  Fuzz(const Options& o, KeysByControl expected) : o_(o), expected_(std::move(expected)), rng_(o.seed) {}
  bool Run(std::string& error);

 private:
  int Random(int least, int most) { return std::uniform_int_distribution<int>(least, most)(rng_); }
  bool Chance(int percent) { return Random(1, 100) <= percent; }
  LPARAM PointIn(HWND target, bool screen);
  bool SendOne(std::string& error);
  bool Send(HWND target, UINT message, WPARAM wParam, LPARAM lParam, std::string& error);
  DWORD ThreadFlags() const;
  bool SendDpiChange(int dpi, std::string& error);
  void CloseHelpViewers();
  bool CheckKeys(std::string& error);
  bool ClickRadical(std::string& error);

  const Options& o_;
  KeysByControl expected_;
  std::mt19937 rng_;
  Running panel_;
  HWND window_ = nullptr;
  std::vector<HWND> targets_;  // the panel, then its controls
  KeyWatch watch_{KeyWatch::Source::Hook, L"yg_fuzz"};
  ProbeHook probe_;
  std::map<std::string, long> sent_;  // by kind
  long viewers_ = 0;
  long menus_ = 0;  // window menus a message opened, closed again
};

// A point in and around the window (20 pixels beyond each edge), in its client coordinates or on
// the screen.
LPARAM Fuzz::PointIn(HWND target, bool screen) {
  RECT r{};
  GetClientRect(target, &r);
  POINT p{Random(r.left - 20, r.right + 20), Random(r.top - 20, r.bottom + 20)};
  if (screen) ClientToScreen(target, &p);
  return MAKELPARAM(p.x, p.y);
}

DWORD Fuzz::ThreadFlags() const {
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  GetGUIThreadInfo(GetWindowThreadProcessId(window_, nullptr), &gui);
  return gui.flags;
}

// A message may open a menu, as the system does for a context menu asked for over the title bar:
// its loop waits for the user, who closes it again.
bool Fuzz::Send(HWND target, UINT message, WPARAM wParam, LPARAM lParam, std::string& error) {
  DWORD_PTR result = 0;
  if (o_.trace) {
    char text[160];
    snprintf(text, sizeof text, "send id=%d msg=0x%04X w=0x%llX l=0x%llX", GetDlgCtrlID(target), message,
             static_cast<unsigned long long>(wParam), static_cast<unsigned long long>(lParam));
    Line(text);
  }
  if (SendMessageTimeoutW(target, message, wParam, lParam, SMTO_NORMAL, kFirstAnswerMs, &result)) return true;
  constexpr DWORD kMenu = GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE;
  const double deadline = NowMs() + kAnswerMs;
  bool menu = false;
  const bool answered = PumpUntil(deadline, [&] {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(GetWindowThreadProcessId(window_, nullptr), &gui);
    if (gui.flags & kMenu) {
      menu = true;
      const HWND owner = gui.hwndMenuOwner ? gui.hwndMenuOwner : window_;
      SendMessageTimeoutW(owner, WM_CANCELMODE, 0, 0, SMTO_NORMAL, kFirstAnswerMs, &result);
      return false;
    }
    return SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, kFirstAnswerMs, &result) != 0;
  });
  if (menu) ++menus_;
  if (answered) return true;
  char text[200];
  snprintf(text, sizeof text,
           "message 0x%04X (wParam 0x%llX, lParam 0x%llX) to a %s got no answer in %u ms (thread flags 0x%lX)", message,
           static_cast<unsigned long long>(wParam), static_cast<unsigned long long>(lParam),
           Utf8(ClassOf(target)).c_str(), kAnswerMs, ThreadFlags());
  error = text;
  return false;
}

bool Fuzz::SendDpiChange(int dpi, std::string& error) {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int left = Random(work.left, work.right - 1), top = Random(work.top, work.bottom - 1);
  if (probe_.Request(window_, yg::tools::probe::kDpiChange, yg::tools::probe::PackDpiChange(dpi, left, top), kAnswerMs)) {
    return true;
  }
  error = "WM_DPICHANGED to " + std::to_string(dpi) + " DPI got no answer";
  return false;
}

// Keys the system gives a meaning of its own on every window: they close it or open its menu.
bool SystemCommandKey(UINT message, WPARAM vk) {
  const bool sys = message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
  return vk == VK_F10 || (sys && (vk == VK_F4 || vk == VK_MENU || vk == VK_LMENU || vk == VK_RMENU || vk == VK_SPACE));
}

bool Fuzz::SendOne(std::string& error) {
  const HWND target = Chance(30) ? window_ : targets_[static_cast<std::size_t>(Random(1, static_cast<int>(targets_.size()) - 1))];
  const int kind = Random(1, 1000);
  if (kind <= 500) {
    static constexpr UINT kMouse[] = {WM_MOUSEMOVE,   WM_LBUTTONDOWN, WM_LBUTTONUP,   WM_LBUTTONDBLCLK, WM_RBUTTONDOWN,
                                      WM_RBUTTONUP,   WM_RBUTTONDBLCLK, WM_MBUTTONDOWN, WM_MBUTTONUP,   WM_MBUTTONDBLCLK,
                                      WM_XBUTTONDOWN, WM_XBUTTONUP,   WM_XBUTTONDBLCLK, WM_MOUSEWHEEL,  WM_MOUSEHWHEEL};
    const UINT message = kMouse[Random(0, std::size(kMouse) - 1)];
    const bool wheel = message == WM_MOUSEWHEEL || message == WM_MOUSEHWHEEL;
    WPARAM flags = static_cast<WPARAM>(Random(0, 0x7F));  // MK_LBUTTON ... MK_XBUTTON2
    if (wheel) flags |= static_cast<WPARAM>(static_cast<WORD>(Random(-480, 480))) << 16;
    if (message >= WM_XBUTTONDOWN && message <= WM_XBUTTONDBLCLK) flags |= static_cast<WPARAM>(Random(1, 2)) << 16;
    ++sent_["mouse"];
    return Send(target, message, flags, PointIn(target, wheel), error);
  }
  if (kind <= 780) {
    static constexpr UINT kKeys[] = {WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_DEADCHAR};
    const UINT message = kKeys[Random(0, std::size(kKeys) - 1)];
    const auto vk = static_cast<WPARAM>(Random(1, 254));
    if (SystemCommandKey(message, vk)) return true;
    const auto lParam = static_cast<LPARAM>(static_cast<ULONG>(Random(0, 0x7FFFFFFF)) << 1 | static_cast<ULONG>(Random(0, 1)));
    ++sent_["keyboard"];
    return Send(target, message, vk, lParam, error);
  }
  if (kind <= 900) {
    const int id = Chance(50) ? 1000 + Random(0, static_cast<int>(yg::LayoutTable().size()) - 1) : Random(0, 0xFFFF);
    const int code = Chance(60) ? Random(0, 8) : Random(0, 0xFFFF);  // BN_CLICKED ... BN_KILLFOCUS, or any
    LPARAM control = 0;
    if (Chance(70)) control = reinterpret_cast<LPARAM>(targets_[static_cast<std::size_t>(Random(0, static_cast<int>(targets_.size()) - 1))]);
    else if (Chance(50)) control = static_cast<LPARAM>(Random(1, 0x7FFFFFFF));
    ++sent_["command"];
    return Send(target, WM_COMMAND, MAKEWPARAM(id, code), control, error);
  }
  if (kind <= 920) {
    static constexpr WPARAM kActions[] = {0, SPI_SETWORKAREA, SPI_SETNONCLIENTMETRICS, SPI_SETICONTITLELOGFONT,
                                          SPI_SETKEYBOARDDELAY};
    ++sent_["settingchange"];
    return Send(target, WM_SETTINGCHANGE, Chance(80) ? kActions[Random(0, std::size(kActions) - 1)] : Random(0, 0x2100), 0,
                error);
  }
  if (kind <= 930) {
    static constexpr int kDepths[] = {8, 16, 24, 32};
    ++sent_["displaychange"];
    return Send(target, WM_DISPLAYCHANGE, kDepths[Random(0, 3)], MAKELPARAM(Random(1, 8192), Random(1, 8192)), error);
  }
  if (kind <= 950) {
    ++sent_["syscolorchange"];
    return Send(target, WM_SYSCOLORCHANGE, 0, 0, error);
  }
  if (kind <= 980) {
    ++sent_["timer"];
    return Send(target, WM_TIMER, Chance(50) ? Random(0, 4) : Random(0, 0x7FFFFFFF), 0, error);
  }
  if (kind <= 999) {
    const LPARAM other = Chance(50) ? 0 : reinterpret_cast<LPARAM>(Chance(50) ? watch_.Window() : window_);
    ++sent_["activate"];
    return Send(target, WM_ACTIVATE, MAKEWPARAM(Random(0, 2), Random(0, 1)), other, error);
  }
  ++sent_["dpichanged"];
  return SendDpiChange(Random(kLeastDpi, kMostDpi), error);
}

// A help click among the commands starts the help viewer, which takes the foreground: closed
// again, as a user would.
void Fuzz::CloseHelpViewers() {
  while (const HWND viewer = FindWindowW(kHelpViewerClass, nullptr)) {
    PostMessageW(viewer, WM_CLOSE, 0, 0);
    PumpUntil(NowMs() + 10000, [&] { return !IsWindow(viewer); });
    if (IsWindow(viewer)) break;
    ++viewers_;
  }
}

// Every key event went down and came up again, and no key the panel types is down now.
bool Fuzz::CheckKeys(std::string& error) {
  std::map<DWORD, int> down;
  for (const SeenKey& k : watch_.Keys()) {
    int& n = down[k.vk];
    if (k.up && n == 0) continue;  // released without a press: harmless
    n += k.up ? -1 : 1;
  }
  for (const auto& [vk, n] : down) {
    if (n != 0) {
      error = "key " + std::to_string(vk) + " went down " + std::to_string(n) + " time(s) more than up";
      return false;
    }
  }
  std::set<int> typed{VK_SHIFT, VK_CONTROL, VK_MENU, VK_LSHIFT, VK_RSHIFT, VK_LCONTROL, VK_RCONTROL};
  for (const auto& [name, keys] : expected_) {
    for (const auto& k : keys) typed.insert(k.vk);
  }
  for (int vk : typed) {
    if (GetAsyncKeyState(vk) & 0x8000) {
      error = "key " + std::to_string(vk) + " is down";
      return false;
    }
  }
  Fact("fuzz_key_events_seen", std::to_string(watch_.Keys().size()));
  Fact("fuzz_keys_checked_up", std::to_string(typed.size()));
  return true;
}

// The user's check: back at the screen's DPI and expanded, a click on 虫 types its code.
bool Fuzz::ClickRadical(std::string& error) {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  if (!SendDpiChange(dpi, error)) return false;
  const auto controls = ControlsOf(window_);
  const auto named = [&](const char* name) -> const PanelControl* {
    for (const PanelControl& c : controls) {
      if (c.name == name) return &c;
    }
    return nullptr;
  };
  const PanelControl* worm = named("Comm1");
  const PanelControl* toggle = named("Command2");
  if (!worm || !toggle) {
    error = "the panel lacks 虫 or its mode switch";
    return false;
  }
  if (TextOf(toggle->hwnd) == L"+") {
    const auto at = ClickPoint(toggle->hwnd);
    if (!at || !ClickAt(*at) || !PumpUntil(NowMs() + 5000, [&] { return TextOf(toggle->hwnd) == L"-"; })) {
      error = "the panel did not expand again";
      return false;
    }
  }
  // A random press may be left half done: a button or stroke key pressed by a message holds the
  // mouse, and would take the next click. The system ends such a press when another window takes
  // the mouse (WM_CANCELMODE); so does this, once.
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  GetGUIThreadInfo(GetWindowThreadProcessId(window_, nullptr), &gui);
  DWORD_PTR result = 0;
  if (gui.hwndCapture) SendMessageTimeoutW(gui.hwndCapture, WM_CANCELMODE, 0, 0, SMTO_NORMAL, kAnswerMs, &result);
  Fact("fuzz_press_left_held", gui.hwndCapture ? Utf8(ClassOf(gui.hwndCapture)) : "none");
  if (!watch_.TakeKeyboard()) {
    error = "the focus window did not get the keyboard back";
    return false;
  }
  watch_.Clear();
  const auto at = ClickPoint(worm->hwnd);
  if (!at || !ClickAt(*at)) {
    error = "虫 cannot be clicked";
    return false;
  }
  const auto& want = expected_.at("Comm1");
  PumpUntil(NowMs() + 5000, [&] { return watch_.Keys().size() >= want.size(); });
  PumpFor(200);
  std::vector<yg::KeyEvent> got;
  for (const SeenKey& k : watch_.Keys()) got.push_back(k.Event());
  if (got != want || !watch_.HasKeyboard()) {
    error = "a click on 虫 typed " + (got.empty() ? std::string("nothing") : yg::testing::Describe(got)) +
            (watch_.HasKeyboard() ? "" : ", and the focus window lost the keyboard");
    return false;
  }
  Fact("fuzz_click_on_comm1", "ok");
  return true;
}

bool Fuzz::Run(std::string& error) {
  if (!panel_.Start({"panel", o_.panel, kPanelClass}) || !WaitUntilReady(panel_, kPanelWindows, 60000, error)) {
    if (error.empty()) error = "CreateProcess " + std::to_string(GetLastError());
    return false;
  }
  window_ = panel_.Window();
  targets_.push_back(window_);
  for (const PanelControl& c : WaitForControls(window_, 60000)) targets_.push_back(c.hwnd);
  if (targets_.size() != yg::LayoutTable().size() + 1) {
    error = "the panel has " + std::to_string(targets_.size() - 1) + " controls of the layout table";
    return false;
  }
  if (!watch_.ok() || !watch_.TakeKeyboard()) {
    error = "no keyboard hook, or no foreground for the focus window";
    return false;
  }
  if (!probe_.Attach(o_.hook, window_, error)) return false;
  watch_.Record(true);
  const double start = NowMs();
  for (long i = 1; i <= o_.messages; ++i) {
    if (!SendOne(error)) {
      error = "message " + std::to_string(i) + ": " + error;
      return false;
    }
    if (i % 500 == 0) {
      PumpFor(1);  // the keyboard hook's calls
      CloseHelpViewers();
      if (panel_.Exited()) {
        error = "the panel ended by message " + std::to_string(i) + " (exit code " + std::to_string(panel_.ExitCode()) + ")";
        return false;
      }
      if (const HWND box = MessageBoxOf(panel_.Pid())) {
        error = "by message " + std::to_string(i) + " the panel shows a message box: " + Utf8(TextOf(box));
        return false;
      }
    }
    if (i % 10000 == 0) Line("fuzz sent=" + std::to_string(i) + " seconds=" + Fixed((NowMs() - start) / 1000, 1));
  }
  Fact("fuzz_seconds", Fixed((NowMs() - start) / 1000, 1));
  for (const auto& [kind, count] : sent_) Fact("fuzz_sent_" + kind, std::to_string(count));
  PumpFor(500);
  CloseHelpViewers();
  Fact("fuzz_help_viewers_closed", std::to_string(viewers_));
  Fact("fuzz_window_menus_closed", std::to_string(menus_));
  if (MessageBoxOf(panel_.Pid()) || panel_.Exited()) {
    error = "the panel ended or shows a message box after the last message";
    return false;
  }
  if (!CheckKeys(error) || !ClickRadical(error)) return false;
  if (!panel_.Close()) {
    error = "the panel did not end on WM_CLOSE";
    return false;
  }
  return true;
}

constexpr char kUsage[] =
    "usage: yg_fuzz.exe --panel <exe> --hook <dll> --expected <file> [--messages N] [--seed N] [--trace 1]\n";

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options o;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::wstring arg = argv[i];
    const wchar_t* value = argv[i + 1];
    if (arg == L"--panel") o.panel = value;
    else if (arg == L"--hook") o.hook = value;
    else if (arg == L"--expected") o.expected = value;
    else if (arg == L"--messages") o.messages = _wtol(value);
    else if (arg == L"--seed") o.seed = static_cast<unsigned>(_wtol(value));
    else if (arg == L"--trace") o.trace = _wtoi(value) != 0;
    else argc = 0;
  }
  if (argc % 2 == 0 || o.panel.empty() || o.hook.empty() || o.expected.empty() || o.messages < 1) {
    Usage(kUsage);
    return kExitUsage;
  }
  BecomeDpiAware();
  std::string error;
  auto expected = ReadKeysByControl(o.expected, error);
  bool held = false;
  if (expected) {
    Fuzz fuzz(o, std::move(*expected));
    held = fuzz.Run(error);
  }
  if (!held) {
    Fact("error", "fuzz " + error);
    return kExitFailed;
  }
  Fact("fuzz_messages", std::to_string(o.messages));
  return 0;
}
