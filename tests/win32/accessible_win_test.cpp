// The panel's controls through Active Accessibility, in this process: what a screen reader is
// told, what its default action does and when, and that every object goes with its window.

#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>

#include <array>
#include <string>
#include <utility>

#include "panel/form1.h"
#include "panel/layout.h"
#include "platform/win32/accessible_win.h"
#include "platform/win32/panel_window_win.h"
#include "tests/win32/panel_fixture_win.h"

namespace yg::win32 {
namespace {

using yg::testing::Describe;

// The object itself (CHILDID_SELF) or one of its simple children, by number.
VARIANT Child(LONG id) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

VARIANT Self() { return Child(CHILDID_SELF); }

// An owned interface pointer.
struct Object {
  IAccessible* p = nullptr;
  Object() = default;
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;
  ~Object() {
    if (p) p->Release();
  }
  IAccessible* operator->() const { return p; }
};

std::wstring Name(IAccessible* object, VARIANT child) {
  BSTR name = nullptr;
  if (FAILED(object->get_accName(child, &name)) || !name) return L"";
  std::wstring text(name, SysStringLen(name));
  SysFreeString(name);
  return text;
}

LONG Role(IAccessible* object) {
  VARIANT role;
  VariantInit(&role);
  return SUCCEEDED(object->get_accRole(Self(), &role)) && role.vt == VT_I4 ? role.lVal : -1;
}

using testing::PanelRig;
using testing::Pump;

// One shown panel for all: under Wine with no window manager, a shown window takes two seconds
// to go.
class AccessibleTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    rig = new PanelRig;
    ShowWindow(rig->panel.Handle(), SW_SHOWNA);
  }
  static void TearDownTestSuite() {
    delete rig;
    rig = nullptr;
  }
  void SetUp() override {
    Pump();
    keys.Clear();
  }

  HWND Window(ControlId control) { return rig->GetDlgItemDeep(control); }

  void Get(ControlId control, Object& object) {
    ASSERT_EQ(AccessibleObjectFromWindow(Window(control), OBJID_CLIENT, kIidIAccessible,
                                         reinterpret_cast<void**>(&object.p)),
              S_OK)
        << ControlName(control);
  }

  static PanelRig* rig;
  Win32Panel& panel = rig->panel;
  Form1& form = rig->form;
  yg::testing::FakeKeySink& keys = rig->fake.keys;
};

PanelRig* AccessibleTest::rig = nullptr;

TEST_F(AccessibleTest, ControlsSayTheirNameAndRole) {
  const struct {
    ControlId control;
    LONG role;
    const wchar_t* name;
  } cases[] = {
      {Ctl::Image3, ROLE_SYSTEM_PUSHBUTTON, L"横 H"},
      {Ctl::Image15, ROLE_SYSTEM_PUSHBUTTON, L"折 L"},
      {Ctl::Comm1, ROLE_SYSTEM_PUSHBUTTON, L"虫"},
      {Skb(189), ROLE_SYSTEM_PUSHBUTTON, L"--"},
      {Ctl::Command2, ROLE_SYSTEM_PUSHBUTTON, L"-"},
      {Ctl::Command5, ROLE_SYSTEM_PUSHBUTTON, L"造词开始"},
      {Ctl::Frame1, ROLE_SYSTEM_GROUPING, L"部首键"},
  };
  for (const auto& c : cases) {
    Object object;
    Get(c.control, object);
    if (!object.p) continue;
    EXPECT_EQ(Role(object.p), c.role) << ControlName(c.control);
    EXPECT_EQ(Name(object.p, Self()), c.name) << ControlName(c.control);
  }
}

TEST_F(AccessibleTest, AButtonsNameFollowsItsCaption) {
  Object object;
  Get(Ctl::Command5, object);
  ASSERT_TRUE(object.p);
  form.Click(Ctl::Command5);
  EXPECT_EQ(Name(object.p, Self()), L"造词结束");
  form.Click(Ctl::Command5);
}

TEST_F(AccessibleTest, WhatNobodySeesIsHiddenAndNoKey) {
  for (ControlId control : {ControlId(Ctl::Image1), ControlId(Ctl::Image14), ControlId(Ctl::Combo1)}) {
    EXPECT_FALSE(IsWindowVisible(Window(control))) << ControlName(control);
    Object object;
    Get(control, object);
    if (!object.p) continue;
    EXPECT_NE(Role(object.p), ROLE_SYSTEM_PUSHBUTTON) << ControlName(control);
    VARIANT state;
    VariantInit(&state);
    ASSERT_EQ(object->get_accState(Self(), &state), S_OK);
    EXPECT_TRUE(state.lVal & STATE_SYSTEM_INVISIBLE) << ControlName(control);
  }
}

