#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "layouts/keyboard_layout_list.h"
#include "tests/fakes/fake_platform.h"

namespace yg {
namespace {

using testing::CallLog;
using testing::FakeControls;
using testing::FakeKeyboardLayouts;
using Layout = FakeKeyboardLayouts::Layout;

constexpr LayoutHandle kImeA = 0xE0010804, kUs = 0x04090409, kImeB = 0xE0020804, kGerman = 0x04070407;

struct ListCase {
  const char* name;
  std::vector<Layout> installed;
  std::vector<std::u16string> entries;
  std::int16_t englishIndex;
  std::string activatedAtExit;  // "" when nothing is
};

TEST(KeyboardLayoutList, ListsEveryLayoutAndRemembersTheLastPlainOne) {
  const std::u16string en = u"English (American)";
  const ListCase cases[] = {
      {"input methods around a plain layout",
       {{kImeA, 1, u"雁格输入法"}, {kUs, 0, u""}, {kImeB, 1, u"B"}},
       {u"雁格输入法", en, u"B"}, 1, "ActivateLayout 0x4090409"},
      {"two plain layouts: the later one counts",
       {{kUs, 0, u""}, {kGerman, 0, u""}}, {en, en}, 1, "ActivateLayout 0x4070407"},
      {"only input methods: position 0 is activated at exit",
       {{kImeA, 1, u"A"}, {kImeB, 1, u"B"}}, {u"A", u"B"}, 0, "ActivateLayout 0xe0010804"},
      {"no layout at all: nothing to go back to", {}, {}, 0, ""},
      {"an answer other than 1 means a plain layout",
       {{kImeA, 2, u"A"}, {kImeB, 1, u"B"}}, {en, u"B"}, 0, "ActivateLayout 0xe0010804"},
      {"a shorter description after a longer one shows only its own",
       {{kImeA, 1, u"Longer description"}, {kImeB, 1, u"Short", false, false}},
       {u"Longer description", u"Short"}, 0, "ActivateLayout 0xe0010804"},
      {"a failed description gives an empty entry and keeps positions aligned",
       {{kImeA, 1, u"A", true}, {kUs, 0, u""}}, {u"", en}, 1, "ActivateLayout 0x4090409"},
  };
  for (const auto& c : cases) {
    CallLog log;
    FakeControls controls(log);
    FakeKeyboardLayouts layouts(log);
    layouts.installed = c.installed;
    layouts.active = 0x11;
    KeyboardLayoutList list;
    list.ListKeyboardLayouts(layouts, controls);
    EXPECT_EQ(controls.Of(Ctl::Combo1).entries, c.entries) << c.name;
    EXPECT_EQ(list.EnglishIndex(), c.englishIndex) << c.name;
    // The thread's layout is left as it was found.
    EXPECT_EQ(log.entries().back(), "ActivateLayout 0x11") << c.name;
    log.Clear();
    list.RestoreEnglishLayout(layouts);
    EXPECT_EQ(log.entries(), c.activatedAtExit.empty() ? std::vector<std::string>{}
                                                       : std::vector<std::string>{c.activatedAtExit})
        << c.name;
  }
}

TEST(KeyboardLayoutList, ConsidersOnlyTheFirst25Layouts) {
  CallLog log;
  FakeControls controls(log);
  FakeKeyboardLayouts layouts(log);
  for (LayoutHandle h = 1; h <= 30; ++h) layouts.installed.push_back({h, 0, u""});
  KeyboardLayoutList list;
  list.ListKeyboardLayouts(layouts, controls);
  EXPECT_EQ(controls.Of(Ctl::Combo1).entries.size(), 25u);
  EXPECT_EQ(list.EnglishIndex(), 24);
  log.Clear();
  list.RestoreEnglishLayout(layouts);
  EXPECT_EQ(log.entries(), std::vector<std::string>{"ActivateLayout 0x19"});
}

TEST(KeyboardLayoutList, ADescriptionFillingTheWholeBufferIsKeptWhole) {
  CallLog log;
  FakeControls controls(log);
  FakeKeyboardLayouts layouts(log);
  const std::u16string full(KeyboardLayoutList::kDescriptionSize + 10, u'字');
  layouts.installed = {{kImeA, 1, full, false, false}};
  KeyboardLayoutList list;
  list.ListKeyboardLayouts(layouts, controls);
  EXPECT_EQ(controls.Of(Ctl::Combo1).entries.at(0).size(), KeyboardLayoutList::kDescriptionSize);
}

}  // namespace
}  // namespace yg
