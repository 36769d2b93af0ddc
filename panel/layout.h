#pragma once

// The panel's fixed layout: the window's design properties and one row per control. Positions
// and sizes are twips within the control's container (15 twips a pixel at 96 DPI).

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>

#include "base/control_id.h"

namespace yg {

enum class ControlKind : std::uint8_t {
  Frame,     // etched group box without caption; its children move and hide with it
  Button,    // plain system push button
  Picture,   // a stroke picture
  ComboBox,  // drop-down combo box
};

enum class FontRole : std::uint8_t {
  Default,   // the panel's font, one that shows the Chinese captions
  Arial9,    // "Arial" 9 pt
  SongBold9, // "宋体" 9 pt bold, GB2312 character set
};

enum class StrokePicture : std::uint8_t {
  None,
  HNormal, HPressed,
  INormal, IPressed,
  JNormal, JPressed,
  KNormal, KPressed,
  LNormal, LPressed,
};

struct LayoutRow {
  ControlId control;
  ControlKind kind;
  Ctl container;  // Ctl::Form1 for the panel's direct children
  std::u16string_view caption;
  std::int16_t left, top, width, height;
  FontRole font;
  std::u16string_view tooltip;
  StrokePicture picture;
  // Where controls of one container overlap, the one of the higher layer lies on top, is
  // drawn over the other and takes the mouse there.
  std::int8_t layer;
  std::int8_t tabIndex;  // -1: no place in the tab order
};

// The window itself.
inline constexpr std::u16string_view kPanelCaption =
    u"雁格输入法                                 qorin";  // 5 characters, 33 spaces, 5 letters
inline constexpr int kDesignClientWidth = 5760;
inline constexpr int kDesignClientHeight = 1575;

std::span<const LayoutRow> LayoutTable();

// The row of a control; nullptr when the panel has no such control.
const LayoutRow* FindLayoutRow(ControlId control);
// The row of a control; SubscriptOutOfRange when the panel has no such control.
const LayoutRow& LayoutRowOf(ControlId control);

// The control that Tab (forward) or Shift+Tab moves the focus to from `current`, skipping
// frames, pictures and whatever `shown` says is hidden; nothing when no control can take it.
std::optional<ControlId> NextTabStop(ControlId current, bool forward,
                                     const std::function<bool(ControlId)>& shown);

}  // namespace yg