// The action runs from the panel's message loop, after the screen reader's call has returned.
TEST_F(AccessibleTest, DefaultActionIsPostedAndThenDoesWhatAClickDoes) {
  const struct {
    ControlId control;
    const char* keys;
  } cases[] = {
      {Ctl::Image9, "d74 u74"},
      {Ctl::Comm3, "d76 u76 d76 u76 d72 u72"},
      {Skb(48), "d48 u48"},
  };
  for (const auto& c : cases) {
    keys.Clear();
    Object object;
    Get(c.control, object);
    if (!object.p) continue;
    EXPECT_EQ(object->accDoDefaultAction(Self()), S_OK) << ControlName(c.control);
    EXPECT_EQ(Describe(keys.Delivered()), "") << ControlName(c.control) << ": not inside the call";
    Pump();
    EXPECT_EQ(Describe(keys.Delivered()), c.keys) << ControlName(c.control);
  }
}

TEST_F(AccessibleTest, WhatHasNoActionOrIsNoChildSaysSo) {
  Object frame, key;
  Get(Ctl::Frame4, frame);
  Get(Ctl::Image6, key);
  ASSERT_TRUE(frame.p && key.p);
  EXPECT_EQ(frame->accDoDefaultAction(Self()), DISP_E_MEMBERNOTFOUND);
  BSTR action = nullptr;
  EXPECT_EQ(frame->get_accDefaultAction(Self(), &action), S_FALSE);
  EXPECT_EQ(action, nullptr);
  EXPECT_EQ(key->get_accDefaultAction(Self(), &action), S_OK);
  SysFreeString(action);
  // A key has no children; neither has a group any that are not windows of their own.
  EXPECT_EQ(key->accDoDefaultAction(Child(1)), E_INVALIDARG);
  BSTR name = nullptr;
  EXPECT_EQ(key->get_accName(Child(2), &name), E_INVALIDARG);
  EXPECT_EQ(frame->get_accName(Child(1), &name), E_INVALIDARG);
  VARIANT role;
  EXPECT_EQ(frame->get_accRole(Child(1), &role), E_INVALIDARG);
  // In compact mode the radicals are hidden: no click reaches them, nor does a screen reader.
  Object radical;
  Get(Ctl::Comm1, radical);
  ASSERT_TRUE(radical.p);
  panel.SetVisible(Ctl::Frame1, false);
  EXPECT_EQ(radical->accDoDefaultAction(Self()), DISP_E_MEMBERNOTFOUND);
  Pump();
  EXPECT_TRUE(keys.Delivered().empty());
  panel.SetVisible(Ctl::Frame1, true);
}

// Two actions asked for at once: the first (the mode switch) hides the radicals, so the second,
// on a radical, finds its key gone by the time it runs and types nothing, as a click could not.
TEST_F(AccessibleTest, AnActionOnAKeyHiddenBeforeItRunsTypesNothing) {
  Object modeSwitch, radical;
  Get(Ctl::Command2, modeSwitch);
  Get(Ctl::Comm3, radical);
  ASSERT_TRUE(modeSwitch.p && radical.p);
  ASSERT_EQ(modeSwitch->accDoDefaultAction(Self()), S_OK);
  ASSERT_EQ(radical->accDoDefaultAction(Self()), S_OK);
  Pump();
  EXPECT_FALSE(IsWindowVisible(Window(Ctl::Comm3)));
  EXPECT_EQ(Describe(keys.Delivered()), "");
  form.Click(Ctl::Command2);
  Pump();
  EXPECT_TRUE(IsWindowVisible(Window(Ctl::Comm3)));
}

// The window menu and the move loop run inside the system, and the menu holds the keyboard while
// it is open: an action then is dropped, as a click would be, instead of typing into the menu.
TEST_F(AccessibleTest, AnActionWhileTheWindowMenuOrTheMoveLoopRunsTypesNothing) {
  Object key;
  Get(Skb(57), key);
  ASSERT_TRUE(key.p);
  for (const auto& [enter, exit] : {std::pair{WM_ENTERMENULOOP, WM_EXITMENULOOP}, {WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE}}) {
    SendMessageW(panel.Handle(), enter, FALSE, 0);
    EXPECT_EQ(key->accDoDefaultAction(Self()), S_OK);
    Pump();
    EXPECT_EQ(Describe(keys.Delivered()), "") << "inside " << enter;
    SendMessageW(panel.Handle(), exit, FALSE, 0);
    EXPECT_EQ(key->accDoDefaultAction(Self()), S_OK);
    Pump();
    EXPECT_EQ(Describe(keys.Delivered()), "d57 u57") << "after " << exit;
    keys.Clear();
  }
}

