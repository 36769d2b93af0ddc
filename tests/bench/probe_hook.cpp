// yg_probe_hook.dll: see probe_hook.h. Loaded by the system into the watched program when its
// thread first meets the hook.
#include "tests/bench/probe_hook.h"

namespace {

using namespace yg::tools::probe;

Shared* g_shared = nullptr;
Counts* g_slot = nullptr;
UINT g_request = 0;

// The slot of this process in the shared memory, claimed on first use.
Counts* Slot() {
  if (g_slot) return g_slot;
  if (!g_shared) {
    const HANDLE mapping = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, kSharedName);
    if (!mapping) return nullptr;
    g_shared = static_cast<Shared*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Shared)));
    CloseHandle(mapping);  // the view keeps the memory
    if (!g_shared) return nullptr;
    g_request = RegisterWindowMessageW(kRequestMessage);
  }
  const auto pid = static_cast<LONG>(GetCurrentProcessId());
  for (Counts& c : g_shared->slots) {
    if (c.pid == pid || InterlockedCompareExchange(&c.pid, pid, 0) == 0) return g_slot = &c;
  }
  return nullptr;
}

// Windows sends WM_DPICHANGED from the window's own thread with a rectangle in the window's
// process; so does this, with the size the window asks for at that DPI.
void ChangeDpi(HWND window, LPARAM packed) {
  int dpi = 0, left = 0, top = 0;
  UnpackDpiChange(packed, dpi, left, top);
  SIZE size{};
  if (!SendMessageW(window, WM_GETDPISCALEDSIZE, static_cast<WPARAM>(dpi), reinterpret_cast<LPARAM>(&size))) {
    RECT now{};
    GetWindowRect(window, &now);
    size = {now.right - now.left, now.bottom - now.top};
  }
  RECT suggested{left, top, left + size.cx, top + size.cy};
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

void Perform(const CWPSTRUCT& message, Counts& slot) {
  switch (message.wParam) {
    case kPing: break;
    case kDpiChange: ChangeDpi(message.hwnd, message.lParam); break;
    default: return;
  }
  InterlockedIncrement(&slot.requests);
}

bool IsInput(UINT message) {
  return (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
         (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK YgProbeCallWndProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    if (Counts* slot = Slot()) {
      const auto& message = *reinterpret_cast<const CWPSTRUCT*>(lParam);
      InterlockedIncrement(&slot->sent);
      if (message.message == g_request && g_request != 0) Perform(message, *slot);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

extern "C" __declspec(dllexport) LRESULT CALLBACK YgProbeGetMessage(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == PM_REMOVE) {
    if (Counts* slot = Slot()) {
      const UINT message = reinterpret_cast<const MSG*>(lParam)->message;
      InterlockedIncrement(&slot->retrieved);
      if (message == WM_TIMER || message == 0x0118 /* WM_SYSTIMER */) InterlockedIncrement(&slot->timers);
      if (message == WM_PAINT) InterlockedIncrement(&slot->paints);
      if (IsInput(message)) InterlockedIncrement(&slot->input);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
