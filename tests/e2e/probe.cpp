// yg_probe: tells a driver script what the window system knows about windows, one fact a line,
// in UTF-8 whether the output goes to a console, a file or a pipe.
//
//   yg_probe.exe tree <class>           the first top-level window of the class, then every
//                                       descendant, one `child ...` line each
//   yg_probe.exe foreground             the foreground window and the focus of its thread
//   yg_probe.exe zorder <class> <class> which of two top-level windows lies higher
//   yg_probe.exe count <class>          how many top-level windows of the class exist
//   yg_probe.exe list                   every top-level window, highest in the z-order first
//   yg_probe.exe close <class>          posts WM_CLOSE to the first top-level window of the
//                                       class, as its close box would; does not wait
//   yg_probe.exe text <class> [<child-class>]
//                                       the text of the window, or of its first descendant of
//                                       the child class (Wine's notepad: text Notepad Edit)
//   yg_probe.exe items <class> <control-id>
//                                       the entries of a combo box in that window, one
//                                       item=<text> line each, then items=<n>
//   yg_probe.exe move <class> <x> <y> <w> <h>
//                                       moves and sizes the first top-level window of the class
//   yg_probe.exe tip                    the text of the tooltip now shown, if any: tip=<text>
//   yg_probe.exe cover <x> <y> <w> <h> <seconds>
//                                       shows a topmost window of class YgCover there for that
//                                       long, without activating it
//   yg_probe.exe monitors               every monitor: monitor=<l,t,r,b> work=<l,t,r,b> primary=0|1
//   yg_probe.exe message <class> <message> <wparam> <lparam>
//                                       sends the message (numbers, decimal or 0x hex) to the
//                                       first top-level window of the class and waits up to 5 s
//                                       for it to be handled: result=<n>
//   yg_probe.exe layered <class>        the layered opacity of the first top-level window of the
//                                       class: layered=0|1 alpha=<0-255>
//   yg_probe.exe hotkey <modifiers> <vk> <seconds>
//                                       holds that key combination (RegisterHotKey modifiers) for
//                                       that long, as another program would: registered=0|1
//   yg_probe.exe send <key>...          one SendInput batch, the way the panel injects: scan
//                                       code 0, no flag but KEYEVENTF_KEYUP, extra info 0;
//                                       a key is down:<vk>, up:<vk> or tap:<vk> (down, then up)
//
// tree prints found=1, then one key=value line each: hwnd class text pid style exstyle, rect
// (l,t,r,b on the screen) size (w,h) client client_size visible, the style bits topmost
// noactivate toolwindow appwindow caption sysmenu minimizebox maximizebox sizable disabled
// (0|1), taskbar dpi owner foreground; then one line per descendant, depth first,
//   child n=<i> depth=<d> parent=0x.. hwnd=0x.. z=<place among its siblings, 0 on top>
//     id=<control id> class=<c> visible=0|1 enabled=0|1 style=0x.. exstyle=0x..
//     rect=l,t,r,b pos=<x,y,w,h in the parent's client area> text=<text>
// and last children=<n>. foreground prints hwnd class text pid active focus focus_class;
// zorder index1 index2 higher=<class>; count count visible; list `window z= hwnd= pid=
// visible= topmost= class= text=` lines and windows=<n>; close found posted; send requested sent.
//
// Window texts come last on their line and are escaped (\\ \n \r \t); everything else has no
// spaces. Exit status: 0 done, 1 bad usage, 2 a window was not found, 3 SendInput took fewer
// events than it was given.
#include <windows.h>

#include "tests/e2e/console_tool.h"
#include <commctrl.h>

#include <array>
#include <charconv>
#include <cstdint>
#include <cwchar>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kExitUsage = 1;
constexpr int kExitNotFound = 2;
constexpr int kExitSendIncomplete = 3;

using yg::tools::Utf8;
using yg::tools::Wide;

// A window text on one line: backslash and the control characters a caption may hold are
// escaped, everything else (Chinese, spaces) is kept as it is.
std::string Escaped(std::wstring_view text) {
  std::wstring out;
  for (wchar_t c : text) {
    switch (c) {
      case L'\\': out += L"\\\\"; break;
      case L'\n': out += L"\\n"; break;
      case L'\r': out += L"\\r"; break;
      case L'\t': out += L"\\t"; break;
      default: out += c;
    }
  }
  return Utf8(out);
}

