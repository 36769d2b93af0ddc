// The panel's entry point: wires the core to the Windows side and runs the window.

#include <windows.h>
#include <commctrl.h>

#include "panel/form1.h"
#include "platform/win32/boundary_win.h"
#include "platform/win32/displays_win.h"
#include "platform/win32/key_sink_win.h"
#include "platform/win32/key_target_win.h"
#include "platform/win32/keyboard_layouts_win.h"
#include "platform/win32/panel_window_win.h"
#include "platform/win32/settings_win.h"
#include "platform/win32/shell_win.h"
#include "platform/win32/tip_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // Load DLLs from the system folder only: a DLL dropped beside the program is never used.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);

  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  yg::win32::SendInputSink keys;
  yg::win32::SystemKeyboardLayouts layouts;
  yg::win32::SystemShell shell;
  yg::win32::SystemDisplays displays;
  yg::win32::SystemKeyTarget target;
  yg::win32::Win32Tip tip(instance);
  yg::win32::RegistrySettings settings;
  yg::win32::Win32Panel window(instance);
  yg::Form1 form({keys, window, window, layouts, shell, displays, target, tip, settings, window.Hotkey(), window.Icon()});
  window.Attach(form);

  int exitCode = 0;
  if (form.Initialize()) {
    try {
      window.Create();
    } catch (const std::exception& e) {
      window.ReportFatalError(yg::win32::FromUtf8(e.what()));
    }
    shell.owner = window.Handle();
    displays.panel = window.Handle();
    tip.panel = window.Handle();
    form.PlaceHidden();
    form.Load();
    exitCode = window.RunMessageLoop();
  }
  return exitCode;
}
