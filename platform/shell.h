#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace yg {

// The program's place in the system: its folder, the shell, other copies of it.
class Shell {
 public:
  virtual ~Shell() = default;

  // True when another copy of the program runs in this user session.
  virtual bool AnotherCopyRunning() = 0;
  // The folder of the program's executable: no trailing backslash, except for a drive's root
  // folder ("C:\"). A failure raises PanelError.
  virtual std::u16string ExecutableFolder() = 0;
  // Asks the shell to apply `verb` to `file`, as ShellExecute does: a result above 32 means
  // success.
  virtual std::intptr_t Execute(std::u16string_view verb, std::u16string_view file,
                                std::u16string_view parameters, std::u16string_view directory,
                                int showCommand) = 0;
};

}  // namespace yg
