#include <gtest/gtest.h>

#include "keys/key_injector.h"
#include "keys/key_sequence.h"
#include "base/errors.h"
#include "tests/fakes/fake_key_sink.h"

namespace yg {
namespace {

using testing::Describe;
using testing::FakeKeySink;

struct OperationCase {
  const char* name;
  void (KeySequence::*op)(std::int16_t);
  std::int16_t vk;
  const char* events;
};

TEST(KeySequence, EachOperationAddsExactlyItsEvents) {
  const OperationCase cases[] = {
      {"press", &KeySequence::PressKey, 72, "d72"},
      {"release", &KeySequence::ReleaseKey, 72, "u72"},
      {"tap page up stays a plain key", &KeySequence::TapKey, 33, "d33 u33"},
      {"shift is held around the key, left shift only", &KeySequence::TapShiftedKey, 57, "d160 d57 u57 u160"},
      {"lowest key number", &KeySequence::TapKey, 0, "d0 u0"},
      {"highest key number", &KeySequence::TapKey, 255, "d255 u255"},
  };
  for (const auto& c : cases) {
    KeySequence keys;
    (keys.*c.op)(c.vk);
    EXPECT_EQ(Describe(keys.events()), c.events) << c.name;
  }
}

TEST(KeySequence, KeyNumbersOutsideAByteAreRefusedAndAddNothing) {
  for (std::int16_t vk : {-1, 256, -32768, 32767}) {
    for (auto op : {&KeySequence::PressKey, &KeySequence::ReleaseKey, &KeySequence::TapKey,
                    &KeySequence::TapShiftedKey}) {
      KeySequence keys;
      keys.TapKey(65);
      try {
        (keys.*op)(vk);
        ADD_FAILURE() << "accepted " << vk;
      } catch (const PanelError& e) {
        EXPECT_EQ(e.kind(), ErrorKind::Overflow) << vk;
      }
      EXPECT_EQ(Describe(keys.events()), "d65 u65") << vk;
    }
  }
}

TEST(KeyInjector, SendsAWholeSequenceInOneCall) {
  FakeKeySink sink;
  KeySequence keys;
  keys.TapShiftedKey(191);
  keys.TapKey(72);
  KeyInjector(sink).Send(keys);
  ASSERT_EQ(sink.Batches().size(), 1u);
  EXPECT_EQ(Describe(sink.Delivered()), "d160 d191 u191 u160 d72 u72");
}

TEST(KeyInjector, AnEmptySequenceMakesNoCall) {
  FakeKeySink sink;
  KeyInjector(sink).Send(KeySequence{});
  EXPECT_TRUE(sink.Batches().empty());
}

struct PartialCase {
  std::size_t taken;
  const char* releases;  // the second batch; "" when none is needed
};

TEST(KeyInjector, ReleasesWhatAPartlyTakenBatchLeftDown) {
  // Shift+9 and the word-building chord, cut after every possible event.
  const PartialCase shifted[] = {{0, ""}, {1, "u160"}, {2, "u57 u160"}, {3, "u160"}};
  for (const auto& c : shifted) {
    FakeKeySink sink;
    sink.TakeOnlyNext(c.taken);
    KeySequence keys;
    keys.TapShiftedKey(57);
    KeyInjector(sink).Send(keys);
    const std::size_t expectedCalls = *c.releases ? 2 : 1;
    ASSERT_EQ(sink.Batches().size(), expectedCalls) << c.taken;
    if (expectedCalls == 2) {
      EXPECT_EQ(Describe(sink.Batches()[1]), c.releases) << c.taken;
    }
    EXPECT_TRUE(sink.HeldKeys().empty()) << c.taken;
  }
  const PartialCase chord[] = {{1, "u17"}, {2, "u192 u17"}, {3, "u17"}};
  for (const auto& c : chord) {
    FakeKeySink sink;
    sink.TakeOnlyNext(c.taken);
    KeySequence keys;
    keys.PressKey(17);
    keys.TapKey(192);
    keys.ReleaseKey(17);
    KeyInjector(sink).Send(keys);
    ASSERT_EQ(sink.Batches().size(), 2u) << c.taken;
    EXPECT_EQ(Describe(sink.Batches()[1]), c.releases) << c.taken;
    EXPECT_TRUE(sink.HeldKeys().empty()) << c.taken;
  }
}

TEST(KeyInjector, RetriesReleasesTheSystemRefusedButGivesUpAfterAFewAttempts) {
  FakeKeySink sink;
  sink.TakeOnlyNext(2);  // Shift and 9 down
  sink.TakeOnlyNext(0);  // the releases refused once
  sink.TakeOnlyNext(1);  // then only the 9 released
  KeySequence keys;
  keys.TapShiftedKey(57);
  KeyInjector(sink).Send(keys);
  ASSERT_EQ(sink.Batches().size(), 4u);
  EXPECT_EQ(Describe(sink.Batches()[3]), "u160");
  EXPECT_TRUE(sink.HeldKeys().empty());

  FakeKeySink stubborn;
  stubborn.SetPolicy([](std::span<const KeyEvent> events) { return events.size() == 4 ? 1 : 0; });
  KeyInjector(stubborn).Send(keys);
  EXPECT_EQ(stubborn.Batches().size(), 1u + KeyInjector::kReleaseAttempts);
}

TEST(KeyInjector, ReleasesForTracksEachKeyOnceInPressOrder) {
  const std::vector<KeyEvent> events{Down(17), Down(72), Up(72), Down(72), Down(160), Down(17)};
  // 17 was pressed again last, so it goes up first; 72 was pressed again after its release.
  EXPECT_EQ(Describe(ReleasesFor(events)), "u17 u160 u72");
  EXPECT_TRUE(ReleasesFor(std::vector<KeyEvent>{Down(8), Up(8)}).empty());
}

}  // namespace
}  // namespace yg
