#include "tests/fakes/fake_desktop.h"

#include <algorithm>
#include <cmath>

#include "tests/fakes/fake_platform.h"

namespace yg::testing {

namespace {
void LogTo(CallLog* log, std::string entry) {
  if (log) log->Add(std::move(entry));
}

constexpr double kCharWidth = 180, kLineHeight = 270;
}  // namespace

std::vector<ScreenRect> FakeDisplays::WorkAreas() {
  LogTo(log, "WorkAreas?");
  if (workAreas && workAreasScale) {
    const double factor = static_cast<double>(workAreasScale) / window_.Scale();
    std::vector<ScreenRect> scaled;
    for (const ScreenRect& a : *workAreas) {
      scaled.push_back({a.left * factor, a.top * factor, a.right * factor, a.bottom * factor});
    }
    return scaled;
  }
  if (workAreas) return *workAreas;
  return {{0, 0, window_.screenWidth, window_.screenHeight}};
}

ScreenRect FakeDisplays::PanelBounds() {
  LogTo(log, "PanelBounds?");
  const double d = thinnerFrame;
  return {window_.left + d, window_.top + d, window_.left + window_.width - d, window_.top + window_.height - d};
}

KeyReach FakeKeyTarget::KeysReachFocus() {
  LogTo(log, "KeysReachFocus?");
  return reach;
}

std::optional<LayoutHandle> FakeKeyTarget::Layout() {
  LogTo(log, "TargetLayout?");
  return layout;
}

TipWindow::Size FakeTipWindow::Measure(std::u16string_view text, double maxWidth) {
  const double perLine = std::max(1.0, std::floor(maxWidth / kCharWidth));
  const double chars = static_cast<double>(text.size());
  const double lines = std::max(1.0, std::ceil(chars / perLine));
  return {std::min(chars, perLine) * kCharWidth, lines * kLineHeight};
}

void FakeTipWindow::Show(std::u16string_view text, double left, double top, Size size) {
  shown = std::u16string(text);
  place = {left, top, left + size.width, top + size.height};
  ++shows;
  LogTo(log, "ShowTip " + Utf8(text));
}

void FakeTipWindow::Hide() {
  if (shown) LogTo(log, "HideTip");
  shown.reset();
}

}  // namespace yg::testing