std::string Hex(std::uintptr_t value) {
  char digits[2 * sizeof value];
  const auto end = std::to_chars(std::begin(digits), std::end(digits), value, 16).ptr;
  return "0x" + std::string(std::begin(digits), end);
}

std::string Handle(HWND hwnd) { return Hex(reinterpret_cast<std::uintptr_t>(hwnd)); }

std::string Flag(bool value) { return value ? "1" : "0"; }

std::string Rect(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}

std::string Size(const RECT& r) {
  return std::to_string(r.right - r.left) + "," + std::to_string(r.bottom - r.top);
}

// Collects the report and hands it over in one piece at the end, or before a command waits. A
// console gets UTF-16 through WriteConsoleW; a file or a pipe gets the UTF-8 bytes untouched,
// with no code page and no CR/LF translation in between.
class Output {
 public:
  Output() = default;
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;
  ~Output() { Flush(); }

  void Fact(std::string_view key, std::string_view value) {
    text_.append(key).append("=").append(value).append("\n");
  }
  void Line(std::string_view line) { text_.append(line).append("\n"); }

  // Hands over what was collected so far.
  void Flush() {
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(out, &mode)) {
      const std::wstring wide = Wide(text_);
      WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    } else {
      WriteFile(out, text_.data(), static_cast<DWORD>(text_.size()), &written, nullptr);
    }
    text_.clear();
  }

 private:
  std::string text_;
};

std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  const int length = GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

std::wstring ClassName(HWND hwnd) {
  wchar_t name[256] = {};
  GetClassNameW(hwnd, name, 256);
  return name;
}

bool HasClass(HWND hwnd, const std::wstring& name) {
  return CompareStringOrdinal(ClassName(hwnd).c_str(), -1, name.c_str(), -1, TRUE) == CSTR_EQUAL;
}

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)); }
DWORD ExStyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)); }

DWORD ProcessOf(HWND hwnd) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  return pid;
}

// Top-level windows, highest in the z-order first, invisible ones included.
std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) windows.push_back(w);
  return windows;
}

std::optional<int> ZIndexOf(const std::vector<HWND>& windows, const std::wstring& class_name) {
  for (std::size_t i = 0; i < windows.size(); ++i) {
    if (HasClass(windows[i], class_name)) return static_cast<int>(i);
  }
  return std::nullopt;
}

// The style bits a driver checks by name; the hex values are printed as well.
struct StyleBit {
  const char* name;
  bool extended;
  DWORD bits;  // all of them must be set
};
constexpr std::array<StyleBit, 10> kStyleBits{{
    {"topmost", true, WS_EX_TOPMOST},
    {"noactivate", true, WS_EX_NOACTIVATE},
    {"toolwindow", true, WS_EX_TOOLWINDOW},
    {"appwindow", true, WS_EX_APPWINDOW},
    {"caption", false, WS_CAPTION},
    {"sysmenu", false, WS_SYSMENU},
    {"minimizebox", false, WS_MINIMIZEBOX},
    {"maximizebox", false, WS_MAXIMIZEBOX},
    {"sizable", false, WS_THICKFRAME},
    {"disabled", false, WS_DISABLED},
}};

// The shell's rule for a taskbar button: a visible window that asks for one with
// WS_EX_APPWINDOW, or an unowned one that is neither a tool window nor non-activating.
bool HasTaskbarButton(HWND hwnd) {
  const DWORD ex = ExStyleOf(hwnd);
  if (!IsWindowVisible(hwnd)) return false;
  if (ex & WS_EX_APPWINDOW) return true;
  return !GetWindow(hwnd, GW_OWNER) && !(ex & (WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE));
}

UINT DpiOf(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  const auto proc = GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow");
  if (proc) {
    return reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void (*)()>(proc))(hwnd);
  }
  const HDC dc = GetDC(hwnd);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(hwnd, dc);
  return static_cast<UINT>(dpi);
}

