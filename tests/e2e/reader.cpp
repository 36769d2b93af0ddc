// yg_reader: what a screen reader meets on a program's window, asked the way screen readers ask,
// through Active Accessibility (oleacc) from another process; one fact a line, in UTF-8.
//
//   yg_reader.exe controls <class>   every descendant window of the first top-level window of the
//                                    class, depth first, one line each:
//       control hwnd=0x.. id=<control id> class=<class> visible=0|1 hr=0x.. role=<n> state=0x..
//         hit=0x.. action=<default action> name=<name>
//     hr is what AccessibleObjectFromWindow(OBJID_CLIENT) answered; role, state, name and action
//     are the object's own (role -1 and empty texts when it has none). hit is the window a
//     screen reader reaches by hit-testing the window's centre from the top-level window's
//     object down, object by object (0x0 for a hidden window); then controls=<n>.
//   yg_reader.exe act <class> <id>   the default action of the descendant with that control id
//                                    (not an edit inside a combo box): hr=0x..
//
// Exit status: 0 done, 1 bad usage, 2 no such window, 3 the action was refused.
#include <windows.h>
#include <oleacc.h>

#include <cstdint>
#include <cwchar>
#include <string>
#include <string_view>
#include <vector>

#include "tests/e2e/console_tool.h"

namespace {

constexpr int kExitUsage = 1;
constexpr int kExitNotFound = 2;
constexpr int kExitRefused = 3;

// Spelled out: mingw-w64's IID_IAccessible is wrong in a static link.
constexpr IID kIidIAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

using yg::tools::Utf8;

std::string Hex(unsigned long long value) {
  wchar_t digits[24];
  std::swprintf(digits, 24, L"0x%llx", value);
  return Utf8(digits);
}

// One line each, without line breaks inside a text.
std::string OneLine(std::wstring text) {
  for (wchar_t& c : text) {
    if (c == L'\n' || c == L'\r' || c == L'\t') c = L' ';
  }
  return Utf8(text);
}

class Accessible {
 public:
  Accessible() = default;
  explicit Accessible(IAccessible* p) : p_(p) {}
  Accessible(const Accessible&) = delete;
  Accessible& operator=(const Accessible&) = delete;
  Accessible(Accessible&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
  Accessible& operator=(Accessible&& other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }
  ~Accessible() {
    if (p_) p_->Release();
  }
  IAccessible* get() const { return p_; }
  IAccessible** out() { return &p_; }

 private:
  IAccessible* p_ = nullptr;
};

VARIANT Self() {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = CHILDID_SELF;
  return v;
}

std::wstring Text(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), IAccessible* object) {
  BSTR text = nullptr;
  if (FAILED((object->*get)(Self(), &text)) || !text) return L"";
  std::wstring out(text, SysStringLen(text));
  SysFreeString(text);
  return out;
}

long Number(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), IAccessible* object) {
  VARIANT v;
  VariantInit(&v);
  const HRESULT hr = (object->*get)(Self(), &v);
  const long value = SUCCEEDED(hr) && v.vt == VT_I4 ? v.lVal : -1;
  VariantClear(&v);
  return value;
}

// The window a screen reader reaches at a point of the screen, going down from `top`'s object one
// hit test at a time, as it does when the user explores the screen.
HWND HitWindow(HWND top, POINT at) {
  Accessible object;
  if (FAILED(AccessibleObjectFromWindow(top, OBJID_CLIENT, kIidIAccessible, reinterpret_cast<void**>(object.out())))) {
    return nullptr;
  }
  for (int depth = 0; depth < 16; ++depth) {
    VARIANT hit;
    VariantInit(&hit);
    if (FAILED(object.get()->accHitTest(at.x, at.y, &hit))) break;
    if (hit.vt != VT_DISPATCH || !hit.pdispVal) {
      VariantClear(&hit);
      break;  // this object itself, or one of its simple children
    }
    Accessible next;
    const HRESULT hr = hit.pdispVal->QueryInterface(kIidIAccessible, reinterpret_cast<void**>(next.out()));
    VariantClear(&hit);
    if (FAILED(hr)) break;
    object = std::move(next);
  }
  HWND hwnd = nullptr;
  return SUCCEEDED(WindowFromAccessibleObject(object.get(), &hwnd)) ? hwnd : nullptr;
}

