// yg_receiver: the window that the end-to-end runs type into. It takes the foreground and the
// keyboard focus at start, then writes down every key that reaches it, both as the low-level
// keyboard hook sees it and as its message queue gets it, and every change of activation and
// focus. Whatever the panel injects must show up here.
//
//   yg_receiver.exe <log-file> [--at <x> <y> <width> <height>]
//
// --at places the outer window (default 40 40 480 320). Exit status 2: bad arguments; 3: the
// log cannot be created. The log is truncated at start and gets one UTF-8 line per event:
//   start hwnd=0x<hex> pid=<n>
//   hook down|up vk=<n> scan=<n> injected=0|1 extended=0|1 [extra=0x<hex>, only when not 0]
//   msg down|up vk=<n> [extra=0x<hex>, as for hook lines]
//                               (WM_KEYDOWN/UP and WM_SYSKEYDOWN/UP taken from the queue)
//   char <code point>           (WM_CHAR, surrogate pairs joined)
//   activate 1|0                (WM_ACTIVATE of the main window)
//   activateapp 1|0             (WM_ACTIVATEAPP)
//   focus 1|0                   (the edit control got or lost the keyboard focus)
//   colours window=<RRGGBB> text=<RRGGBB> highcontrast=0|1
//                               (WM_SYSCOLORCHANGE, or WM_SETTINGCHANGE for high contrast: the
//                               colours and the flag as this process reads them then)
//   ready                       (shown, in the foreground as far as it could ask, edit focused)
//   error hook                  (the hook could not be installed; only msg lines will come)
//   quit                        (the window was destroyed, e.g. on WM_CLOSE)
// The hook runs ahead of the queue, so hook and msg lines interleave: compare each kind on its
// own. A driver should delete the log before the start, or it may see the last run's `ready`.
#include <windows.h>
#include <shellapi.h>

#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr wchar_t kClassName[] = L"YgReceiver";
constexpr wchar_t kTitle[] = L"YgReceiver";

constexpr int kEditId = 100;
constexpr int kLabelHeight = 22;

std::string Hex(std::uintptr_t value) {
  char digits[2 * sizeof value];
  const auto end = std::to_chars(std::begin(digits), std::end(digits), value, 16).ptr;
  return "0x" + std::string(std::begin(digits), end);
}

// Owns a kernel handle that is invalid as INVALID_HANDLE_VALUE.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() {
    if (valid()) CloseHandle(handle_);
  }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// Owns a GDI object.
template <typename T>
class GdiObject {
 public:
  explicit GdiObject(T object = nullptr) : object_(object) {}
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  ~GdiObject() {
    if (object_) DeleteObject(object_);
  }
  void reset(T object) {
    if (object_) DeleteObject(object_);
    object_ = object;
  }
  T get() const { return object_; }

 private:
  T object_;
};

