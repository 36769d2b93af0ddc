// What a screen reader meets on the panel, and what its default action on a control does.

#include <gtest/gtest.h>

#include "base/errors.h"
#include "pads/stroke_pad.h"
#include "panel/accessibility.h"
#include "panel/form1.h"
#include "panel/layout.h"
#include "tests/fakes/fake_platform.h"

namespace yg {
namespace {

using testing::Describe;
using testing::FakePlatform;
using testing::Utf8;

// Whether a control lies wholly beneath another of its container, one higher in the stack.
bool Covered(const LayoutRow& row) {
  for (const LayoutRow& other : LayoutTable()) {
    if (other.container != row.container || other.layer <= row.layer) continue;
    if (other.left <= row.left && other.top <= row.top && other.left + other.width >= row.left + row.width &&
        other.top + other.height >= row.top + row.height) {
      return true;
    }
  }
  return false;
}

TEST(AccessibleFace, AControlIsAnnouncedExactlyWhenTheUserCanSeeIt) {
  int covered = 0;
  for (const LayoutRow& row : LayoutTable()) {
    const bool announced = AccessibleFaceOf(row.control).role != AccessibleRole::None;
    EXPECT_NE(announced, Covered(row)) << ControlName(row.control);
    covered += Covered(row) ? 1 : 0;
  }
  EXPECT_EQ(covered, 11) << "the ten picture stores and Combo1";
}

TEST(AccessibleFace, EveryAnnouncedControlHasANameAndEveryKeyAnAction) {
  for (const LayoutRow& row : LayoutTable()) {
    const AccessibleFace face = AccessibleFaceOf(row.control);
    if (face.role == AccessibleRole::None) {
      EXPECT_EQ(face.action, AccessibleAction::None) << ControlName(row.control);
      continue;
    }
    const std::u16string_view name = face.name.empty() ? row.caption : face.name;
    EXPECT_FALSE(name.empty()) << ControlName(row.control);
    EXPECT_EQ(face.role == AccessibleRole::PushButton, face.action != AccessibleAction::None)
        << ControlName(row.control);
    EXPECT_EQ(face.role == AccessibleRole::Grouping, row.kind == ControlKind::Frame) << ControlName(row.control);
  }
}

TEST(AccessibleFace, StrokeKeysNameTheirStrokeAndTheLetterTheyType) {
  for (const StrokeKey& key : kStrokeKeys) {
    const AccessibleFace face = AccessibleFaceOf(key.control);
    EXPECT_EQ(face.role, AccessibleRole::PushButton) << ControlName(key.control);
    EXPECT_EQ(face.action, AccessibleAction::StrokeRelease) << ControlName(key.control);
    // One stroke word, a space, the letter: "横 H".
    ASSERT_EQ(face.name.size(), 3u) << ControlName(key.control);
    EXPECT_GT(face.name[0], u'\x2E80') << "a Chinese stroke word";
    EXPECT_EQ(face.name[1], u' ');
    EXPECT_EQ(face.name[2], static_cast<char16_t>(key.vk)) << ControlName(key.control);
    for (ControlId store : {key.normalHolder, key.pressedHolder}) {
      EXPECT_EQ(AccessibleFaceOf(store).role, AccessibleRole::None) << ControlName(store);
    }
  }
}

TEST(AccessibleFace, AControlThePanelLacksHasNone) {
  EXPECT_THROW(AccessibleFaceOf(Skb(47)), PanelError);
  EXPECT_THROW(AccessibleFaceOf(Ctl::Form1), PanelError);
}

// The default action against what the user does with the mouse, on two panels side by side: the
// same calls to the world, in the same order.
TEST(DefaultAction, DoesWhatAClickOrAStrokeKeysReleaseDoes) {
  for (const LayoutRow& row : LayoutTable()) {
    const AccessibleAction action = AccessibleFaceOf(row.control).action;
    FakePlatform clicked, acted;
    clicked.shell.executeResult = acted.shell.executeResult = 2;  // no help file: the message box
    Form1 byMouse(clicked.View()), byReader(acted.View());
    byMouse.MouseDown(Ctl::Image9, {});  // J held down: released by either path below
    byReader.MouseDown(Ctl::Image9, {});
    if (action == AccessibleAction::StrokeRelease) {  // a release completes a press on the key
      byMouse.MouseDown(row.control, {});
      byReader.MouseDown(row.control, {});
    }
    clicked.log.Clear();
    acted.log.Clear();
    if (action == AccessibleAction::Click) byMouse.Click(row.control);
    if (action == AccessibleAction::StrokeRelease) byMouse.MouseUp(row.control, {});
    byReader.DefaultAction(row.control);
    EXPECT_EQ(acted.log.entries(), clicked.log.entries()) << ControlName(row.control);
    EXPECT_EQ(Describe(acted.keys.Delivered()), Describe(clicked.keys.Delivered())) << ControlName(row.control);
    if (action == AccessibleAction::None) {
      EXPECT_TRUE(acted.log.entries().empty()) << ControlName(row.control);
    }
    EXPECT_TRUE(acted.window.fatalErrors.empty()) << ControlName(row.control);
  }
}

TEST(DefaultAction, OfAStrokeKeyShowsItsNormalPictureAndTypesItsLetter) {
  FakePlatform fake;
  Form1 panel(fake.View());
  panel.MouseDown(Ctl::Image12, {});
  panel.DefaultAction(Ctl::Image12);
  EXPECT_EQ(fake.controls.Of(Ctl::Image12).picture, StrokePicture::KNormal);
  panel.DefaultAction(Ctl::Image3);
  EXPECT_EQ(Describe(fake.keys.Delivered()), "d75 u75 d72 u72");
}

// A message box or the move loop holds its handler; what a screen reader asks for meanwhile must
// not run inside it, just as no click reaches the panel then.
TEST(DefaultAction, IsDroppedWhileAnotherHandlerWaits) {
  FakePlatform fake;
  Form1 panel(fake.View());
  fake.shell.executeResult = 2;
  fake.window.whileBlocked = [&] {
    panel.DefaultAction(Ctl::Comm1);
    panel.DefaultAction(Ctl::Image3);
    panel.DefaultAction(Ctl::Cmm2);
  };
  panel.Click(Ctl::Cmm2);     // help file missing: a message box
  panel.MouseDown(MouseArgs{}); // the move loop (a left press)
  EXPECT_TRUE(fake.keys.Batches().empty());
  EXPECT_EQ(fake.window.messages.size(), 1u);
  fake.window.whileBlocked = nullptr;
  panel.DefaultAction(Ctl::Comm3);  // and afterwards it works again
  EXPECT_EQ(Describe(fake.keys.Delivered()), "d76 u76 d76 u76 d72 u72");
  EXPECT_TRUE(fake.window.fatalErrors.empty());
}

TEST(DefaultAction, OnAControlThePanelLacksIsFatalAndNamesIt) {
  FakePlatform fake;
  Form1 panel(fake.View());
  panel.DefaultAction(Skb(47));
  ASSERT_EQ(fake.window.fatalErrors.size(), 1u);
  const std::string report = Utf8(fake.window.fatalErrors[0]);
  EXPECT_NE(report.find("Subscript out of range"), std::string::npos) << report;
  EXPECT_NE(report.find("DefaultAction of skb(47)"), std::string::npos) << report;
  EXPECT_TRUE(fake.keys.Batches().empty());
}

}  // namespace
}  // namespace yg