// Rectangles in physical pixels even where the system scales: the probe is made DPI aware.
RECT ClientOnScreen(HWND hwnd) {
  RECT r{};
  GetClientRect(hwnd, &r);
  MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void DescribeTopLevel(Output& out, HWND hwnd) {
  RECT window{};
  GetWindowRect(hwnd, &window);
  const RECT client = ClientOnScreen(hwnd);
  out.Fact("hwnd", Handle(hwnd));
  out.Fact("class", Escaped(ClassName(hwnd)));
  out.Fact("text", Escaped(WindowText(hwnd)));
  out.Fact("pid", std::to_string(ProcessOf(hwnd)));
  out.Fact("style", Hex(StyleOf(hwnd)));
  out.Fact("exstyle", Hex(ExStyleOf(hwnd)));
  out.Fact("rect", Rect(window));
  out.Fact("size", Size(window));
  out.Fact("client", Rect(client));
  out.Fact("client_size", Size(client));
  out.Fact("visible", Flag(IsWindowVisible(hwnd)));
  for (const StyleBit& b : kStyleBits) {
    const DWORD value = b.extended ? ExStyleOf(hwnd) : StyleOf(hwnd);
    out.Fact(b.name, Flag((value & b.bits) == b.bits));
  }
  out.Fact("taskbar", Flag(HasTaskbarButton(hwnd)));
  out.Fact("dpi", std::to_string(DpiOf(hwnd)));
  out.Fact("owner", Handle(GetWindow(hwnd, GW_OWNER)));
  out.Fact("foreground", Flag(GetForegroundWindow() == hwnd));
}

std::string ChildLine(HWND child, HWND parent, int index, int depth, int z) {
  RECT screen{};
  GetWindowRect(child, &screen);
  RECT in_parent = screen;
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&in_parent), 2);
  return "child n=" + std::to_string(index) + " depth=" + std::to_string(depth) +
         " parent=" + Handle(parent) + " hwnd=" + Handle(child) + " z=" + std::to_string(z) +
         " id=" + std::to_string(GetDlgCtrlID(child)) + " class=" + Escaped(ClassName(child)) +
         " visible=" + Flag(IsWindowVisible(child)) + " enabled=" + Flag(IsWindowEnabled(child)) +
         " style=" + Hex(StyleOf(child)) + " exstyle=" + Hex(ExStyleOf(child)) +
         " rect=" + Rect(screen) + " pos=" + std::to_string(in_parent.left) + "," +
         std::to_string(in_parent.top) + "," + Size(screen) + " text=" + Escaped(WindowText(child));
}

// Depth first, each parent's children in z-order (GW_HWNDNEXT), so `z` is a child's place among
// its siblings, 0 on top.
void DescribeChildren(Output& out, HWND parent, int depth, int& count) {
  int z = 0;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    out.Line(ChildLine(child, parent, count++, depth, z++));
    DescribeChildren(out, child, depth + 1, count);
  }
}

int Tree(Output& out, const std::vector<std::wstring>& args) {
  const HWND hwnd = FindWindowW(args[0].c_str(), nullptr);
  out.Fact("found", Flag(hwnd != nullptr));
  if (!hwnd) return kExitNotFound;
  DescribeTopLevel(out, hwnd);
  int count = 0;
  DescribeChildren(out, hwnd, 1, count);
  out.Fact("children", std::to_string(count));
  return 0;
}

int Foreground(Output& out, const std::vector<std::wstring>&) {
  const HWND hwnd = GetForegroundWindow();
  out.Fact("hwnd", Handle(hwnd));
  if (!hwnd) return kExitNotFound;
  out.Fact("class", Escaped(ClassName(hwnd)));
  out.Fact("text", Escaped(WindowText(hwnd)));
  out.Fact("pid", std::to_string(ProcessOf(hwnd)));
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info);
  out.Fact("active", Handle(info.hwndActive));
  out.Fact("focus", Handle(info.hwndFocus));
  out.Fact("focus_class", info.hwndFocus ? Escaped(ClassName(info.hwndFocus)) : "");
  return 0;
}

int ZOrder(Output& out, const std::vector<std::wstring>& args) {
  const auto windows = TopLevelWindows();
  const auto first = ZIndexOf(windows, args[0]);
  const auto second = ZIndexOf(windows, args[1]);
  out.Fact("index1", first ? std::to_string(*first) : "none");
  out.Fact("index2", second ? std::to_string(*second) : "none");
  if (!first || !second) return kExitNotFound;
  out.Fact("higher", Escaped(*first <= *second ? args[0] : args[1]));
  return 0;
}

int Count(Output& out, const std::vector<std::wstring>& args) {
  int all = 0;
  int visible = 0;
  for (HWND w : TopLevelWindows()) {
    if (!HasClass(w, args[0])) continue;
    ++all;
    if (IsWindowVisible(w)) ++visible;
  }
  out.Fact("count", std::to_string(all));
  out.Fact("visible", std::to_string(visible));
  return 0;
}

