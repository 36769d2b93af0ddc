#include "platform/win32/accessible_win.h"

#include <oleacc.h>

#include <algorithm>
#include <atomic>
#include <new>
#include <string>
#include <utility>

#include "panel/accessibility.h"
#include "platform/win32/system_dll_win.h"
#include "platform/win32/text_win.h"

namespace yg::win32 {

namespace {

std::atomic<long> liveObjects{0};

// What screen readers need of COM: ole32 for the apartment and the objects' connections, oleaut32
// for the strings they are told, oleacc for the standard objects. Each is loaded from the system
// folder when a screen reader first asks, never at start-up: a panel that no screen reader reads
// needs none of them, and under Wine loading ole32 and oleaut32 before the first window costs
// more than anything else the panel does then (oleacc is no KnownDLL either, so an import would
// be looked for beside the exe first). They stay loaded: objects made with them may outlive any
// window of ours in a screen reader's hands.
struct Com {
  decltype(&CoInitializeEx) coInitializeEx = SystemFunction<decltype(&CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
  decltype(&CoUninitialize) coUninitialize = SystemFunction<decltype(&CoUninitialize)>(L"ole32.dll", "CoUninitialize");
  decltype(&CoDisconnectObject) coDisconnectObject =
      SystemFunction<decltype(&CoDisconnectObject)>(L"ole32.dll", "CoDisconnectObject");
  decltype(&SysAllocStringLen) sysAllocStringLen =
      SystemFunction<decltype(&SysAllocStringLen)>(L"oleaut32.dll", "SysAllocStringLen");
  decltype(&CreateStdAccessibleObject) createStdAccessibleObject =
      SystemFunction<decltype(&CreateStdAccessibleObject)>(L"oleacc.dll", "CreateStdAccessibleObject");
  decltype(&LresultFromObject) lresultFromObject =
      SystemFunction<decltype(&LresultFromObject)>(L"oleacc.dll", "LresultFromObject");

  bool Complete() const {
    return coInitializeEx && coUninitialize && coDisconnectObject && sysAllocStringLen && createStdAccessibleObject &&
           lresultFromObject;
  }
};

const Com& LoadCom() {
  static const Com com;
  return com;
}

long SystemRole(AccessibleRole role) {
  switch (role) {
    case AccessibleRole::PushButton: return ROLE_SYSTEM_PUSHBUTTON;
    case AccessibleRole::Grouping: return ROLE_SYSTEM_GROUPING;
    case AccessibleRole::None: break;
  }
  return ROLE_SYSTEM_CLIENT;
}

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// Nothing thrown may cross into COM.
template <class Body>
HRESULT Guard(Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT ToBstr(std::wstring_view text, BSTR* out) {
  if (text.empty()) return S_FALSE;
  *out = LoadCom().sysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(std::max(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size())), 0)));
  return text;
}

// One control as a screen reader sees it. Name, role and default action are the control's own;
// everything else is the standard object's. Lives on the panel's thread (a single-threaded
// apartment): screen readers in other processes reach it through COM's marshalling.
class AccessibleControl final : public IAccessible, public IOleWindow, public IEnumVARIANT {
 public:
  AccessibleControl(HWND window, HWND panel, ControlId control, IAccessible* standard)
      : window_(window), panel_(panel), face_(AccessibleFaceOf(control)), standard_(standard) {
    standard_->AddRef();
    // The standard object lists a frame's children; a key has none.
    if (FAILED(standard_->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&children_)))) children_ = nullptr;
    ++liveObjects;
  }
  AccessibleControl(const AccessibleControl&) = delete;
  AccessibleControl& operator=(const AccessibleControl&) = delete;

  // The window is gone: from now on every call says so.
  void Disconnect() {
    window_ = nullptr;
    if (children_) children_->Release();
    children_ = nullptr;
    if (standard_) standard_->Release();
    standard_ = nullptr;
  }

  // IUnknown: one identity, the IAccessible.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIidIAccessible) {
      *out = static_cast<IAccessible*>(this);
    } else if (iid == IID_IOleWindow) {
      *out = static_cast<IOleWindow*>(this);
    } else if (iid == IID_IEnumVARIANT && children_) {
      *out = static_cast<IEnumVARIANT*>(this);
    } else {
      // Not IServiceProvider either: through it the standard object tells UI Automation that it
      // is the system's own, and ours would then be passed over.
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

  // IDispatch, for late-bound callers: the standard object's type information, invoked on us.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    return standard_ ? standard_->GetTypeInfoCount(count) : CO_E_OBJNOTCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override {
    return standard_ ? standard_->GetTypeInfo(index, lcid, info) : CO_E_OBJNOTCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override {
    return standard_ ? standard_->GetIDsOfNames(iid, names, count, lcid, ids) : CO_E_OBJNOTCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* badArgument) override {
    if (!standard_) return CO_E_OBJNOTCONNECTED;
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    ITypeInfo* info = nullptr;
    HRESULT hr = standard_->GetTypeInfo(0, lcid, &info);
    if (FAILED(hr) || !info) return FAILED(hr) ? hr : E_NOTIMPL;
    hr = info->Invoke(static_cast<IAccessible*>(this), member, flags, params, result, exception, badArgument);
    info->Release();
    return hr;
  }

  // IAccessible: our own three.
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (!name) return E_POINTER;
    *name = nullptr;
    if (!window_) return CO_E_OBJNOTCONNECTED;
    if (!IsSelf(child)) return E_INVALIDARG;
    return Guard([&] {
      // A button is named by its caption, as it reads now ("-" or "+", "造词开始" or "造词结束").
      return face_.name.empty() ? ToBstr(WindowText(window_), name) : ToBstr(WideCopy(face_.name), name);
    });
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!role) return E_POINTER;
    role->vt = VT_EMPTY;  // what VariantInit does, without oleaut32 for it
    if (!window_) return CO_E_OBJNOTCONNECTED;
    if (!IsSelf(child)) return E_INVALIDARG;
    role->vt = VT_I4;
    role->lVal = SystemRole(face_.role);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    if (!action) return E_POINTER;
    *action = nullptr;
    if (!window_) return CO_E_OBJNOTCONNECTED;
    if (!IsSelf(child)) return E_INVALIDARG;
    if (!Acts()) return S_FALSE;
    return Guard([&] { return ToBstr(WideCopy(kDefaultActionName), action); });
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    if (!window_) return CO_E_OBJNOTCONNECTED;
    if (!IsSelf(child)) return E_INVALIDARG;
    if (!Acts()) return DISP_E_MEMBERNOTFOUND;
    // The panel runs it from its own message loop, after this call has returned.
    return PostMessageW(panel_, kDefaultActionMessage, reinterpret_cast<WPARAM>(window_), 0) ? S_OK : E_FAIL;
  }

  // IAccessible: the rest as the standard object has it.
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return Std(&IAccessible::get_accParent, parent); }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override { return Std(&IAccessible::get_accChildCount, count); }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    return Std(&IAccessible::get_accChild, child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return Std(&IAccessible::get_accValue, child, value);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    return Std(&IAccessible::get_accDescription, child, text);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    return Std(&IAccessible::get_accState, child, state);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    return Std(&IAccessible::get_accHelp, child, help);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    return Std(&IAccessible::get_accHelpTopic, file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return Std(&IAccessible::get_accKeyboardShortcut, child, shortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override { return Std(&IAccessible::get_accFocus, focus); }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    return Std(&IAccessible::get_accSelection, selection);
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG how, VARIANT child) override { return Std(&IAccessible::accSelect, how, child); }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
    return Std(&IAccessible::accLocation, left, top, width, height, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    return Std(&IAccessible::accNavigate, direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
    return Std(&IAccessible::accHitTest, x, y, child);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
    return Std(&IAccessible::put_accName, child, name);
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return Std(&IAccessible::put_accValue, child, value);
  }

  // IOleWindow: how a screen reader finds the window of an object.
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override {
    if (!out) return E_POINTER;
    *out = window_;
    return window_ ? S_OK : CO_E_OBJNOTCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IEnumVARIANT: a frame's children, as the standard object lists them.
  HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* items, ULONG* fetched) override {
    return children_ ? children_->Next(count, items, fetched) : CO_E_OBJNOTCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    return children_ ? children_->Skip(count) : CO_E_OBJNOTCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE Reset() override { return children_ ? children_->Reset() : CO_E_OBJNOTCONNECTED; }
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) override {
    return children_ ? children_->Clone(copy) : CO_E_OBJNOTCONNECTED;
  }

 private:
  ~AccessibleControl() {
    Disconnect();
    --liveObjects;
  }

  // A key that is shown acts; a hidden one (the radicals in compact mode) cannot be clicked.
  bool Acts() const { return face_.action != AccessibleAction::None && IsWindowVisible(window_); }

  template <class... Params, class... Args>
  HRESULT Std(HRESULT (STDMETHODCALLTYPE IAccessible::*method)(Params...), Args&&... args) {
    return standard_ ? (standard_->*method)(std::forward<Args>(args)...) : CO_E_OBJNOTCONNECTED;
  }

  std::atomic<ULONG> refs_{1};
  HWND window_;
  HWND panel_;
  AccessibleFace face_;
  IAccessible* standard_;
  IEnumVARIANT* children_ = nullptr;
};

}  // namespace

struct ScreenReaders::Slot {
  HWND window;
  AccessibleControl* object = nullptr;
  bool going = false;  // WM_DESTROY has come: no new object, or nothing would ever let it go
};

long LiveAccessibleObjects() { return liveObjects; }

ScreenReaders::ScreenReaders() = default;

ScreenReaders::~ScreenReaders() {
  for (const auto& slot : slots_) Forget(*slot);
  if (comStarted_) LoadCom().coUninitialize();
}

bool ScreenReaders::OnMessage(HWND window, ControlId control, HWND panel, UINT message, WPARAM wParam, LPARAM lParam,
                              LRESULT& result) {
  switch (message) {
    case WM_GETOBJECT:
      // The object id arrives as a 32-bit number in a 64-bit lParam.
      if (static_cast<LONG>(lParam) != OBJID_CLIENT || AccessibleFaceOf(control).role == AccessibleRole::None) break;
      result = Answer(SlotOf(window), control, panel, wParam);
      return result != 0;
    case WM_DESTROY: {
      // Its children still go after this, and whatever asks while they do is told nothing.
      Slot& slot = SlotOf(window);
      slot.going = true;
      Forget(slot);
      break;
    }
    case WM_NCDESTROY:
      // Gone: the handle may come back for another window.
      std::erase_if(slots_, [window](const auto& slot) { return slot->window == window; });
      break;
    default:
      break;
  }
  return false;
}

ScreenReaders::Slot& ScreenReaders::SlotOf(HWND window) {
  for (const auto& slot : slots_) {
    if (slot->window == window) return *slot;
  }
  return *slots_.emplace_back(std::make_unique<Slot>(Slot{window}));
}

// Our object for the window, made at the first question; 0 leaves the system's own to answer.
LRESULT ScreenReaders::Answer(Slot& slot, ControlId control, HWND panel, WPARAM wParam) {
  if (slot.going || !Ready()) return 0;
  const Com& com = LoadCom();
  if (!slot.object) {
    IAccessible* standard = nullptr;
    if (FAILED(com.createStdAccessibleObject(slot.window, OBJID_CLIENT, kIidIAccessible,
                                                reinterpret_cast<void**>(&standard))) ||
        !standard) {
      return 0;
    }
    try {
      slot.object = new AccessibleControl(slot.window, panel, control, standard);
    } catch (...) {
      slot.object = nullptr;
    }
    standard->Release();
    if (!slot.object) return 0;
  }
  const LRESULT answer = com.lresultFromObject(kIidIAccessible, wParam, static_cast<IAccessible*>(slot.object));
  return answer > 0 ? answer : 0;
}

// The window goes: its object answers no more, screen readers that hold it are cut off (which
// also frees what COM held for them), and our own reference goes.
void ScreenReaders::Forget(Slot& slot) {
  AccessibleControl* object = std::exchange(slot.object, nullptr);
  if (!object) return;
  object->Disconnect();
  LoadCom().coDisconnectObject(static_cast<IAccessible*>(object), 0);
  object->Release();
}

// COM on the panel's thread as a single-threaded apartment, so that screen readers' calls arrive
// through its message loop, one at a time; at the first question only.
bool ScreenReaders::Ready() {
  if (state_ == State::Untried) {
    const Com& com = LoadCom();
    state_ = State::Failed;
    if (com.Complete()) {
      const HRESULT hr = com.coInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
      comStarted_ = SUCCEEDED(hr);
      if (comStarted_ || hr == RPC_E_CHANGED_MODE) state_ = State::Ready;
    }
  }
  return state_ == State::Ready;
}

}  // namespace yg::win32