void Descendants(HWND parent, std::vector<HWND>& out) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    out.push_back(child);
    Descendants(child, out);
  }
}

std::wstring ClassName(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

int Controls(HWND top, std::string& out) {
  std::vector<HWND> windows;
  Descendants(top, windows);
  for (HWND hwnd : windows) {
    Accessible object;
    const HRESULT hr =
        AccessibleObjectFromWindow(hwnd, OBJID_CLIENT, kIidIAccessible, reinterpret_cast<void**>(object.out()));
    const bool visible = IsWindowVisible(hwnd) != FALSE;
    RECT r{};
    GetWindowRect(hwnd, &r);
    const HWND hit = visible ? HitWindow(top, {(r.left + r.right) / 2, (r.top + r.bottom) / 2}) : nullptr;
    IAccessible* p = SUCCEEDED(hr) ? object.get() : nullptr;
    out += "control hwnd=" + Hex(reinterpret_cast<std::uintptr_t>(hwnd)) + " id=" + std::to_string(GetDlgCtrlID(hwnd)) +
           " class=" + OneLine(ClassName(hwnd)) + " visible=" + (visible ? "1" : "0") + " hr=" + Hex(static_cast<unsigned long>(hr)) +
           " role=" + std::to_string(p ? Number(&IAccessible::get_accRole, p) : -1) +
           " state=" + Hex(static_cast<unsigned long>(p ? Number(&IAccessible::get_accState, p) : 0)) +
           " hit=" + Hex(reinterpret_cast<std::uintptr_t>(hit)) +
           " action=" + OneLine(p ? Text(&IAccessible::get_accDefaultAction, p) : L"") +
           " name=" + OneLine(p ? Text(&IAccessible::get_accName, p) : L"") + "\n";
  }
  out += "controls=" + std::to_string(windows.size()) + "\n";
  return 0;
}

int Act(HWND top, int id, std::string& out) {
  std::vector<HWND> windows;
  Descendants(top, windows);
  for (HWND hwnd : windows) {
    if (GetDlgCtrlID(hwnd) != id || ClassName(hwnd) == L"Edit") continue;
    Accessible object;
    HRESULT hr = AccessibleObjectFromWindow(hwnd, OBJID_CLIENT, kIidIAccessible, reinterpret_cast<void**>(object.out()));
    if (SUCCEEDED(hr)) hr = object.get()->accDoDefaultAction(Self());
    out += "hr=" + Hex(static_cast<unsigned long>(hr)) + "\n";
    return SUCCEEDED(hr) ? 0 : kExitRefused;
  }
  return kExitNotFound;
}

int Run(int argc, wchar_t** argv, std::string& out) {
  if (argc < 3) return kExitUsage;
  const std::wstring_view command = argv[1];
  const HWND top = FindWindowW(argv[2], nullptr);
  if (command == L"controls" && argc == 3) return top ? Controls(top, out) : kExitNotFound;
  if (command == L"act" && argc == 4) return top ? Act(top, _wtoi(argv[3]), out) : kExitNotFound;
  return kExitUsage;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  yg::tools::BecomeDpiAware();
  // Calls into the other program's objects go through COM.
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  std::string out;
  const int status = Run(argc, argv, out);
  CoUninitialize();
  if (status == kExitUsage) {
    yg::tools::Usage("usage: yg_reader.exe controls <class> | act <class> <control id>\n");
  }
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), out.data(), static_cast<DWORD>(out.size()), &written, nullptr);
  return status;
}
