// The fakes stand in for the system in every other test, so they are tested too.

#include <gtest/gtest.h>

#include "base/errors.h"
#include "tests/fakes/fake_platform.h"

namespace yg::testing {
namespace {

TEST(FakeKeySink, TracksEveryKeyAndTakesOnlyWhatItIsTold) {
  FakeKeySink sink;
  const std::vector<KeyEvent> batch{Down(160), Down(57), Up(57), Up(160)};
  sink.TakeOnlyNext(2);
  EXPECT_EQ(sink.Inject(batch), 2u);
  EXPECT_EQ(sink.HeldKeys(), (std::vector<std::uint8_t>{57, 160}));
  EXPECT_EQ(sink.Inject(batch), 4u);  // the limit applied to one call only
  EXPECT_TRUE(sink.HeldKeys().empty());
  EXPECT_EQ(Describe(sink.Delivered()), "d160 d57 d160 d57 u57 u160");
  EXPECT_EQ(sink.Batches().size(), 2u);
}

TEST(FakeControls, StartsFromTheLayoutAndHidesAFramesChildrenWithIt) {
  CallLog log;
  FakeControls controls(log);
  EXPECT_EQ(controls.Of(Ctl::Command5).caption, u"造词开始");
  EXPECT_EQ(controls.Of(Ctl::Image3).picture, StrokePicture::HNormal);
  controls.SetVisible(Ctl::Frame1, false);
  EXPECT_FALSE(controls.Shown(Ctl::Comm1));
  EXPECT_TRUE(controls.Of(Ctl::Comm1).visible);
  EXPECT_TRUE(controls.Shown(Ctl::Command72));  // on the panel itself
  controls.ShowPictureOf(Ctl::Image3, Ctl::Image2);
  EXPECT_EQ(controls.Of(Ctl::Image3).picture, StrokePicture::HPressed);
  EXPECT_THROW(controls.Of(Skb(47)), PanelError);
}

TEST(FakePanelWindow, RunsWhatArrivesWhileAMessageOrTheMoveLoopBlocks) {
  CallLog log;
  FakePanelWindow window(log);
  window.whileBlocked = [&] { log.Add("arrived"); };
  window.ShowMessage(u"x");
  window.RunMoveLoop();
  window.SetTopmost(0x53);
  EXPECT_EQ(log.entries(), (std::vector<std::string>{"ShowMessage x", "arrived", "RunMoveLoop", "arrived",
                                                     "SetTopmost 0x53"}));
}

TEST(FakeKeyboardLayouts, DescriptionsShareTheCallersBufferLikeTheSystemsCall) {
  CallLog log;
  FakeKeyboardLayouts layouts(log);
  layouts.installed = {{1, 1, u"Longer name"}, {2, 1, u"Short", false, false}, {3, 1, u"x", true}};
  std::array<char16_t, 16> buffer{};
  EXPECT_EQ(layouts.Description(1, buffer), 11u);
  EXPECT_EQ(layouts.Description(2, buffer), 5u);
  EXPECT_EQ(std::u16string(buffer.data()), u"Shortr name");  // no terminator was written
  EXPECT_EQ(layouts.Description(3, buffer), 0u);
}

TEST(FakePanelWindow, AGrownKeySizeKeepsTheCornersPixelAndThePanelsTwips) {
  CallLog log;
  FakePanelWindow window(log);
  window.twipsPerPixel = 0;
  window.left = 3000;
  window.top = 9000;
  window.SetKeySize(150);
  EXPECT_EQ(window.left, 2000);
  EXPECT_EQ(window.top, 6000);
  EXPECT_EQ(window.width, 5760) << "the panel's own twips stay";
  EXPECT_EQ(window.screenWidth, 10240);
  window.SetKeySize(100);
  EXPECT_EQ(window.left, 3000);
  EXPECT_EQ(window.screenHeight, 11520);
}

}  // namespace
}  // namespace yg::testing
