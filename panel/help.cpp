#include "panel/help.h"

namespace yg {

namespace {
constexpr int kShowNormal = 1;
constexpr std::intptr_t kLastShellError = 32;  // the shell reports failure as 32 or less
}  // namespace

std::u16string HelpPath(std::u16string_view folder) {
  std::u16string path(folder);
  path += kHelpFileSuffix;
  return path;
}

void OpenHelp(Shell& shell, PanelWindow& window) noexcept {
  try {
    const std::u16string path = HelpPath(shell.ExecutableFolder());
    if (shell.Execute(u"open", path, u"", u"", kShowNormal) > kLastShellError) return;
  } catch (...) {
    // Any failure on the way ends in the same message.
  }
  try {
    window.ShowMessage(kHelpNotFound);
  } catch (...) {
    // Nothing more can be said if even the message box fails.
  }
}

}  // namespace yg
