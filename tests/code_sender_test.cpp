#include <gtest/gtest.h>

#include <string>

#include "keys/code_sender.h"
#include "base/errors.h"
#include "tests/fakes/call_log.h"
#include "tests/fakes/fake_key_sink.h"

namespace yg {
namespace {

using testing::Describe;

struct CodeCase {
  std::u16string code;
  bool pickFirst;
  const char* events;
};

TEST(CodeSender, TypesCodeLettersOnlyAndFramesThePickFirstVariant) {
  const CodeCase cases[] = {
      {u"", false, ""},
      {u"", true, "d27 u27 d49 u49"},
      {u"ilh", false, "d73 u73 d76 u76 d72 u72"},
      {u"g", false, "d71 u71"},
      {u"jilhhjlk", true,
       "d27 u27 d74 u74 d73 u73 d76 u76 d72 u72 d72 u72 d74 u74 d76 u76 d75 u75 d49 u49"},
      // Anything but the six lower-case code letters is skipped; the letters after it still go.
      {u"hxh", false, "d72 u72 d72 u72"},
      {u"H", false, ""},
      {u"h 1k\u864Bl", false, "d72 u72 d75 u75 d76 u76"},
  };
  for (const auto& c : cases) {
    KeySequence keys;
    if (c.pickFirst) {
      AppendCodePickFirst(keys, c.code);
    } else {
      AppendCode(keys, c.code);
    }
    EXPECT_EQ(Describe(keys.events()), c.events) << testing::Utf8(c.code);
  }
}

TEST(CodeSender, ACodeBeyondTheCounterIsRefusedBeforeItsFirstLetter) {
  const std::u16string longest(kMaxCodeLength, u'h');
  KeySequence ok;
  AppendCode(ok, longest);
  EXPECT_EQ(ok.events().size(), 2 * kMaxCodeLength);

  for (bool pickFirst : {false, true}) {
    KeySequence keys;
    const std::u16string tooLong(kMaxCodeLength + 1, u'h');
    try {
      pickFirst ? AppendCodePickFirst(keys, tooLong) : AppendCode(keys, tooLong);
      ADD_FAILURE() << "a code of " << tooLong.size() << " characters was typed";
    } catch (const PanelError& e) {
      EXPECT_EQ(e.kind(), ErrorKind::Overflow);
    }
  }
}

}  // namespace
}  // namespace yg
