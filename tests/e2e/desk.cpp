// yg_desk: the end-to-end driver's hands and eyes on the desktop, the same on Windows and under
// Wine: it moves the mouse and presses its buttons and keys through SendInput, as a hand on the
// mouse and keyboard would, and takes screenshots. Coordinates are physical pixels of the virtual
// desktop.
//
//   yg_desk.exe <command> [args...]   one command; its answer on standard output
//   yg_desk.exe                       commands from standard input, one a line, until its end;
//                                     one answer line each, as soon as it is done
//
// Commands:
//   info              mark=0x<dwExtraInfo of our input> desk=<l,t,r,b of the virtual desktop>
//                     screen=<w,h of the primary monitor> dpi=<the system's>
//   move <x> <y>      moves the pointer there (absolute, virtual-desktop coordinates) and waits
//                     until the system has it there: at=<x,y>
//   down <button> <x> <y>
//                     presses a button (1 left, 2 middle, 3 right) with the pointer at x, y
//   up <button> <x> <y>
//                     releases it there
//   key <chord>       taps a key with its modifiers in one batch: Tab, shift+Tab, ctrl+alt+Delete
//   shot <file.png>   the whole virtual desktop as a PNG: size=<w,h>
// Answers start with `ok` and go on with the facts above, or are `error <why>`. Every input carries
// the mark in dwExtraInfo, so that a low-level hook can tell it from the input under test. A
// button goes down and up at the position it is given, in the same input as the button: between
// two commands something else may move the pointer (under Wine, a window's X events that arrive
// late), and a click must land where it was aimed.
//
// Exit status of a single command: 0 done, 1 bad usage, 3 the system refused the input or the
// pointer did not get there, 4 the file could not be written.
#include <windows.h>

#include "tests/e2e/console_tool.h"
#include "tests/e2e/desk_logic.h"

#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kExitUsage = 1;
constexpr int kExitRefused = 3;
constexpr int kExitFile = 4;

struct Answer {
  int status;
  std::string text;
};

Answer Ok(std::string facts = {}) { return {0, facts.empty() ? "ok" : "ok " + facts}; }
Answer Error(int status, std::string why) { return {status, "error " + why}; }

std::string Pair(long a, long b) { return std::to_string(a) + "," + std::to_string(b); }

using yg::tools::Utf8;
using yg::tools::Wide;

std::optional<int> ParseInt(std::string_view text) {
  if (text.empty() || text.size() > 7) return std::nullopt;
  int value = 0;
  bool negative = text.front() == '-';
  if (negative) text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return negative ? -value : value;
}

RECT VirtualDesk() {
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN), top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

bool Send(std::vector<INPUT>& inputs) {
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

INPUT MouseInput(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  input.mi.dwExtraInfo = yg::desk::kDriverMark;
  return input;
}

Answer Info(const std::vector<std::string>&) {
  const RECT desk = VirtualDesk();
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  char mark[24];
  std::snprintf(mark, sizeof mark, "0x%llx", static_cast<unsigned long long>(yg::desk::kDriverMark));
  return Ok(std::string("mark=") + mark + " desk=" + Pair(desk.left, desk.top) + "," +
            Pair(desk.right, desk.bottom) + " screen=" +
            Pair(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)) + " dpi=" + std::to_string(dpi));
}

// A mouse input at a point of the virtual desktop, with the flags of what else it does there.
std::optional<INPUT> MouseInputAt(const std::string& x_text, const std::string& y_text, DWORD flags) {
  const auto x = ParseInt(x_text);
  const auto y = ParseInt(y_text);
  if (!x || !y) return std::nullopt;
  const RECT desk = VirtualDesk();
  INPUT input = MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK | flags);
  input.mi.dx = yg::desk::NormalizedCoordinate(*x, desk.left, desk.right - desk.left);
  input.mi.dy = yg::desk::NormalizedCoordinate(*y, desk.top, desk.bottom - desk.top);
  return input;
}

// SendInput hands the move to the system's input queue; the pointer is there a moment later.
Answer Move(const std::vector<std::string>& args) {
  const auto input = MouseInputAt(args[0], args[1], 0);
  if (!input) return Error(kExitUsage, "move wants two whole numbers");
  std::vector<INPUT> inputs{*input};
  if (!Send(inputs)) return Error(kExitRefused, "SendInput refused the move");
  const int x = *ParseInt(args[0]);
  const int y = *ParseInt(args[1]);
  POINT at{};
  const ULONGLONG end = GetTickCount64() + 2000;
  do {
    GetCursorPos(&at);
    if (at.x == x && at.y == y) return Ok("at=" + Pair(at.x, at.y));
    Sleep(5);
  } while (GetTickCount64() < end);
  return Error(kExitRefused, "the pointer is at " + Pair(at.x, at.y) + ", not at " + Pair(x, y));
}

std::optional<DWORD> ButtonFlag(std::string_view button, bool down) {
  if (button == "1") return down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  if (button == "2") return down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP;
  if (button == "3") return down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
  return std::nullopt;
}

Answer Button(const std::vector<std::string>& args, bool down) {
  const auto flag = ButtonFlag(args[0], down);
  if (!flag) return Error(kExitUsage, "a button is 1, 2 or 3");
  const auto input = MouseInputAt(args[1], args[2], *flag);
  if (!input) return Error(kExitUsage, "a button wants a position of two whole numbers");
  std::vector<INPUT> inputs{*input};
  return Send(inputs) ? Ok() : Error(kExitRefused, "SendInput refused the button");
}

Answer Down(const std::vector<std::string>& args) { return Button(args, true); }
Answer Up(const std::vector<std::string>& args) { return Button(args, false); }

