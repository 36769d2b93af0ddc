#include "platform/win32/shell_win.h"

#include <objbase.h>

#include <cwchar>
#include <string>
#include <vector>

#include "base/errors.h"
#include "platform/win32/panel_parts_win.h"
#include "platform/win32/system_dll_win.h"
#include "platform/win32/text_win.h"

namespace yg::win32 {

namespace {

// "Local\": one copy per user session, so that several users of one machine each have theirs.
constexpr wchar_t kSingleCopyName[] = L"Local\\YgKeyPanel.SingleCopy";
}  // namespace

SingleCopy SingleCopyFrom(bool gotHandle, DWORD lastError) {
  if (gotHandle) return lastError == ERROR_ALREADY_EXISTS ? SingleCopy::Another : SingleCopy::First;
  // A copy run as administrator made the mutex with a security descriptor that only
  // administrators may open: to a copy of the same user run normally, that is a copy running.
  return lastError == ERROR_ACCESS_DENIED ? SingleCopy::Another : SingleCopy::Failed;
}

bool SystemShell::AnotherCopyRunning() {
  singleCopy_.reset(CreateMutexW(nullptr, FALSE, kSingleCopyName));
  const DWORD error = GetLastError();
  switch (SingleCopyFrom(static_cast<bool>(singleCopy_), error)) {
    case SingleCopy::First: return false;
    case SingleCopy::Another: return true;
    case SingleCopy::Failed: break;
  }
  throw PanelError(ErrorKind::FacilityFailed, "CreateMutexW " + std::to_string(error));
}

void SystemShell::TellRunningCopy() {
  // Posted: this copy ends at once and waits for nobody. The window is found hidden or shown.
  if (const HWND running = FindWindowW(panel::kPanelClass, nullptr)) {
    PostMessageW(running, panel::StartedAgainMessage(), 0, 0);
  }
}

std::u16string SystemShell::ExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) throw PanelError(ErrorKind::FacilityFailed, "GetModuleFileNameW");
    if (n < path.size()) {
      path.resize(n);
      return FromWide(path);
    }
    path.resize(path.size() * 2);
  }
}

std::u16string SystemShell::ExecutableFolder() {
  std::wstring path = WideCopy(ExecutablePath());
  const auto slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) throw PanelError(ErrorKind::FacilityFailed, "program path has no folder");
  // A drive's root folder keeps its backslash ("C:\"); any other folder drops it.
  const bool root = slash == 2 && path[1] == L':';
  path.resize(root ? slash + 1 : slash);
  return FromWide(path);
}

ProgramVersion SystemShell::Version() {
  // version.dll is no Known DLL: loaded from the system folder, and only when asked.
  using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);
  static const auto query = SystemFunction<QueryFn>(L"version.dll", "VerQueryValueW");
  const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
  const HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
  const void* resource = loaded ? LockResource(loaded) : nullptr;
  if (!query || !resource) return {};
  // VerQueryValueW may write into the block it reads: it gets a copy.
  const auto* bytes = static_cast<const BYTE*>(resource);
  std::vector<BYTE> block(bytes, bytes + SizeofResource(nullptr, found));
  struct Translation {
    WORD language, codePage;
  }* translation = nullptr;
  UINT size = 0;
  if (!query(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &size) ||
      size < sizeof(Translation)) {
    return {};
  }
  wchar_t prefix[64];
  swprintf(prefix, 64, L"\\StringFileInfo\\%04x%04x\\", translation->language, translation->codePage);
  const auto text = [&](const wchar_t* name) {
    const std::wstring path = std::wstring(prefix) + name;
    wchar_t* value = nullptr;
    UINT length = 0;
    if (!query(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !value) return std::u16string();
    return FromWide(std::wstring_view(value, wcsnlen(value, length)));
  };
  return {text(L"FileDescription"), text(L"ProductVersion"), text(L"LegalCopyright")};
}

std::intptr_t SystemShell::Execute(std::u16string_view verb, std::u16string_view file,
                                   std::u16string_view parameters, std::u16string_view directory,
                                   int showCommand) {
  // The shell, and the COM it may hand the file to, are loaded on the first help click: the
  // panel needs neither to start, and both are heavy to load.
  using CoInitializeExFn = HRESULT(WINAPI*)(LPVOID, DWORD);
  using ShellExecuteWFn = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
  static const auto shellExecute = [] {
    if (const auto coInitialize = SystemFunction<CoInitializeExFn>(L"ole32.dll", "CoInitializeEx")) {
      coInitialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    }
    return SystemFunction<ShellExecuteWFn>(L"shell32.dll", "ShellExecuteW");
  }();
  if (!shellExecute) throw PanelError(ErrorKind::FacilityFailed, "shell32.dll");
  // The wide call: a folder named outside the system's ANSI code page must still be found.
  const std::wstring v = WideCopy(verb), f = WideCopy(file), p = WideCopy(parameters), d = WideCopy(directory);
  const HINSTANCE result = shellExecute(owner, v.c_str(), f.c_str(), p.c_str(), d.c_str(), showCommand);
  return reinterpret_cast<std::intptr_t>(result);
}

}  // namespace yg::win32
