#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace yg {

// What the program's version resource says of it.
struct ProgramVersion {
  std::u16string description;  // the program's name
  std::u16string version;      // "1.0.0"
  std::u16string copyright;
};

// The program's place in the system: its file and version, the shell, other copies of it.
class Shell {
 public:
  virtual ~Shell() = default;

  // True when another copy of the program runs in this user session.
  virtual bool AnotherCopyRunning() = 0;
  // Tells the copy that runs that the program was started again (Form1::StartedAgain). Never
  // fails: a copy that cannot be told is not.
  virtual void TellRunningCopy() = 0;
  // The folder of the program's executable: no trailing backslash, except for a drive's root
  // folder ("C:\"). A failure raises PanelError.
  virtual std::u16string ExecutableFolder() = 0;
  // The full path of the program's executable, as the system started it. A failure raises
  // PanelError.
  virtual std::u16string ExecutablePath() = 0;
  // From the program's version resource; a text the resource lacks is empty. Never fails.
  virtual ProgramVersion Version() = 0;
  // Asks the shell to apply `verb` to `file`, as ShellExecute does: a result above 32 means
  // success.
  virtual std::intptr_t Execute(std::u16string_view verb, std::u16string_view file,
                                std::u16string_view parameters, std::u16string_view directory,
                                int showCommand) = 0;
};

}  // namespace yg