INPUT KeyInput(const yg::desk::ChordKey& key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key.vk;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key.vk, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (key.extended ? KEYEVENTF_EXTENDEDKEY : 0);
  input.ki.dwExtraInfo = yg::desk::kDriverMark;
  return input;
}

// The modifiers go down in order, the key is tapped, and the modifiers come up in reverse.
Answer Key(const std::vector<std::string>& args) {
  const auto chord = yg::desk::ParseChord(args[0]);
  if (!chord) return Error(kExitUsage, "unknown key " + args[0]);
  std::vector<INPUT> inputs;
  for (const auto& key : *chord) inputs.push_back(KeyInput(key, false));
  for (auto key = chord->rbegin(); key != chord->rend(); ++key) inputs.push_back(KeyInput(*key, true));
  return Send(inputs) ? Ok() : Error(kExitRefused, "SendInput refused the keys");
}

class ScreenCopy {
 public:
  explicit ScreenCopy(const RECT& area)
      : width_(area.right - area.left), height_(area.bottom - area.top), screen_(GetDC(nullptr)),
        memory_(CreateCompatibleDC(screen_)) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;  // top down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap_ = CreateDIBSection(screen_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    if (!bitmap_ || !memory_) return;
    const HGDIOBJ old = SelectObject(memory_, bitmap_);
    // CAPTUREBLT: windows drawn in layers (tooltips among them) are in the picture too.
    ok_ = BitBlt(memory_, 0, 0, width_, height_, screen_, area.left, area.top, SRCCOPY | CAPTUREBLT) != FALSE;
    SelectObject(memory_, old);
    GdiFlush();
  }
  ScreenCopy(const ScreenCopy&) = delete;
  ScreenCopy& operator=(const ScreenCopy&) = delete;
  ~ScreenCopy() {
    if (bitmap_) DeleteObject(bitmap_);
    if (memory_) DeleteDC(memory_);
    ReleaseDC(nullptr, screen_);
  }

  bool ok() const { return ok_; }

  // The pixels as RGB, 3 bytes each.
  std::vector<std::uint8_t> Rgb() const {
    std::vector<std::uint8_t> rgb;
    rgb.reserve(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 3);
    const auto* bgrx = static_cast<const std::uint8_t*>(bits_);
    for (std::size_t i = 0; i < static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_); ++i) {
      rgb.push_back(bgrx[4 * i + 2]);
      rgb.push_back(bgrx[4 * i + 1]);
      rgb.push_back(bgrx[4 * i]);
    }
    return rgb;
  }

 private:
  int width_;
  int height_;
  HDC screen_;
  HDC memory_;
  HBITMAP bitmap_ = nullptr;
  void* bits_ = nullptr;
  bool ok_ = false;
};

bool WriteWholeFile(const std::wstring& path, const std::string& bytes) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  CloseHandle(file);
  return ok;
}

Answer Shot(const std::vector<std::string>& args) {
  const RECT desk = VirtualDesk();
  const ScreenCopy copy(desk);
  if (!copy.ok()) return Error(kExitRefused, "the screen could not be copied");
  const int width = desk.right - desk.left;
  const int height = desk.bottom - desk.top;
  if (!WriteWholeFile(Wide(args[0]), yg::desk::EncodePng(width, height, copy.Rgb()))) {
    return Error(kExitFile, "cannot write " + args[0]);
  }
  return Ok("size=" + Pair(width, height));
}

struct Command {
  std::string_view name;
  std::size_t args;
  Answer (*run)(const std::vector<std::string>&);
};
constexpr Command kCommands[] = {
    {"info", 0, Info},
    {"move", 2, Move},
    {"down", 3, Down},
    {"up", 3, Up},
    {"key", 1, Key},
    {"shot", 1, Shot},
};

Answer Perform(const std::vector<std::string>& words) {
  if (words.empty()) return Error(kExitUsage, "no command");
  for (const Command& command : kCommands) {
    if (words[0] != command.name) continue;
    if (words.size() != command.args + 1) return Error(kExitUsage, words[0] + " wants " + std::to_string(command.args) + " argument(s)");
    return command.run({words.begin() + 1, words.end()});
  }
  return Error(kExitUsage, "unknown command " + words[0]);
}

// Words separated by spaces; a file name is the rest of its line, so that it may hold spaces.
std::vector<std::string> Words(std::string_view line) {
  std::vector<std::string> words;
  while (!line.empty()) {
    const std::size_t start = line.find_first_not_of(' ');
    if (start == std::string_view::npos) break;
    line.remove_prefix(start);
    if (words.size() == 1 && words[0] == "shot") {
      words.emplace_back(line);
      break;
    }
    const std::size_t end = line.find(' ');
    words.emplace_back(line.substr(0, end));
    line.remove_prefix(end == std::string_view::npos ? line.size() : end);
  }
  return words;
}

void Say(const std::string& text) {
  const std::string line = text + "\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

// Reads standard input to its end, answering each line before the next is read.
int Serve() {
  const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  std::string pending;
  char buffer[512];
  DWORD got = 0;
  while (ReadFile(in, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    pending.append(buffer, got);
    for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
      std::string line = pending.substr(0, end);
      pending.erase(0, end + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty()) Say(Perform(Words(line)).text);
    }
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  yg::tools::BecomeDpiAware();
  if (argc < 2) return Serve();
  std::vector<std::string> words;
  for (int i = 1; i < argc; ++i) words.push_back(Utf8(argv[i]));
  const Answer answer = Perform(words);
  Say(answer.text);
  if (answer.status == kExitUsage) {
    yg::tools::Usage(
        "usage: yg_desk.exe [info | move <x> <y> | down <button> <x> <y> | up <button> <x> <y> |\n"
        "                    key <chord> | shot <file.png>]\n");
  }
  return answer.status;
}