// The event log. Every line goes straight to the system with WriteFile, unbuffered, so that a
// driver polling the file sees each line as soon as the event has happened; other processes may
// read it (and delete it) while it is open.
class EventLog {
 public:
  explicit EventLog(const std::wstring& path)
      : file_(CreateFileW(path.c_str(), GENERIC_WRITE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  bool ok() const { return file_.valid(); }

  void Line(std::string line) const {
    line += '\n';
    DWORD written = 0;
    WriteFile(file_.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  }

 private:
  FileHandle file_;
};

// The hook procedure has no context of its own, so the log it writes to is reachable from here
// for as long as the hook is installed.
const EventLog* g_log = nullptr;

std::string HookLine(WPARAM message, const KBDLLHOOKSTRUCT& key) {
  const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
  std::string line = std::string("hook ") + (down ? "down" : "up") +
                     " vk=" + std::to_string(key.vkCode) +
                     " scan=" + std::to_string(key.scanCode) +
                     " injected=" + ((key.flags & LLKHF_INJECTED) ? "1" : "0") +
                     " extended=" + ((key.flags & LLKHF_EXTENDED) ? "1" : "0");
  // The panel always sends 0; anything else is worth seeing, and only then is it written.
  if (key.dwExtraInfo != 0) line += " extra=" + Hex(key.dwExtraInfo);
  return line;
}

LRESULT CALLBACK KeyboardHook(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HC_ACTION && g_log) {
    g_log->Line(HookLine(wparam, *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lparam)));
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

class KeyboardHookInstall {
 public:
  explicit KeyboardHookInstall(HINSTANCE instance)
      : hook_(SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardHook, instance, 0)) {}
  KeyboardHookInstall(const KeyboardHookInstall&) = delete;
  KeyboardHookInstall& operator=(const KeyboardHookInstall&) = delete;
  ~KeyboardHookInstall() {
    if (hook_) UnhookWindowsHookEx(hook_);
  }
  bool ok() const { return hook_ != nullptr; }

 private:
  HHOOK hook_;
};

// Key messages are logged as they leave the queue, before TranslateMessage, so the log shows
// what the system posted to the focused window and not what the edit control made of it.
// WM_CHAR is posted by TranslateMessage and comes back through the queue too.
class QueueLogger {
 public:
  explicit QueueLogger(const EventLog& log) : log_(log) {}

  // `extra` is GetMessageExtraInfo() of the message just taken from the queue.
  void Log(const MSG& msg, LPARAM extra) {
    switch (msg.message) {
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        log_.Line("msg down vk=" + std::to_string(msg.wParam) + Extra(extra));
        break;
      case WM_KEYUP:
      case WM_SYSKEYUP:
        log_.Line("msg up vk=" + std::to_string(msg.wParam) + Extra(extra));
        break;
      case WM_CHAR:
        OnChar(static_cast<wchar_t>(msg.wParam));
        break;
    }
  }

 private:
  static std::string Extra(LPARAM extra) {
    return extra != 0 ? " extra=" + Hex(static_cast<std::uintptr_t>(extra)) : "";
  }

  void OnChar(wchar_t unit) {
    if (IS_HIGH_SURROGATE(unit)) {
      high_surrogate_ = unit;
      return;
    }
    unsigned long code_point = unit;
    if (IS_LOW_SURROGATE(unit) && high_surrogate_ != 0) {
      code_point = 0x10000 + ((static_cast<unsigned long>(high_surrogate_) - 0xD800) << 10) +
                   (static_cast<unsigned long>(unit) - 0xDC00);
    }
    high_surrogate_ = 0;
    log_.Line("char " + std::to_string(code_point));
  }

  const EventLog& log_;
  wchar_t high_surrogate_ = 0;
};

struct Placement {
  int x = 40;
  int y = 40;
  int width = 480;
  int height = 320;
};

struct Options {
  std::wstring log_path;
  Placement placement;
};

std::optional<int> ParseInt(const std::wstring& text) {
  if (text.empty()) return std::nullopt;
  wchar_t* end = nullptr;
  const long value = std::wcstol(text.c_str(), &end, 10);
  if (*end != L'\0' || value < -100000 || value > 100000) return std::nullopt;
  return static_cast<int>(value);
}

std::optional<Options> ParseOptions(const std::vector<std::wstring>& args) {
  if (args.empty() || args[0].starts_with(L"--")) return std::nullopt;
  Options options;
  options.log_path = args[0];
  for (std::size_t i = 1; i < args.size(); i += 5) {
    if (args[i] != L"--at" || i + 4 >= args.size()) return std::nullopt;
    std::array<int, 4> numbers{};
    for (std::size_t k = 0; k < numbers.size(); ++k) {
      const auto number = ParseInt(args[i + 1 + k]);
      if (!number) return std::nullopt;
      numbers[k] = *number;
    }
    if (numbers[2] <= 0 || numbers[3] <= 0) return std::nullopt;
    options.placement = {numbers[0], numbers[1], numbers[2], numbers[3]};
  }
  return options;
}

std::vector<std::wstring> CommandLineArgs() {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> args;
  for (int i = 1; argv && i < count; ++i) args.emplace_back(argv[i]);
  LocalFree(argv);
  return args;
}

void ReportUsage() {
  // A GUI program has no console; under Wine, and when started with redirected handles, the
  // standard error handle still reaches whoever started it.
  static constexpr char kUsage[] =
      "usage: yg_receiver.exe <log-file> [--at <x> <y> <width> <height>]\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), kUsage, sizeof kUsage - 1, &written, nullptr);
}

// Captions in Chinese, each in a font that the panel's own captions rely on, so that a
// screenshot shows at a glance whether the prefix's fonts can render them.
struct LabelRow {
  const wchar_t* text;
  const wchar_t* face;  // nullptr: the system's message font
  int points;           // 0: the message font's size
  bool bold;
};
constexpr std::array<LabelRow, 2> kLabels{{
    {L"宋体 9 粗：雁格输入法 的 不 是 在", L"宋体", 9, true},  // the common-character keys
    {L"默认字体：雁格输入法 鹿 骨 ＝I键", nullptr, 0, false},
}};

HFONT CreateLabelFont(const LabelRow& row) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  LOGFONTW font = metrics.lfMessageFont;
  if (row.face) {
    lstrcpynW(font.lfFaceName, row.face, LF_FACESIZE);
    font.lfCharSet = GB2312_CHARSET;
  }
  if (row.points > 0) {
    const HDC screen = GetDC(nullptr);
    font.lfHeight = -MulDiv(row.points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
  }
  font.lfWeight = row.bold ? FW_BOLD : FW_NORMAL;
  return CreateFontIndirectW(&font);
}

class ReceiverWindow {
 public:
  explicit ReceiverWindow(const EventLog& log) : log_(log) {}

  static bool Register(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0;
  }

  HWND Create(HINSTANCE instance, const Placement& at) {
    // A plain overlapped window: activatable, with a taskbar button, like any editor the panel
    // types into.
    return CreateWindowExW(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, at.x,
                           at.y, at.width, at.height, nullptr, nullptr, instance, this);
  }

  // Shows the window, asks for the foreground and puts the focus into the edit control.
  void Present() {
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
    SetForegroundWindow(hwnd_);
    SetFocus(edit_);
  }

  HWND hwnd() const { return hwnd_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
      auto* self = static_cast<ReceiverWindow*>(
          reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
      self->hwnd_ = hwnd;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<ReceiverWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wparam, lparam);
    return self->Dispatch(message, wparam, lparam);
  }

  LRESULT Dispatch(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
      case WM_CREATE: return OnCreate();
      case WM_SIZE: return OnSize(LOWORD(lparam), HIWORD(lparam));
      case WM_ACTIVATE: return OnActivate(wparam);
      case WM_ACTIVATEAPP: return OnActivateApp(wparam);
      case WM_SETFOCUS: return OnSetFocus();
      case WM_COMMAND: return OnCommand(wparam);
      case WM_DESTROY: return OnDestroy();
      case WM_SYSCOLORCHANGE: return OnColours();
      case WM_SETTINGCHANGE:
        if (wparam == SPI_SETHIGHCONTRAST) return OnColours();
        break;
    }
    return DefWindowProcW(hwnd_, message, wparam, lparam);
  }

  LRESULT OnCreate() {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE));
    for (std::size_t i = 0; i < kLabels.size(); ++i) {
      fonts_[i].reset(CreateLabelFont(kLabels[i]));
      labels_[i] = CreateWindowExW(0, L"STATIC", kLabels[i].text, WS_CHILD | WS_VISIBLE | SS_LEFT,
                                   0, 0, 0, 0, hwnd_, reinterpret_cast<HMENU>(kEditId + 1 + i),
                                   instance, nullptr);
      SendMessageW(labels_[i], WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[i].get()), FALSE);
    }
    // Multi-line, so that Enter and Tab stay in the edit as characters instead of being eaten by
    // dialog navigation.
    edit_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                ES_WANTRETURN,
                            0, 0, 0, 0, hwnd_, reinterpret_cast<HMENU>(kEditId), instance, nullptr);
    SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.back().get()), FALSE);
    return edit_ ? 0 : -1;
  }

  LRESULT OnSize(int width, int height) {
    for (std::size_t i = 0; i < labels_.size(); ++i) {
      MoveWindow(labels_[i], 4, 2 + static_cast<int>(i) * kLabelHeight, width - 8, kLabelHeight,
                 TRUE);
    }
    const int top = 4 + static_cast<int>(labels_.size()) * kLabelHeight;
    MoveWindow(edit_, 0, top, width, height > top ? height - top : 0, TRUE);
    return 0;
  }

  LRESULT OnActivate(WPARAM wparam) {
    const bool active = LOWORD(wparam) != WA_INACTIVE;
    log_.Line(std::string("activate ") + (active ? "1" : "0"));
    // The default would focus the frame itself; the edit is where typing has to land.
    if (active) SetFocus(edit_);
    return 0;
  }

  LRESULT OnActivateApp(WPARAM wparam) {
    log_.Line(std::string("activateapp ") + (wparam ? "1" : "0"));
    return 0;
  }

  LRESULT OnSetFocus() {
    SetFocus(edit_);
    return 0;
  }

  LRESULT OnCommand(WPARAM wparam) {
    if (LOWORD(wparam) != kEditId) return 0;
    if (HIWORD(wparam) == EN_SETFOCUS) log_.Line("focus 1");
    if (HIWORD(wparam) == EN_KILLFOCUS) log_.Line("focus 0");
    return 0;
  }

  LRESULT OnColours() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    const bool high = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
                      (contrast.dwFlags & HCF_HIGHCONTRASTON);
    const auto rgb = [](int index) {
      const COLORREF c = GetSysColor(index);
      char text[8];
      std::snprintf(text, sizeof text, "%02x%02x%02x", GetRValue(c), GetGValue(c), GetBValue(c));
      return std::string(text);
    };
    log_.Line("colours window=" + rgb(COLOR_WINDOW) + " text=" + rgb(COLOR_WINDOWTEXT) +
              " highcontrast=" + (high ? "1" : "0"));
    return 0;
  }

  LRESULT OnDestroy() {
    log_.Line("quit");
    PostQuitMessage(0);
    return 0;
  }

  const EventLog& log_;
  HWND hwnd_ = nullptr;
  HWND edit_ = nullptr;
  std::array<HWND, kLabels.size()> labels_{};
  std::array<GdiObject<HFONT>, kLabels.size()> fonts_;
};

int RunMessageLoop(const EventLog& log) {
  QueueLogger queue(log);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    queue.Log(msg, GetMessageExtraInfo());
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  const auto options = ParseOptions(CommandLineArgs());
  if (!options) {
    ReportUsage();
    return 2;
  }
  const EventLog log(options->log_path);
  if (!log.ok()) return 3;
  g_log = &log;

  const KeyboardHookInstall hook(instance);
  if (!hook.ok()) log.Line("error hook");
  if (!ReceiverWindow::Register(instance)) return 4;
  ReceiverWindow window(log);
  if (!window.Create(instance, options->placement)) return 5;
  log.Line("start hwnd=" + Hex(reinterpret_cast<std::uintptr_t>(window.hwnd())) +
           " pid=" + std::to_string(GetCurrentProcessId()));
  window.Present();
  log.Line("ready");

  const int code = RunMessageLoop(log);
  g_log = nullptr;
  return code;
}
