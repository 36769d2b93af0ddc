#include "tests/fakes/fake_platform.h"

#include <algorithm>
#include <cmath>

#include "base/errors.h"

namespace yg::testing {

void FailIfAsked(const std::set<std::string>& failing, const std::string& operation) {
  if (failing.count(operation)) throw PanelError(ErrorKind::FacilityFailed, operation);
}

// Controls

FakeControls::FakeControls(CallLog& log) : log_(log) {
  for (const LayoutRow& row : LayoutTable()) {
    State s;
    s.caption = std::u16string(row.caption);
    s.picture = row.picture;
    s.left = row.left;
    s.top = row.top;
    s.height = row.height;
    states_[{row.control.name, row.control.index}] = s;
  }
}

const FakeControls::State& FakeControls::Of(ControlId control) const {
  const auto it = states_.find({control.name, control.index});
  if (it == states_.end()) throw PanelError(ErrorKind::SubscriptOutOfRange, "no control " + ControlName(control));
  return it->second;
}

FakeControls::State& FakeControls::Mutable(ControlId control, const char* operation) {
  FailIfAsked(failing, operation);
  return const_cast<State&>(Of(control));
}

bool FakeControls::Shown(ControlId control) const {
  if (!Of(control).visible) return false;
  const Ctl container = LayoutRowOf(control).container;
  return container == Ctl::Form1 || Shown(container);
}

std::u16string FakeControls::Caption(ControlId control) const {
  FailIfAsked(failing, "Caption");
  log_.Add("Caption " + ControlName(control) + "?");
  return Of(control).caption;
}

void FakeControls::SetCaption(ControlId control, std::u16string_view caption) {
  Mutable(control, "SetCaption").caption = caption;
  log_.Add("SetCaption " + ControlName(control) + " " + Utf8(caption));
}

void FakeControls::ShowPictureOf(ControlId picture, ControlId holder) {
  const StrokePicture held = Of(holder).picture;
  Mutable(picture, "ShowPictureOf").picture = held;
  log_.Add("ShowPictureOf " + ControlName(picture) + " " + ControlName(holder));
}

void FakeControls::SetBackColor(ControlId control, Rgb color) {
  Mutable(control, "SetBackColor").backColor = color;
  log_.Add("SetBackColor " + ControlName(control) + " " + std::to_string(color.r) + "," +
           std::to_string(color.g) + "," + std::to_string(color.b));
}

void FakeControls::SetVisible(ControlId control, bool visible) {
  Mutable(control, "SetVisible").visible = visible;
  log_.Add((visible ? "Show " : "Hide ") + ControlName(control));
}

void FakeControls::SetLeft(ControlId control, float twips) {
  Mutable(control, "SetLeft").left = twips;
  log_.Add("SetLeft " + ControlName(control) + " " + Num(twips));
}

void FakeControls::SetHeight(ControlId control, float twips) {
  Mutable(control, "SetHeight").height = twips;
  log_.Add("SetHeight " + ControlName(control) + " " + Num(twips));
}

void FakeControls::SetFocus(ControlId control) {
  Mutable(control, "SetFocus");
  focus = control;
  log_.Add("SetFocus " + ControlName(control));
}

void FakeControls::AddListEntry(ControlId list, std::u16string_view entry) {
  Mutable(list, "AddListEntry").entries.emplace_back(entry);
  log_.Add("AddListEntry " + ControlName(list) + " " + Utf8(entry));
}

void FakeControls::ShowRestMark(ControlId control, double done) {
  FailIfAsked(failing, "ShowRestMark");
  restMark = RestMark{control, done};
}

void FakeControls::HideRestMark() { restMark.reset(); }

// Panel window

float FakePanelWindow::Snap(float twips) const {
  if (twipsPerPixel <= 0) return twips;
  return std::round(twips / twipsPerPixel) * twipsPerPixel;
}

void FakePanelWindow::Show() {
  FailIfAsked(failing, "Show");
  visible = true;
  log_.Add("Show");
}

float FakePanelWindow::Left() const {
  FailIfAsked(failing, "Left");
  log_.Add("Left?");
  return left;
}

float FakePanelWindow::Top() const {
  FailIfAsked(failing, "Top");
  log_.Add("Top?");
  return top;
}

float FakePanelWindow::Width() const {
  FailIfAsked(failing, "Width");
  log_.Add("Width?");
  return width;
}

float FakePanelWindow::Height() const {
  FailIfAsked(failing, "Height");
  log_.Add("Height?");
  return height;
}

void FakePanelWindow::SetLeft(float twips) {
  FailIfAsked(failing, "SetLeft");
  left = Snap(twips);
  log_.Add("SetLeft " + Num(twips));
  TakeMonitorsScale();
}

void FakePanelWindow::SetTop(float twips) {
  FailIfAsked(failing, "SetTop");
  top = Snap(twips);
  log_.Add("SetTop " + Num(twips));
  TakeMonitorsScale();
}

void FakePanelWindow::SetWidth(float twips) {
  FailIfAsked(failing, "SetWidth");
  width = Snap(twips);
  log_.Add("SetWidth " + Num(twips));
  TakeMonitorsScale();
}

void FakePanelWindow::SetHeight(float twips) {
  FailIfAsked(failing, "SetHeight");
  height = Snap(twips);
  log_.Add("SetHeight " + Num(twips));
  TakeMonitorsScale();
}

unsigned FakePanelWindow::Scale() const { return dpi * static_cast<unsigned>(keySize) / 100; }

void FakePanelWindow::Move(float toLeft, float toTop, unsigned scale) {
  FailIfAsked(failing, "Move");
  const float factor = scale ? static_cast<float>(scale) / static_cast<float>(Scale()) : 1;
  left = Snap(toLeft * factor);
  top = Snap(toTop * factor);
  log_.Add("Move " + Num(toLeft) + " " + Num(toTop) + (scale ? " at " + std::to_string(scale) : ""));
  TakeMonitorsScale();
}

// Another scale: the corner and the screen stay on their pixels, the twips of places change.
void FakePanelWindow::KeepCornersPixel(float factor) {
  left *= factor;
  top *= factor;
  screenWidth *= factor;
  screenHeight *= factor;
}

void FakePanelWindow::TakeMonitorsScale() {
  if (!monitorDpi) return;
  const double perTwip = Scale() / 1440.0;
  const unsigned now = monitorDpi({left * perTwip, top * perTwip, (left + width) * perTwip, (top + height) * perTwip});
  if (now == dpi) return;
  KeepCornersPixel(static_cast<float>(dpi) / static_cast<float>(now));
  dpi = now;
  if (dpiChanged) dpiChanged();
}

float FakePanelWindow::ScreenWidth() const {
  FailIfAsked(failing, "ScreenWidth");
  log_.Add("ScreenWidth?");
  return screenWidth;
}

float FakePanelWindow::ScreenHeight() const {
  FailIfAsked(failing, "ScreenHeight");
  log_.Add("ScreenHeight?");
  return screenHeight;
}

void FakePanelWindow::SetTopmost(std::uint32_t positionFlags) {
  topmostFlags = positionFlags;
  if (positionFlags & 0x40) visible = true;  // SWP_SHOWWINDOW
  log_.Add("SetTopmost " + Hex(positionFlags));
}

std::uint32_t FakePanelWindow::ExtendedStyle() const {
  log_.Add("ExtendedStyle?");
  return exStyle;
}

void FakePanelWindow::SetExtendedStyle(std::uint32_t style) {
  exStyle = style;
  log_.Add("SetExtendedStyle " + Hex(style));
}

void FakePanelWindow::ReleaseMouseCapture() { log_.Add("ReleaseMouseCapture"); }

void FakePanelWindow::RunMoveLoop() {
  log_.Add("RunMoveLoop");
  if (whileBlocked) whileBlocked();
}

void FakePanelWindow::SetKeySize(int percent) {
  // The corner stays on the same pixel and the panel keeps its twips, while the screen's twips
  // shrink as the scale grows.
  KeepCornersPixel(static_cast<float>(keySize) / static_cast<float>(percent));
  keySize = percent;
  log_.Add("SetKeySize " + std::to_string(percent));
}

void FakePanelWindow::StartTimer(TimerId id, unsigned milliseconds) {
  timers[id] = milliseconds;
  due_[id] = clockMs + milliseconds;
}

void FakePanelWindow::StopTimer(TimerId id) {
  timers.erase(id);
  due_.erase(id);
}

void FakePanelWindow::Pass(std::uint64_t ms, Form1& form) {
  const std::uint64_t end = clockMs + ms;
  for (;;) {
    const auto next = std::min_element(due_.begin(), due_.end(),
                                       [](const auto& a, const auto& b) { return a.second < b.second; });
    if (next == due_.end() || next->second > end) break;
    const TimerId id = next->first;
    clockMs = std::max(clockMs, next->second);  // a box's own Pass may have run the clock on
    // Due again a period on, unless the handler starts it anew or stops it.
    next->second += std::max(1u, timers[id]);
    form.Timer(id);
  }
  clockMs = std::max(clockMs, end);
}

void FakePanelWindow::CheckMenuItem(MenuItem item, bool checked) { menuChecks[item] = checked; }

void FakePanelWindow::ShowMessage(std::u16string_view text) {
  messages.emplace_back(text);
  log_.Add("ShowMessage " + Utf8(text));
  if (whileBlocked) whileBlocked();
}

void FakePanelWindow::ReportFatalError(std::u16string_view text) {
  fatalErrors.emplace_back(text);
  log_.Add("ReportFatalError");
}

void FakePanelWindow::Hide() {
  visible = false;
  log_.Add("Hide");
}

void FakePanelWindow::Close() {
  closed = true;
  log_.Add("Close");
}

void FakePanelWindow::SetOpacity(std::optional<std::uint8_t> alpha) { opacity = alpha; }

// Keyboard layouts

const FakeKeyboardLayouts::Layout* FakeKeyboardLayouts::Find(LayoutHandle layout) const {
  const auto it = std::find_if(installed.begin(), installed.end(),
                               [layout](const Layout& l) { return l.handle == layout; });
  return it == installed.end() ? nullptr : &*it;
}

LayoutHandle FakeKeyboardLayouts::Active() {
  log_.Add("ActiveLayout?");
  return active;
}

std::size_t FakeKeyboardLayouts::List(std::span<LayoutHandle> handles) {
  const std::size_t n = std::min(handles.size(), installed.size());
  for (std::size_t i = 0; i < n; ++i) handles[i] = installed[i].handle;
  log_.Add("ListLayouts " + std::to_string(handles.size()) + "?");
  return n;
}

int FakeKeyboardLayouts::IsInputMethod(LayoutHandle layout) {
  const Layout* l = Find(layout);
  return l ? l->isInputMethod : 0;
}

std::size_t FakeKeyboardLayouts::Description(LayoutHandle layout, std::span<char16_t> buffer) {
  const Layout* l = Find(layout);
  if (!l || l->descriptionFails) return 0;
  const std::size_t n = std::min(l->description.size(), buffer.size());
  std::copy_n(l->description.begin(), n, buffer.begin());
  if (l->terminate && n < buffer.size()) buffer[n] = u'\0';
  return n;
}

void FakeKeyboardLayouts::Activate(LayoutHandle layout) {
  active = layout;
  log_.Add("ActivateLayout " + Hex(layout));
}

std::optional<std::uint8_t> FakeKeyboardLayouts::KeyTyping(char16_t) { return graveKey; }

std::uint32_t FakeKeyboardLayouts::ScanCode(std::uint8_t vk) {
  const auto it = scanCodes.find(vk);
  return it == scanCodes.end() ? 0 : it->second;
}

// Shell

bool FakeShell::AnotherCopyRunning() {
  FailIfAsked(failing, "AnotherCopyRunning");
  log_.Add("AnotherCopyRunning?");
  return anotherCopy;
}

void FakeShell::TellRunningCopy() { log_.Add("TellRunningCopy"); }

std::u16string FakeShell::ExecutableFolder() {
  FailIfAsked(failing, "ExecutableFolder");
  log_.Add("ExecutableFolder?");
  return folder;
}

std::intptr_t FakeShell::Execute(std::u16string_view verb, std::u16string_view file,
                                 std::u16string_view parameters, std::u16string_view directory,
                                 int showCommand) {
  FailIfAsked(failing, "Execute");
  log_.Add("Execute " + Utf8(verb) + " [" + Utf8(file) + "] [" + Utf8(parameters) + "] [" + Utf8(directory) +
           "] " + std::to_string(showCommand));
  return executeResult;
}

std::u16string FakeShell::ExecutablePath() {
  FailIfAsked(failing, "ExecutablePath");
  return executable;
}

ProgramVersion FakeShell::Version() { return version; }

// Settings

namespace {
const char* KeyName(SettingsKey key) {
  return key == SettingsKey::Panel ? "Panel" : key == SettingsKey::SignIn ? "SignIn" : "SignInApproval";
}
const StoredValue kMissing;
}  // namespace

StoredValue FakeSettingsStore::Read(SettingsKey key, std::u16string_view name) {
  const auto it = values.find({key, std::u16string(name)});
  return it == values.end() ? StoredValue{} : it->second;
}

void FakeSettingsStore::Store(SettingsKey key, std::u16string_view name, StoredValue value) {
  if (failWrites) return;
  if (value.kind == StoredValue::Kind::Missing) {
    values.erase({key, std::u16string(name)});
  } else {
    values[{key, std::u16string(name)}] = std::move(value);
  }
}

void FakeSettingsStore::WriteNumber(SettingsKey key, std::u16string_view name, std::uint32_t value) {
  if (log) log->Add(std::string("Write ") + KeyName(key) + " " + Utf8(name) + " " + std::to_string(value));
  Store(key, name, StoredValue::Number(value));
}

void FakeSettingsStore::WriteText(SettingsKey key, std::u16string_view name, std::u16string_view value) {
  if (log) log->Add(std::string("Write ") + KeyName(key) + " " + Utf8(name) + " " + Utf8(value));
  Store(key, name, StoredValue::Text(value));
}

void FakeSettingsStore::Remove(SettingsKey key, std::u16string_view name) {
  if (log) log->Add(std::string("Remove ") + KeyName(key) + " " + Utf8(name));
  Store(key, name, StoredValue{});
}

const StoredValue& FakeSettingsStore::Panel(std::u16string_view name) const {
  const auto it = values.find({SettingsKey::Panel, std::u16string(name)});
  return it == values.end() ? kMissing : it->second;
}

bool FakeHotkey::Register(KeyChord chord) {
  if (!refuse) held = chord;
  return !refuse;
}

void FakeHotkey::Unregister() { held.reset(); }

void FakeNotificationIcon::Add(std::u16string_view tip) {
  shown = std::u16string(tip);
  ++adds;
}

void FakeNotificationIcon::Remove() { shown.reset(); }

FakePlatform::FakePlatform() {
  keys.log = &log;
  layouts.installed = {{0x04090409, 0, u""}};
  layouts.active = 0x04090409;
}

}  // namespace yg::testing