int List(Output& out, const std::vector<std::wstring>&) {
  const auto windows = TopLevelWindows();
  for (std::size_t z = 0; z < windows.size(); ++z) {
    const HWND w = windows[z];
    out.Line("window z=" + std::to_string(z) + " hwnd=" + Handle(w) +
             " pid=" + std::to_string(ProcessOf(w)) + " visible=" + Flag(IsWindowVisible(w)) +
             " topmost=" + Flag(ExStyleOf(w) & WS_EX_TOPMOST) +
             " class=" + Escaped(ClassName(w)) + " text=" + Escaped(WindowText(w)));
  }
  out.Fact("windows", std::to_string(windows.size()));
  return 0;
}

int Close(Output& out, const std::vector<std::wstring>& args) {
  const HWND hwnd = FindWindowW(args[0].c_str(), nullptr);
  out.Fact("found", Flag(hwnd != nullptr));
  if (!hwnd) return kExitNotFound;
  out.Fact("posted", Flag(PostMessageW(hwnd, WM_CLOSE, 0, 0)));
  return 0;
}

std::optional<WORD> ParseVk(const std::wstring& text) {
  if (text.empty()) return std::nullopt;
  wchar_t* end = nullptr;
  const unsigned long value = std::wcstoul(text.c_str(), &end, 10);
  if (*end != L'\0' || value > 255) return std::nullopt;
  return static_cast<WORD>(value);
}

INPUT KeyInput(WORD vk, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

// down:<vk>, up:<vk> or tap:<vk>, in the order given.
std::optional<std::vector<INPUT>> ParseKeys(const std::vector<std::wstring>& args) {
  std::vector<INPUT> inputs;
  for (const std::wstring& arg : args) {
    const auto colon = arg.find(L':');
    if (colon == std::wstring::npos) return std::nullopt;
    const std::wstring action = arg.substr(0, colon);
    const auto vk = ParseVk(arg.substr(colon + 1));
    if (!vk) return std::nullopt;
    if (action == L"down" || action == L"tap") inputs.push_back(KeyInput(*vk, false));
    if (action == L"up" || action == L"tap") inputs.push_back(KeyInput(*vk, true));
    if (action != L"down" && action != L"up" && action != L"tap") return std::nullopt;
  }
  return inputs;
}

int Send(Output& out, const std::vector<std::wstring>& args) {
  auto inputs = ParseKeys(args);
  if (!inputs || inputs->empty()) return kExitUsage;
  const UINT sent =
      SendInput(static_cast<UINT>(inputs->size()), inputs->data(), sizeof(INPUT));
  out.Fact("requested", std::to_string(inputs->size()));
  out.Fact("sent", std::to_string(sent));
  return sent == inputs->size() ? 0 : kExitSendIncomplete;
}

// WM_GETTEXT works across processes, unlike GetWindowText on another program's control.
int Text(Output& out, const std::vector<std::wstring>& args) {
  HWND hwnd = FindWindowW(args[0].c_str(), nullptr);
  if (hwnd && args.size() > 1) hwnd = FindWindowExW(hwnd, nullptr, args[1].c_str(), nullptr);
  out.Fact("found", Flag(hwnd != nullptr));
  if (!hwnd) return kExitNotFound;
  const auto length = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const auto n = SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(n));
  out.Fact("text", Escaped(text));
  return 0;
}

// The system copies combo box entries across processes for the standard control.
int Items(Output& out, const std::vector<std::wstring>& args) {
  const HWND top = FindWindowW(args[0].c_str(), nullptr);
  const HWND combo = top ? GetDlgItem(top, std::stoi(args[1])) : nullptr;
  out.Fact("found", Flag(combo != nullptr));
  if (!combo) return kExitNotFound;
  const auto count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring text(static_cast<std::size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
    const auto n = SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    out.Fact("item", Escaped(text));
  }
  out.Fact("items", std::to_string(count));
  return 0;
}

// Places another program's window, out of the panel's way.
int Move(Output& out, const std::vector<std::wstring>& args) {
  const HWND hwnd = FindWindowW(args[0].c_str(), nullptr);
  out.Fact("found", Flag(hwnd != nullptr));
  if (!hwnd) return kExitNotFound;
  std::array<int, 4> r{};
  for (std::size_t i = 0; i < r.size(); ++i) r[i] = static_cast<int>(std::wcstol(args[i + 1].c_str(), nullptr, 10));
  out.Fact("moved", Flag(SetWindowPos(hwnd, nullptr, r[0], r[1], r[2], r[3], SWP_NOZORDER | SWP_NOACTIVATE)));
  return 0;
}

