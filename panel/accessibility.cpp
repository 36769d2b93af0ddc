#include "panel/accessibility.h"

#include <array>

#include "base/errors.h"
#include "pads/key_rows.h"
#include "panel/layout.h"

namespace yg {

namespace {

using R = AccessibleRole;
using A = AccessibleAction;

// Every control that is not a plain push button named by its caption. The stroke keys say their
// stroke and the letter they type; the picture stores under them and the keyboard-layout list
// are never seen, so a screen reader never meets them either.
constexpr std::array<AccessibleFace, 19> kFaces{{
    {Ctl::Frame1, R::Grouping, u"部首键", A::None},
    {Ctl::Frame4, R::Grouping, u"笔画键和选字键", A::None},
    {Ctl::Frame6, R::Grouping, u"编辑键", A::None},
    {Ctl::Image3, R::PushButton, u"横 H", A::StrokeRelease},
    {Ctl::Image6, R::PushButton, u"竖 I", A::StrokeRelease},
    {Ctl::Image9, R::PushButton, u"撇 J", A::StrokeRelease},
    {Ctl::Image12, R::PushButton, u"点 K", A::StrokeRelease},
    {Ctl::Image15, R::PushButton, u"折 L", A::StrokeRelease},
    {Ctl::Image1, R::None, {}, A::None},
    {Ctl::Image2, R::None, {}, A::None},
    {Ctl::Image4, R::None, {}, A::None},
    {Ctl::Image5, R::None, {}, A::None},
    {Ctl::Image7, R::None, {}, A::None},
    {Ctl::Image8, R::None, {}, A::None},
    {Ctl::Image10, R::None, {}, A::None},
    {Ctl::Image11, R::None, {}, A::None},
    {Ctl::Image13, R::None, {}, A::None},
    {Ctl::Image14, R::None, {}, A::None},
    {Ctl::Combo1, R::None, {}, A::None},
}};

}  // namespace

AccessibleFace AccessibleFaceOf(ControlId control) {
  if (const AccessibleFace* face = FindRow(kFaces, control)) return *face;
  const LayoutRow* row = FindLayoutRow(control);
  if (row && row->kind == ControlKind::Button) return {control, R::PushButton, {}, A::Click};
  throw PanelError(ErrorKind::SubscriptOutOfRange, "no accessible control " + ControlName(control));
}

}  // namespace yg
