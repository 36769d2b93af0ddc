#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

#include "pads/editing_keys.h"
#include "panel/form1.h"
#include "tests/fakes/fake_platform.h"

namespace yg {
namespace {

using testing::Describe;
using testing::FakePlatform;
using testing::Utf8;

class PanelTest : public ::testing::Test {
 protected:
  FakePlatform fake;
  Form1 panel{fake.View()};

  std::string Keys() const { return Describe(fake.keys.Delivered()); }
  std::u16string Caption(ControlId c) const { return fake.controls.Of(c).caption; }
  // Position of the first log entry starting with `prefix`, or -1.
  long LogIndex(const std::string& prefix) const {
    const auto& e = fake.log.entries();
    const auto it = std::find_if(e.begin(), e.end(), [&](const std::string& s) { return s.rfind(prefix, 0) == 0; });
    return it == e.end() ? -1 : it - e.begin();
  }
};

TEST_F(PanelTest, WordBuildingKeyTogglesItsCaptionBeforeEachChord) {
  EXPECT_EQ(Caption(Ctl::Command5), u"造词开始");
  panel.Click(Ctl::Command5);
  EXPECT_EQ(Caption(Ctl::Command5), u"造词结束");
  EXPECT_LT(LogIndex("SetCaption Command5"), LogIndex("Inject d17 d192 u192 u17"));
  panel.Click(Ctl::Command5);
  EXPECT_EQ(Caption(Ctl::Command5), u"造词开始");
  EXPECT_EQ(Keys(), "d17 d192 u192 u17 d17 d192 u192 u17");
}

TEST_F(PanelTest, WordBuildingKeyTreatsAnyOtherCaptionAsOn) {
  fake.controls.SetCaption(Ctl::Command5, u"造词开始 ");
  panel.Click(Ctl::Command5);
  EXPECT_EQ(Caption(Ctl::Command5), u"造词开始");
}

TEST_F(PanelTest, WordBuildingChordUsesTheLayoutsGraveAccentKey) {
  fake.layouts.graveKey = 223;  // where the UK layout has it
  panel.Click(Ctl::Command5);
  fake.layouts.graveKey.reset();  // no key types it unshifted
  panel.Click(Ctl::Command5);
  EXPECT_EQ(Keys(), "d17 d223 u223 u17 d17 d192 u192 u17");
}

TEST_F(PanelTest, CandidateKeysColourWithTheFocusAndStayWhiteAfter) {
  for (std::int16_t i : kCandidateKeyIndexes) EXPECT_FALSE(fake.controls.Of(Skb(i)).backColor) << i;
  panel.GotFocus(Skb(49));
  EXPECT_EQ(fake.controls.Of(Skb(49)).backColor, (Rgb{224, 255, 0}));
  panel.LostFocus(Skb(49));
  panel.GotFocus(Skb(189));
  EXPECT_EQ(fake.controls.Of(Skb(49)).backColor, (Rgb{255, 255, 255}));
  EXPECT_EQ(fake.controls.Of(Skb(189)).backColor, (Rgb{224, 255, 0}));
  EXPECT_FALSE(fake.controls.Of(Skb(50)).backColor);
  panel.GotFocus(Ctl::Command2);  // not a candidate key: nothing to colour
  EXPECT_TRUE(fake.keys.Batches().empty());
  EXPECT_TRUE(fake.window.fatalErrors.empty());
}

TEST_F(PanelTest, StrokeKeyShowsPressedPictureWhileHeldAndTypesOnRelease) {
  const MouseArgs right{2, 0, 3, 4};
  const MouseArgs shiftedRightOutside{2, 1, -50, 900};
  panel.MouseDown(Ctl::Image9, right);
  EXPECT_EQ(fake.controls.Of(Ctl::Image9).picture, StrokePicture::JPressed);
  EXPECT_TRUE(fake.keys.Batches().empty());
  panel.MouseUp(Ctl::Image9, shiftedRightOutside);
  EXPECT_EQ(fake.controls.Of(Ctl::Image9).picture, StrokePicture::JNormal);
  EXPECT_EQ(Keys(), "d74 u74");
  EXPECT_LT(LogIndex("ShowPictureOf Image9 Image7"), LogIndex("Inject"));
}

TEST_F(PanelTest, TwoButtonsHeldOnAStrokeKeyTypeItTwice) {
  panel.MouseDown(Ctl::Image3, {1});
  panel.MouseDown(Ctl::Image3, {2});
  panel.MouseUp(Ctl::Image3, {1});
  EXPECT_EQ(fake.controls.Of(Ctl::Image3).picture, StrokePicture::HNormal);
  panel.MouseUp(Ctl::Image3, {2});
  EXPECT_EQ(Keys(), "d72 u72 d72 u72");
}

// A press whose release never comes (another window took the mouse: Alt+Tab, a box, a menu)
// types nothing, and the key looks released again.
TEST_F(PanelTest, StrokeKeyTypesOnlyTheReleasesOfPressesNotCancelled) {
  const struct {
    const char* events;  // d<button>: press, u<button>: release, x: the key lost the mouse
    const char* keys;
    StrokePicture picture;
  } cases[] = {
      {"d1 u1", "d75 u75", StrokePicture::KNormal},
      {"d1 x", "", StrokePicture::KNormal},
      {"d1 x u1", "", StrokePicture::KNormal},
      {"d2 x u2 d1 u1", "d75 u75", StrokePicture::KNormal},
      {"d1 d2 u1 x u2", "d75 u75", StrokePicture::KNormal},
      {"d1 d2 u2 u1", "d75 u75 d75 u75", StrokePicture::KNormal},
      {"d1 u2", "", StrokePicture::KPressed},
      {"u1", "", StrokePicture::KNormal},
      {"d4 d1 x d1", "", StrokePicture::KPressed},
  };
  for (const auto& c : cases) {
    FakePlatform f;
    Form1 form(f.View());
    std::istringstream events(c.events);
    for (std::string e; events >> e;) {
      const MouseArgs args{e.size() > 1 ? std::stoi(e.substr(1)) : 0};
      if (e[0] == 'd') form.MouseDown(Ctl::Image12, args);
      if (e[0] == 'u') form.MouseUp(Ctl::Image12, args);
      if (e[0] == 'x') form.CaptureLost(Ctl::Image12);
    }
    EXPECT_EQ(Describe(f.keys.Delivered()), c.keys) << c.events;
    EXPECT_EQ(f.controls.Of(Ctl::Image12).picture, c.picture) << c.events;
    EXPECT_TRUE(f.window.fatalErrors.empty()) << c.events;
  }
}

TEST_F(PanelTest, LosingTheMouseWithNothingHeldChangesNothing) {
  panel.MouseDown(Ctl::Image3, {1});
  panel.MouseUp(Ctl::Image3, {1});
  fake.log.Clear();
  // The key lets go of the mouse itself after its last release.
  panel.CaptureLost(Ctl::Image3);
  panel.CaptureLost(Ctl::Comm1);  // not a stroke key
  EXPECT_TRUE(fake.log.entries().empty());
  EXPECT_EQ(Keys(), "d72 u72");
}

TEST_F(PanelTest, PendingCodeHoldsTheLastCodeTyped) {
  EXPECT_TRUE(panel.PendingCode().empty());
  panel.Click(Ctl::Comm3);
  panel.Click(Ctl::Command16);
  panel.Click(Skb(52));
  EXPECT_EQ(panel.PendingCode(), u"llh");
  panel.Click(Ctl::Command13);
  EXPECT_EQ(panel.PendingCode(), u"hjik");
}

TEST_F(PanelTest, ShiftedKeyCutShortByTheSystemLeavesNoKeyDown) {
  fake.keys.TakeOnlyNext(2);  // Shift and 9 went down, the rest was refused
  panel.Click(Ctl::Command16);
  EXPECT_EQ(Keys(), "d160 d57 u57 u160");
  EXPECT_TRUE(fake.keys.HeldKeys().empty());
  EXPECT_TRUE(fake.window.fatalErrors.empty());
}

TEST_F(PanelTest, CandidateIndexOutsideAByteIsFatalAndTypesNothing) {
  panel.Click(Skb(300));
  EXPECT_TRUE(fake.keys.Batches().empty());
  ASSERT_EQ(fake.window.fatalErrors.size(), 1u);
  const std::string report = Utf8(fake.window.fatalErrors[0]);
  EXPECT_NE(report.find("Overflow"), std::string::npos) << report;
  EXPECT_NE(report.find("Click of skb(300)"), std::string::npos) << report;
  EXPECT_TRUE(panel.Ended());
  panel.Click(Ctl::Comm1);  // the program has ended: nothing more is handled
  EXPECT_TRUE(fake.keys.Batches().empty());
}

TEST_F(PanelTest, FocusOnAMissingCandidateMemberIsFatal) {
  panel.GotFocus(Skb(47));
  ASSERT_EQ(fake.window.fatalErrors.size(), 1u);
  EXPECT_NE(Utf8(fake.window.fatalErrors[0]).find("Subscript out of range"), std::string::npos);
}

TEST_F(PanelTest, AFailedCaptionStopsTheWordBuildingKeyBeforeItsChord) {
  fake.controls.failing.insert("SetCaption");
  panel.Click(Ctl::Command5);
  EXPECT_TRUE(fake.keys.Batches().empty());
  ASSERT_EQ(fake.window.fatalErrors.size(), 1u);
  EXPECT_NE(Utf8(fake.window.fatalErrors[0]).find("System facility failed"), std::string::npos);
}

}  // namespace
}  // namespace yg
