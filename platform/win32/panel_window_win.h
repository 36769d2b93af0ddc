#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "panel/colour_scheme.h"
#include "panel/form1.h"
#include "panel/layout.h"
#include "ports/controls.h"
#include "ports/panel_window.h"
#include "platform/win32/accessible_win.h"
#include "platform/win32/boundary_win.h"
#include "platform/win32/hotkey_win.h"
#include "platform/win32/scoped_win.h"
#include "platform/win32/tray_win.h"

namespace yg::win32 {

// The panel as a Win32 window: the top-level window, one child window per row of the layout
// table, and the facilities the core asks of them. Twips become pixels at the layout's scale:
// the window's DPI times the key size.
class Win32Panel final : public Controls, public PanelWindow {
 public:
  explicit Win32Panel(HINSTANCE instance);
  ~Win32Panel() override;
  Win32Panel(const Win32Panel&) = delete;
  Win32Panel& operator=(const Win32Panel&) = delete;

  // The handlers the window's events go to.
  void Attach(Form1& form) { form_ = &form; }
  // Creates the window and every control, hidden.
  void Create();
  // Runs until the window is closed; returns the exit code.
  int RunMessageLoop();
  HWND Handle() const { return hwnd_; }
  // The key combination and the notification icon, which belong to the window.
  GlobalHotkey& Hotkey() { return hotkey_; }
  NotificationIcon& Icon() { return icon_; }

  // Controls
  std::u16string Caption(ControlId control) const override;
  void SetCaption(ControlId control, std::u16string_view caption) override;
  void ShowPictureOf(ControlId picture, ControlId holder) override;
  void SetBackColor(ControlId control, Rgb color) override;
  void SetVisible(ControlId control, bool visible) override;
  void SetLeft(ControlId control, float twips) override;
  void SetHeight(ControlId control, float twips) override;
  void SetFocus(ControlId control) override;
  void AddListEntry(ControlId list, std::u16string_view entry) override;
  void ShowRestMark(ControlId control, double done) override;
  void HideRestMark() override;

  // PanelWindow
  void Show() override;
  float Left() const override;
  float Top() const override;
  float Width() const override;
  float Height() const override;
  void SetLeft(float twips) override;
  void SetTop(float twips) override;
  void SetWidth(float twips) override;
  void SetHeight(float twips) override;
  unsigned Scale() const override;
  void Move(float left, float top, unsigned scale) override;
  float ScreenWidth() const override;
  float ScreenHeight() const override;
  void SetTopmost(std::uint32_t positionFlags) override;
  std::uint32_t ExtendedStyle() const override;
  void SetExtendedStyle(std::uint32_t style) override;
  void ReleaseMouseCapture() override;
  void RunMoveLoop() override;
  void SetKeySize(int percent) override;
  void StartTimer(TimerId id, unsigned milliseconds) override;
  void StopTimer(TimerId id) override;
  std::uint64_t Milliseconds() const override;
  PointerPlace Pointer() const override;
  KeyboardRepeat KeyRepeat() const override;
  void CheckMenuItem(MenuItem item, bool checked) override;
  void EnableMenuItem(MenuItem item, bool enabled) override;
  void ShowMessage(std::u16string_view text) override;
  void ReportFatalError(std::u16string_view text) override;
  void Hide() override;
  bool Visible() const override;
  void Close() override;
  void SetOpacity(std::optional<std::uint8_t> alpha) override;
  bool PointerOver() const override;
  bool HighContrast() const override;

 private:
  // What is made for one DPI: the fonts and the window's icons. The stroke pictures are drawn
  // for each key's size when it is first shown (drawn_).
  struct Faces {
    ScopedFont defaultFont, arialFont, songFont;
    ScopedIcon bigIcon, smallIcon;
    HFONT FontFor(FontRole role) const;
  };

  struct Child {
    const LayoutRow* row = nullptr;
    HWND hwnd = nullptr;
    float left = 0, top = 0, width = 0, height = 0;  // twips, within the container
    StrokePicture picture = StrokePicture::None;
    std::optional<Rgb> backColor;
    WNDPROC systemProc = nullptr;  // a button's own, behind ButtonProc
  };

  // A stroke picture drawn for a key of that size.
  struct DrawnPicture {
    StrokePicture picture;
    int width, height;
    ScopedBitmap bitmap;
  };

