#include "panel/layout.h"

#include <algorithm>
#include <string>
#include <vector>

#include "base/errors.h"

namespace yg {

namespace {

using F = FontRole;
using P = StrokePicture;

constexpr LayoutRow Frame(Ctl c, int left, int width, int height, int layer, int tab) {
  return {c, ControlKind::Frame, Ctl::Form1, {}, static_cast<std::int16_t>(left), 0,
          static_cast<std::int16_t>(width), static_cast<std::int16_t>(height), F::Default, {}, P::None,
          static_cast<std::int8_t>(layer), static_cast<std::int8_t>(tab)};
}

constexpr LayoutRow Button(ControlId c, Ctl box, std::u16string_view caption, int left, int top, int width,
                           int height, int tab, int layer = 0, FontRole font = F::Default,
                           std::u16string_view tooltip = {}) {
  return {c, ControlKind::Button, box, caption,
          static_cast<std::int16_t>(left), static_cast<std::int16_t>(top),
          static_cast<std::int16_t>(width), static_cast<std::int16_t>(height), font, tooltip, P::None,
          static_cast<std::int8_t>(layer), static_cast<std::int8_t>(tab)};
}

// Stroke keys and their picture stores: 375 x 555 twips at the top of Frame4.
constexpr LayoutRow Picture(Ctl c, int left, StrokePicture picture, int layer, std::u16string_view tooltip = {}) {
  return {c, ControlKind::Picture, Ctl::Frame4, {}, static_cast<std::int16_t>(left), 0, 375, 555, F::Default,
          tooltip, picture, static_cast<std::int8_t>(layer), -1};
}

// A radical key in Frame1, a bottom-row key on the panel, an editing-column key in Frame6.
constexpr LayoutRow Radical(Ctl c, std::u16string_view caption, int left, int top, int width, int tab,
                            int layer = 0, int height = 280) {
  return Button(c, Ctl::Frame1, caption, left, top, width, height, tab, layer);
}
constexpr LayoutRow Bottom(Ctl c, std::u16string_view caption, int left, int width, int tab, int layer = 3,
                           FontRole font = F::Default) {
  return Button(c, Ctl::Form1, caption, left, 1120, width, 320, tab, layer, font);
}
constexpr LayoutRow Candidate(std::int16_t index, std::u16string_view caption, int left, int top, int width,
                              int height, int tab, int layer = 0, FontRole font = F::Arial9) {
  return Button(Skb(index), Ctl::Frame4, caption, left, top, width, height, tab, layer, font);
}

constexpr std::array kLayout{
    // The panel's direct children. Top of the stack: Frame4, then the bottom row with 鹿 and
    // 骨, then Frame6, Frame1, and Combo1 at the bottom, hidden under Frame6.
    Frame(Ctl::Frame1, 0, 3000, 1120, 1, 0),
    Frame(Ctl::Frame4, 3000, 1830, 1095, 5, 56),
    Frame(Ctl::Frame6, 4830, 915, 1460, 2, 28),
    LayoutRow{Ctl::Combo1, ControlKind::ComboBox, Ctl::Form1, u"Combo1", 5040, 120, 390, 300, F::Default, {},
              P::None, 0, 52},

    // Radical keys, row by row. 髟 lies over 身, 鸟 and 马; 酉 over 革; 礻 over 衤.
    Radical(Ctl::Comm1, u"虫", 0, 0, 300, 27),
    Radical(Ctl::Comm2, u"鱼", 300, 0, 300, 26),
    Radical(Ctl::Comm5, u"鸟", 600, 0, 300, 23),
    Radical(Ctl::Comm3, u"马", 900, 0, 300, 25),
    Button(Ctl::Command72, Ctl::Form1, u"鹿", 1200, 0, 300, 280, 45, 3),
    Radical(Ctl::Comm4, u"虍", 1500, 0, 300, 24),
    Radical(Ctl::Command69, u"鼠", 1800, 0, 300, 60),
    Radical(Ctl::Command78, u"鬼", 2100, 0, 300, 61),
    Radical(Ctl::Command77, u"豸", 2400, 0, 300, 62),
    Radical(Ctl::Comm6, u"角", 2700, 0, 300, 8),

    Radical(Ctl::Command79, u"耳", 0, 280, 270, 47),
    Radical(Ctl::Command74, u"鼻", 270, 280, 270, 58),
    Radical(Ctl::Comm10, u"齿", 540, 280, 270, 20),
    Radical(Ctl::Command76, u"髟", 810, 270, 300, 57, 1),
    Radical(Ctl::Comm9, u"身", 1080, 280, 270, 21),
    Button(Ctl::Command73, Ctl::Form1, u"骨", 1350, 280, 270, 280, 46, 3),
    Radical(Ctl::Comm13, u"足", 1620, 280, 270, 6),
    Radical(Ctl::Comm14, u"走", 1890, 280, 270, 3),
    Radical(Ctl::Comm15, u"舟", 2160, 280, 280, 18),
    Radical(Ctl::Comm16, u"车", 2440, 280, 270, 17),
    Radical(Ctl::Comm29, u"敝", 2710, 280, 280, 81),

    Radical(Ctl::Comm8, u"女", 0, 560, 270, 22),
    Radical(Ctl::Comm11, u"月", 270, 560, 270, 19),
    Radical(Ctl::Comm17, u"忄", 540, 560, 270, 16),
    Radical(Ctl::Command4, u"口", 810, 570, 270, 78, 0, 270),
    Radical(Ctl::Comm18, u"疒", 1080, 560, 270, 15),
    Radical(Ctl::Comm20, u"方", 1350, 560, 270, 5),
    Radical(Ctl::Comm12, u"气", 1620, 570, 270, 33, 0, 270),
    Radical(Ctl::Command66, u"犭", 1890, 570, 270, 59, 0, 270),
    Radical(Ctl::Comm7, u"革", 2160, 565, 290, 7, 0, 275),
    Radical(Ctl::Command75, u"酉", 2440, 570, 270, 63, 1, 270),
    Radical(Ctl::Command71, u"黑", 2710, 570, 280, 64, 0, 270),

    Radical(Ctl::Comm22, u"钅", 0, 840, 270, 13),
    Radical(Ctl::Comm23, u"火", 270, 840, 270, 12),
    Radical(Ctl::Comm24, u"纟", 540, 840, 270, 11),
    Radical(Ctl::Comm25, u"石", 810, 840, 270, 10),
    Radical(Ctl::Comm26, u"艹", 1080, 840, 270, 9),
    Radical(Ctl::Comm27, u"竹", 1350, 840, 270, 4),
    Radical(Ctl::Comm19, u"宀", 1620, 840, 270, 14),
    Radical(Ctl::Comm28, u"雨", 1890, 840, 270, 1),
    Radical(Ctl::Comm21, u"衤", 2180, 840, 270, 2),
    Radical(Ctl::Comm30, u"礻", 2440, 840, 270, 48, 1),
    Radical(Ctl::Command3, u"弓", 2710, 840, 280, 77),

    // Stroke pad: each key's shown picture over its two stores. H lies over I; otherwise the
    // key to the right lies on top.
    Picture(Ctl::Image1, 0, P::HNormal, 0),
    Picture(Ctl::Image2, 0, P::HPressed, 0),
    Picture(Ctl::Image3, 0, P::HNormal, 5),
    Picture(Ctl::Image4, 360, P::INormal, 0),
    Picture(Ctl::Image5, 360, P::IPressed, 0),
    Picture(Ctl::Image6, 360, P::INormal, 1, u"＝I键"),
    Picture(Ctl::Image7, 720, P::JNormal, 0),
    Picture(Ctl::Image8, 720, P::JPressed, 0),
    Picture(Ctl::Image9, 720, P::JNormal, 2, u"＝J键"),
    Picture(Ctl::Image10, 1080, P::KNormal, 0),
    Picture(Ctl::Image11, 1080, P::KPressed, 0),
    Picture(Ctl::Image12, 1080, P::KNormal, 3, u"＝K键"),
    Picture(Ctl::Image13, 1440, P::LNormal, 0),
    Picture(Ctl::Image14, 1440, P::LPressed, 0),
    Picture(Ctl::Image15, 1440, P::LNormal, 4, u"＝L键"),

    // Candidate keys and the mode toggle. "9" lies over "0", "5" over the toggle.
    Candidate(54, u"6", 0, 570, 300, 270, 75),
    Candidate(55, u"7", 300, 570, 290, 270, 70),
    Candidate(56, u"8", 590, 570, 300, 270, 69),
    Candidate(57, u"9", 890, 570, 300, 270, 68, 1),
    Candidate(48, u"0", 1180, 570, 300, 270, 67),
    Candidate(189, u"--", 1480, 570, 330, 270, 79, 0, F::Default),
    Candidate(49, u"1", 0, 840, 300, 277, 66),
    Candidate(50, u"2", 300, 840, 290, 275, 71),
    Candidate(51, u"3", 590, 840, 300, 275, 72),
    Candidate(52, u"4", 890, 840, 300, 270, 73),
    Candidate(53, u"5", 1200, 840, 300, 270, 74, 1),
    Button(Ctl::Command2, Ctl::Frame4, u"-", 1480, 840, 330, 270, 65),

    // Editing column. 退笔 lies over 重写.
    Button(Ctl::Command1, Ctl::Frame6, u"重写", 0, 0, 540, 275, 29, 0, F::Default, u"=键Esc"),
    Button(Ctl::Command9, Ctl::Frame6, u"退笔", 0, 264, 540, 280, 30, 1, F::Default, u"=键Backspace"),
    Button(Ctl::Command10, Ctl::Frame6, u"上页", 0, 548, 540, 280, 31, 0, F::Default, u"=键PageUp"),
    Button(Ctl::Command11, Ctl::Frame6, u"下页", 0, 835, 540, 280, 32, 0, F::Default, u"=键PageDown"),
    Button(Ctl::Cmm2, Ctl::Frame6, u"帮助", 0, 1120, 540, 320, 76),
    Button(Ctl::Command5, Ctl::Frame6, u"造词开始", 540, 0, 375, 1440, 80),

    // Bottom row. ； lies over ?, ( over 。, ) over 你好.
    Bottom(Ctl::Command12, u"的", 0, 300, 34, 3, F::SongBold9),
    Bottom(Ctl::Command14, u"是", 300, 300, 35, 3, F::SongBold9),
    Bottom(Ctl::Command15, u"在", 600, 300, 36, 3, F::SongBold9),
    Bottom(Ctl::Command13, u"不", 900, 300, 51, 3, F::SongBold9),
    Bottom(Ctl::Command43, u"：", 1200, 240, 41),
    Bottom(Ctl::Command44, u"”", 1440, 240, 42),
    Bottom(Ctl::Command45, u"’", 1680, 240, 43),
    Bottom(Ctl::Command46, u"；", 1920, 250, 44, 4),
    Bottom(Ctl::Command32, u"?", 2160, 240, 38),
    Bottom(Ctl::Command33, u"!", 2400, 240, 39),
    Bottom(Ctl::Command19, u"、", 2640, 250, 55),
    Bottom(Ctl::Command35, u"，", 2890, 250, 40),
    Bottom(Ctl::Command29, u"。", 3140, 250, 37),
    Bottom(Ctl::Command16, u"(", 3370, 250, 53, 4),
    Bottom(Ctl::Command18, u")", 3630, 250, 54, 4),
    Bottom(Ctl::Command17, u"你好", 3850, 520, 49),
    Bottom(Ctl::Command23, u"哇", 4380, 430, 50),
};

bool TakesFocus(const LayoutRow& row) {
  return row.tabIndex >= 0 && row.kind != ControlKind::Frame && row.kind != ControlKind::Picture;
}

}  // namespace

std::span<const LayoutRow> LayoutTable() { return kLayout; }

const LayoutRow* FindLayoutRow(ControlId control) {
  const auto it = std::find_if(kLayout.begin(), kLayout.end(),
                               [control](const LayoutRow& row) { return row.control == control; });
  return it == kLayout.end() ? nullptr : &*it;
}

const LayoutRow& LayoutRowOf(ControlId control) {
  if (const LayoutRow* row = FindLayoutRow(control)) return *row;
  throw PanelError(ErrorKind::SubscriptOutOfRange, "no control " + ControlName(control));
}

std::optional<ControlId> NextTabStop(ControlId current, bool forward,
                                     const std::function<bool(ControlId)>& shown) {
  std::vector<const LayoutRow*> stops;
  for (const LayoutRow& row : kLayout) {
    if (TakesFocus(row)) stops.push_back(&row);
  }
  std::sort(stops.begin(), stops.end(),
            [](const LayoutRow* a, const LayoutRow* b) { return a->tabIndex < b->tabIndex; });
  const LayoutRow* here = FindLayoutRow(current);
  const int from = here ? here->tabIndex : (forward ? -1 : 128);
  const auto n = static_cast<int>(stops.size());
  // Start just past the current place in the order and go round once.
  int start = 0;
  while (start < n && (forward ? stops[start]->tabIndex <= from : stops[start]->tabIndex < from)) ++start;
  for (int step = 0; step < n; ++step) {
    const int i = forward ? (start + step) % n : ((start - 1 - step) % n + n) % n;
    if (shown(stops[i]->control)) return stops[i]->control;
  }
  return std::nullopt;
}

}  // namespace yg
