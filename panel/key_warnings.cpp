#include "panel/key_warnings.h"

#include <algorithm>
#include <vector>

#include "panel/placement.h"

namespace yg {

bool ChineseLayout(LayoutHandle layout) {
  constexpr LayoutHandle kPrimaryLanguage = 0x3FF, kChinese = 0x04;  // PRIMARYLANGID, LANG_CHINESE
  return (layout & kPrimaryLanguage) == kChinese;
}

std::optional<std::u16string_view> WarningFor(SentKeys sent, KeyTarget& target) {
  if (target.KeysReachFocus() == KeyReach::Blocked) return kElevatedTargetTip;
  if (sent != SentKeys::Letters) return std::nullopt;
  const auto layout = target.Layout();
  if (layout && !ChineseLayout(*layout)) return kNoInputMethodTip;
  return std::nullopt;
}

void ShowTipByPanel(std::u16string_view text, TipWindow& tip, Displays& displays) {
  const ScreenRect panel = displays.PanelBounds();
  const std::vector<ScreenRect> areas = displays.WorkAreas();
  std::optional<ScreenRect> area;
  if (const auto nearest = NearestArea(panel, areas)) area = areas[*nearest];
  double maxWidth = panel.Width();
  if (area) maxWidth = std::min(maxWidth, area->Width());
  const TipWindow::Size size = tip.Measure(text, maxWidth);
  const ScreenRect place = PlaceTip(panel, size, area);
  tip.Show(text, place.left, place.top, size);
}

}  // namespace yg
