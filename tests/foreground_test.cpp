// Who has the keyboard once a box, a menu or a drag of the panel is over.

#include <gtest/gtest.h>

#include "panel/foreground.h"

namespace yg {
namespace {

constexpr auto None = WindowOwner::None;
constexpr auto Panel = WindowOwner::Panel;
constexpr auto Other = WindowOwner::Other;
constexpr auto Taskbar = WindowOwner::Taskbar;

TEST(Foreground, GoesBackToTheUsersProgramOnlyWhenThePanelOrNobodyTookIt) {
  const struct {
    const char* situation;
    ForegroundChange change;
    bool giveBack;
  } cases[] = {
      {"the box closed and activated the panel", {Other, true, Panel}, true},
      {"the move loop left nothing active", {Other, true, None}, true},
      {"the user went to another program meanwhile (or back to the same)", {Other, true, Other}, false},
      {"the user's program was closed meanwhile", {Other, false, Panel}, false},
      {"the user's program was closed and nothing is active", {Other, false, None}, false},
      {"the panel itself was active (at start-up)", {Panel, true, Panel}, false},
      {"the panel was active and the help viewer is now", {Panel, true, Other}, false},
      {"nothing was active", {None, false, Panel}, false},
      {"a click on the notification icon made the taskbar active", {Other, true, Taskbar}, true},
      {"the user was in the taskbar itself", {Taskbar, true, Panel}, false},
  };
  for (const auto& c : cases) EXPECT_EQ(GiveForegroundBack(c.change), c.giveBack) << c.situation;
}

}  // namespace
}  // namespace yg