// A tooltip keeps its text in its own process: ask for it through a block of that process's
// memory.
int Tip(Output& out, const std::vector<std::wstring>&) {
  HWND tip = nullptr;
  for (HWND w : TopLevelWindows()) {
    if (HasClass(w, TOOLTIPS_CLASSW) && IsWindowVisible(w)) tip = w;
  }
  out.Fact("shown", Flag(tip != nullptr));
  if (!tip) return kExitNotFound;
  const HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, ProcessOf(tip));
  if (!process) return kExitNotFound;
  constexpr std::size_t kChars = 256;
  auto* remote = static_cast<std::uint8_t*>(
      VirtualAllocEx(process, nullptr, sizeof(TTTOOLINFOW) + kChars * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE));
  std::wstring text(kChars, L'\0');
  bool current = false;
  if (remote) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.lpszText = reinterpret_cast<wchar_t*>(remote + sizeof tool);
    WriteProcessMemory(process, remote, &tool, sizeof tool, nullptr);
    current = SendMessageW(tip, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(remote)) != 0;
    if (current) {
      SendMessageW(tip, TTM_GETTEXTW, kChars, reinterpret_cast<LPARAM>(remote));
      ReadProcessMemory(process, remote + sizeof tool, text.data(), kChars * sizeof(wchar_t), nullptr);
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  text.resize(current ? std::wcslen(text.c_str()) : 0);
  out.Fact("tip", Escaped(text));
  return 0;
}

BOOL CALLBACK AddMonitorLine(HMONITOR monitor, HDC, LPRECT, LPARAM out) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info)) {
    reinterpret_cast<Output*>(out)->Line("monitor=" + Rect(info.rcMonitor) + " work=" + Rect(info.rcWork) +
                                         " primary=" + Flag(info.dwFlags & MONITORINFOF_PRIMARY));
  }
  return TRUE;
}

// The monitors and their work areas as Wine reports them (the work area comes from the X root
// window's _NET_WORKAREA when the Wine server starts).
int Monitors(Output& out, const std::vector<std::wstring>&) {
  EnumDisplayMonitors(nullptr, nullptr, AddMonitorLine, reinterpret_cast<LPARAM>(&out));
  return 0;
}

// The keyboard's repeat as the user set it, which a key held down on the panel follows.
int Keyboard(Output& out, const std::vector<std::wstring>&) {
  int delay = -1;
  DWORD speed = 0;
  if (!SystemParametersInfoW(SPI_GETKEYBOARDDELAY, 0, &delay, 0) ||
      !SystemParametersInfoW(SPI_GETKEYBOARDSPEED, 0, &speed, 0)) {
    return kExitNotFound;
  }
  out.Fact("delay", std::to_string(delay));
  out.Fact("speed", std::to_string(speed));
  return 0;
}

// What the system sends a window when the displays change, sent by hand: lParam must be a
// number, not a pointer, for it to cross the process boundary.
int Message(Output& out, const std::vector<std::wstring>& args) {
  const HWND hwnd = FindWindowW(args[0].c_str(), nullptr);
  out.Fact("found", Flag(hwnd != nullptr));
  if (!hwnd) return kExitNotFound;
  std::array<unsigned long long, 3> numbers{};
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    wchar_t* end = nullptr;
    numbers[i] = std::wcstoull(args[i + 1].c_str(), &end, 0);
    if (args[i + 1].empty() || *end != L'\0') return kExitUsage;
  }
  DWORD_PTR result = 0;
  const LRESULT sent = SendMessageTimeoutW(hwnd, static_cast<UINT>(numbers[0]), static_cast<WPARAM>(numbers[1]),
                                           static_cast<LPARAM>(numbers[2]), SMTO_ABORTIFHUNG, 5000, &result);
  out.Fact("sent", Flag(sent != 0));
  out.Fact("result", std::to_string(result));
  return sent ? 0 : kExitNotFound;
}