  static LRESULT CALLBACK PanelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK PictureProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  // In front of a system button's procedure.
  static LRESULT CALLBACK ButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static void RegisterClasses(HINSTANCE instance);
  // 退笔, 上页 and 下页 tell the core when the left button goes down on them and when it lets go.
  static LRESULT CALLBACK HeldKeyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR self);

  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnPictureMessage(Child& child, UINT message, WPARAM wParam, LPARAM lParam);
  // What every shown control hands the panel first: true when the message is answered (`result`).
  bool OnControlMessage(Child& child, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // A mouse message of a key with a tip, for the tooltip; the tooltip is made at the first move.
  void RelayToTips(const Child& child, UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(HWND control, UINT code);
  // The system's window menu with the panel's items added below a separator.
  void AddSettingsMenu();
  void OnMenuChoice(MenuItem item);
  LRESULT OnContextMenu(LPARAM lParam);
  // Hands a message that can start the system's window menu or move loop to DefWindowProc, which
  // runs the loop, and gives the keyboard back when it is over. `holdForeground`: the panel holds
  // the foreground meanwhile, as its menu needs.
  LRESULT InSystemLoop(bool holdForeground, UINT message, WPARAM wParam, LPARAM lParam);
  // WM_ENTERMENULOOP and the like: `loop`, one of loops_, is open or not.
  void SetLoop(bool& loop, bool open);
  // The window to give the keyboard back to when a loop that begins now is over.
  HWND ForegroundToKeep() const;
  LRESULT OnCustomDraw(NMCUSTOMDRAW& draw);
  // Lays everything out at the monitor's `dpi` and the key size `keySize`; `placeWindow` puts
  // the window where it belongs at that scale.
  void ChangeScale(UINT dpi, int keySize, const std::function<void()>& placeWindow);
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  bool OnGetDpiScaledSize(UINT dpi, SIZE& size) const;
  // The monitors or their work areas changed: the core sees that the panel stays on one.
  void OnDisplayChange();
  // System colours (WM_SYSCOLORCHANGE) or a setting such as high contrast changed.
  void OnColoursChanged(bool systemColours);
  bool OnKeyMessage(const MSG& msg);
  // The key combination, the notification icon, a second start and the pointer coming over the
  // panel (panel_out_of_way_win.cpp); nothing for a message none of them takes for itself.
  std::optional<LRESULT> OnOutOfWayMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnIconEvent(UINT event, POINT at);
  void OpenIconMenu(POINT at);
  // Lets a second start and Explorer reach the panel should it run with higher rights.
  void AcceptShellMessages();
  // The pointer moved over the panel or one of its controls, or left one: the core learns where
  // it is now, while it follows the pointer.
  void OnPointerMessage(const MSG& msg);
  FatalReport FatalReporter();

  void CreateChild(Child& child);
  void HookButton(Child& child);
  void CreateTooltips();
  // The children of a container, the one on top first.
  std::vector<Child*> StackOf(Ctl container);
  bool Stacked();
  void Restack();
  // At the monitor's `dpi` (the icons) and the key size `keySize` on top of it (the rest).
  Faces MakeFaces(UINT dpi, int keySize) const;
  // Hands every control, the tooltip and the window what `faces` holds, then frees what they
  // had: no control is ever left with a freed font.
  void UseFaces(Faces faces);
  RECT ChildRect(const Child& child) const;
  void PlaceChild(const Child& child) const;
  void PaintFrame(HWND frame) const;
  void PaintPicture(const Child& child, HDC dc);
  // The rest's mark on a key's client area `client`, if it shows on that key.
  void PaintRestMark(const Child& child, HDC dc, const RECT& client) const;
  RECT RestMarkRect(const RECT& client) const;
  HBITMAP DrawnPictureOf(StrokePicture picture, int width, int height);
  HFONT FontFor(FontRole role) const;

  Child& ChildOf(ControlId control);
  const Child& ChildOf(ControlId control) const;
  Child* ChildOf(HWND hwnd);
  HWND ContainerWindow(Ctl container) const;

  // Twips become pixels at this DPI: the monitor's times the key size.
  UINT LayoutDpi() const;
  // The client rectangle of the same twips at another layout DPI, its top-left corner kept.
  RECT ClientAt(UINT layoutDpi) const;
  // The client rectangle on screen, in pixels.
  RECT ClientOnScreen() const;
  // With the frame the system gives a window at `frameDpi` (0: the panel's DPI).
  void SetClientRect(const RECT& client, UINT frameDpi = 0);
  void PlaceWindow(const RECT& outer);
  // Moves the client area to `client`, whose size is the panel's twips at the layout DPI `at`, in
  // one move; then takes the DPI the window has where it stands.
  void MoveClient(const RECT& client, UINT at);

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  HWND tooltip_ = nullptr;  // made when the pointer first comes over a key with a tip
  Form1* form_ = nullptr;
  UINT dpi_ = 96;      // the monitor's
  int keySize_ = 100;  // percent
  bool activated_ = false;
  // The system's window menu and move loop, which run inside DefWindowProc.
  struct SystemLoops {
    bool keeping = false;  // a message that starts one is in DefWindowProc: the keyboard goes back after
    bool menu = false;     // between WM_ENTERMENULOOP and WM_EXITMENULOOP
    bool moving = false;   // between WM_ENTERSIZEMOVE and WM_EXITSIZEMOVE: the user is placing the panel
    HWND before = nullptr;  // the foreground window when the last one began
  } loops_;
  bool placing_ = false;  // the panel is moving its own window (MoveClient)
  UINT movedToDpi_ = 0;   // the DPI the system gave the window on that move; 0: none
  SystemHotkey hotkey_;
  TrayIcon icon_;
  HMENU iconMenu_ = nullptr;     // the notification icon's menu while it is open
  HWND beforeIcon_ = nullptr;    // the user's program when the pointer last came over the icon
  ULONGLONG lastKeySelect_ = 0;  // when the icon was last chosen with the keyboard
  bool afterDoubleClick_ = false;  // the icon was double-clicked: its release chooses nothing more
  std::vector<Child> children_;  // one per layout row, in the table's order
  Faces faces_;  // at the current DPI
  SystemColours colours_;
  std::vector<DrawnPicture> drawn_;  // at the current DPI and colours, drawn when first shown
  ScreenReaders screenReaders_;
  // The key that shows the rest's mark, and how much of the wait has passed.
  struct RestMark {
    HWND key = nullptr;
    double done = 0;
  } restMark_;
};

}  // namespace yg::win32