TEST_F(AccessibleTest, EverythingElseIsTheStandardObjects) {
  Object key, frame;
  Get(Ctl::Image12, key);
  Get(Ctl::Frame4, frame);
  ASSERT_TRUE(key.p && frame.p);
  RECT r{};
  GetWindowRect(Window(Ctl::Image12), &r);
  LONG x = 0, y = 0, w = 0, h = 0;
  ASSERT_EQ(key->accLocation(&x, &y, &w, &h, Self()), S_OK);
  EXPECT_EQ((std::array<LONG, 4>{x, y, w, h}), (std::array<LONG, 4>{r.left, r.top, r.right - r.left, r.bottom - r.top}));
  HWND hwnd = nullptr;
  EXPECT_EQ(WindowFromAccessibleObject(key.p, &hwnd), S_OK);
  EXPECT_EQ(hwnd, Window(Ctl::Image12));
  // One identity, whichever interface it is reached through.
  IUnknown* viaAccessible = nullptr;
  IUnknown* viaWindow = nullptr;
  IOleWindow* window = nullptr;
  ASSERT_EQ(key->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&window)), S_OK);
  window->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&viaWindow));
  key->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&viaAccessible));
  EXPECT_EQ(viaAccessible, viaWindow);
  for (IUnknown* u : {static_cast<IUnknown*>(window), viaWindow, viaAccessible}) u->Release();
  // A group lists its children like the standard object does: every window in it.
  LONG count = 0;
  ASSERT_EQ(frame->get_accChildCount(&count), S_OK);
  EXPECT_EQ(count, 27) << "15 pictures, 11 candidate keys and the mode switch";
  VARIANT items[30];
  LONG got = 0;
  ASSERT_TRUE(SUCCEEDED(AccessibleChildren(frame.p, 0, 30, items, &got)));
  EXPECT_EQ(got, 27);
  for (LONG i = 0; i < got; ++i) VariantClear(&items[i]);
}

// A screen reader may keep an object after its window is gone: it then says so, and goes when
// let go. Nothing is left over.
TEST(AccessibleLifetime, ObjectsGoWithTheirWindowsAndTheirLastHolder) {
  const long before = LiveAccessibleObjects();
  IAccessible* kept = nullptr;
  {
    PanelRig rig;
    int asked = 0;
    EnumChildWindows(
        rig.panel.Handle(),
        [](HWND child, LPARAM count) -> BOOL {
          IAccessible* object = nullptr;
          if (SUCCEEDED(AccessibleObjectFromWindow(child, OBJID_CLIENT, kIidIAccessible,
                                                   reinterpret_cast<void**>(&object)))) {
            ++*reinterpret_cast<int*>(count);
            object->Release();
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&asked));
    EXPECT_EQ(asked, 98);
    EXPECT_EQ(LiveAccessibleObjects() - before, 86) << "one of ours for each of the 86 shown controls";
    const HWND key = rig.GetDlgItemDeep(Ctl::Image3);
    ASSERT_TRUE(key);
    ASSERT_EQ(AccessibleObjectFromWindow(key, OBJID_CLIENT, kIidIAccessible, reinterpret_cast<void**>(&kept)), S_OK);
  }
  EXPECT_EQ(LiveAccessibleObjects() - before, 1);
  BSTR name = nullptr;
  EXPECT_EQ(kept->get_accName(Self(), &name), CO_E_OBJNOTCONNECTED);
  EXPECT_EQ(kept->accDoDefaultAction(Self()), CO_E_OBJNOTCONNECTED);
  kept->Release();
  EXPECT_EQ(LiveAccessibleObjects(), before);
}


// What a window does while it goes (here: a child that, as it is destroyed, asks for its parent's
// object, as an in-context hook of a screen reader may) finds the parent answering no more: the
// parent has had WM_DESTROY and its object has been let go.
IAccessible* askedWhileGoing = nullptr;
ScreenReaders* parentReaders = nullptr;

LRESULT CALLBACK AskingChildProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    AccessibleObjectFromWindow(GetParent(hwnd), OBJID_CLIENT, kIidIAccessible,
                               reinterpret_cast<void**>(&askedWhileGoing));
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// A window shown to screen readers as the panel shows its frames.
LRESULT CALLBACK ReadParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (parentReaders->OnMessage(hwnd, Ctl::Frame4, hwnd, message, wParam, lParam, result)) return result;
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST(AccessibleLifetime, AWindowThatIsGoingMakesNoNewObject) {
  for (auto [name, proc] : {std::pair{L"YgAskingChild", &AskingChildProc}, std::pair{L"YgReadParent", &ReadParentProc}}) {
    WNDCLASSW c{};
    c.lpfnWndProc = proc;
    c.hInstance = GetModuleHandleW(nullptr);
    c.lpszClassName = name;
    RegisterClassW(&c);
  }
  const long before = LiveAccessibleObjects();
  {
    ScreenReaders readers;
    parentReaders = &readers;
    const HWND parent = CreateWindowExW(0, L"YgReadParent", L"parent", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                        GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(parent);
    ASSERT_TRUE(CreateWindowExW(0, L"YgAskingChild", L"", WS_CHILD, 0, 0, 10, 10, parent, nullptr,
                                GetModuleHandleW(nullptr), nullptr));
    DestroyWindow(parent);
  }
  if (askedWhileGoing) {
    BSTR name = nullptr;
    EXPECT_NE(askedWhileGoing->get_accName(Self(), &name), S_OK) << "an object of ours, still connected";
    SysFreeString(name);
    askedWhileGoing->Release();
    askedWhileGoing = nullptr;
  }
  EXPECT_EQ(LiveAccessibleObjects(), before);
}

}  // namespace
}  // namespace yg::win32