// Another program's topmost window over the panel, to see the panel come back on top.
int Cover(Output& out, const std::vector<std::wstring>& args) {
  std::array<int, 5> numbers{};
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    wchar_t* end = nullptr;
    const long value = std::wcstol(args[i].c_str(), &end, 10);
    if (args[i].empty() || *end != L'\0' || value < -100000 || value > 100000) return kExitUsage;
    numbers[i] = static_cast<int>(value);
  }
  WNDCLASSW cls{};
  cls.lpfnWndProc = DefWindowProcW;
  cls.hInstance = GetModuleHandleW(nullptr);
  cls.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  cls.lpszClassName = L"YgCover";
  RegisterClassW(&cls);
  const HWND hwnd = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"YgCover", L"YgCover",
                                    WS_POPUP, numbers[0], numbers[1], numbers[2], numbers[3], nullptr, nullptr,
                                    cls.hInstance, nullptr);
  if (!hwnd) return kExitNotFound;
  ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  out.Fact("shown", "1");
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(numbers[4]) * 1000;
  while (GetTickCount64() < end) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
  DestroyWindow(hwnd);
  return 0;
}

// What another process can read of a layered window's opacity (GetLayeredWindowAttributes).
int Layered(Output& out, const std::vector<std::wstring>& args) {
  const HWND hwnd = FindWindowW(args[0].c_str(), nullptr);
  out.Fact("found", Flag(hwnd != nullptr));
  if (!hwnd) return kExitNotFound;
  BYTE alpha = 255;
  DWORD flags = 0;
  const bool layered = (ExStyleOf(hwnd) & WS_EX_LAYERED) != 0;
  if (layered && GetLayeredWindowAttributes(hwnd, nullptr, &alpha, &flags) && !(flags & LWA_ALPHA)) alpha = 255;
  out.Fact("layered", Flag(layered));
  out.Fact("alpha", std::to_string(alpha));
  return 0;
}

// Another program holding a key combination: the panel must be refused it.
int Hotkey(Output& out, const std::vector<std::wstring>& args) {
  const auto modifiers = std::wcstoul(args[0].c_str(), nullptr, 10);
  const auto vk = ParseVk(args[1]);
  const auto seconds = std::wcstoul(args[2].c_str(), nullptr, 10);
  if (!vk || seconds > 600) return kExitUsage;
  const bool registered = RegisterHotKey(nullptr, 1, static_cast<UINT>(modifiers), *vk) != FALSE;
  out.Fact("registered", Flag(registered));
  out.Flush();  // the driver waits for this line before it goes on
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
  while (registered && GetTickCount64() < end) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
  return registered ? 0 : kExitNotFound;
}

struct Command {
  const wchar_t* name;
  std::size_t min_args;
  std::size_t max_args;
  int (*run)(Output&, const std::vector<std::wstring>&);
};
constexpr std::array<Command, 17> kCommands{{
    {L"tip", 0, 0, Tip},
    {L"move", 5, 5, Move},
    {L"text", 1, 2, Text},
    {L"items", 2, 2, Items},
    {L"cover", 5, 5, Cover},
    {L"tree", 1, 1, Tree},
    {L"foreground", 0, 0, Foreground},
    {L"zorder", 2, 2, ZOrder},
    {L"count", 1, 1, Count},
    {L"list", 0, 0, List},
    {L"close", 1, 1, Close},
    {L"send", 1, 10000, Send},
    {L"message", 4, 4, Message},
    {L"monitors", 0, 0, Monitors},
    {L"layered", 1, 1, Layered},
    {L"hotkey", 3, 3, Hotkey},
    {L"keyboard", 0, 0, Keyboard},
}};

constexpr char kUsage[] =
    "usage: yg_probe.exe tree <class> | foreground | zorder <class> <class> | count <class> |\n"
    "       list | close <class> | text <class> [<child-class>] | items <class> <id> |\n"
    "       move <class> <x> <y> <w> <h> | tip | cover <x> <y> <w> <h> <s> |\n"
    "       message <class> <message> <wparam> <lparam> | monitors | layered <class> | keyboard |\n"
    "       hotkey <modifiers> <vk> <seconds> |\n"
    "       send down:<vk>|up:<vk>|tap:<vk>...\n";

int Usage() {
  yg::tools::Usage(kUsage);
  return kExitUsage;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return Usage();
  yg::tools::BecomeDpiAware();
  const std::wstring name = argv[1];
  const std::vector<std::wstring> args(argv + 2, argv + argc);
  for (const Command& command : kCommands) {
    if (name != command.name) continue;
    if (args.size() < command.min_args || args.size() > command.max_args) return Usage();
    Output out;
    const int status = command.run(out, args);
    return status == kExitUsage ? Usage() : status;
  }
  return Usage();
}
