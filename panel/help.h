#pragma once

#include <string>
#include <string_view>

#include "ports/panel_window.h"
#include "ports/shell.h"

namespace yg {

inline constexpr std::u16string_view kHelpFileSuffix = u"\\ygHelp.chm";
inline constexpr std::u16string_view kHelpNotFound = u"未找到文件";

// The help file beside the executable: the folder, then "\ygHelp.chm".
std::u16string HelpPath(std::u16string_view folder);

// The click of Cmm2: asks the shell to open the help file. Whatever fails, the one message
// kHelpNotFound is shown and the panel goes on; no error leaves this handler.
void OpenHelp(Shell& shell, PanelWindow& window) noexcept;

}  // namespace yg
