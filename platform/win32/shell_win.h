#pragma once

#include <windows.h>

#include "ports/shell.h"
#include "platform/win32/scoped_win.h"

namespace yg::win32 {

// What CreateMutexW's result says of the single-copy mutex.
enum class SingleCopy {
  First,    // made it: no other copy runs
  Another,  // another copy holds it
  Failed,   // something else holds the name, or the system failed
};
SingleCopy SingleCopyFrom(bool gotHandle, DWORD lastError);

class SystemShell : public Shell {
 public:
  bool AnotherCopyRunning() override;
  void TellRunningCopy() override;
  std::u16string ExecutableFolder() override;
  std::u16string ExecutablePath() override;
  ProgramVersion Version() override;
  std::intptr_t Execute(std::u16string_view verb, std::u16string_view file, std::u16string_view parameters,
                        std::u16string_view directory, int showCommand) override;

  // The window that owns what the shell shows.
  HWND owner = nullptr;

 private:
  ScopedHandle singleCopy_;  // held for the life of the program
};

}  // namespace yg::win32
