// yg_hold_file: holds a file open the way the help viewer holds ygHelp.chm (read access, others
// may read but neither write nor delete it), so that the installer's tests can meet a help file
// that is in use.
//
//   yg_hold_file.exe <file> <ready-marker> <release-marker>
//
// Opens the file, then creates <ready-marker>; closes the file and ends once <release-marker>
// exists, or after five minutes. Exit status 0: held and released; 1: the file could not be
// opened; 2: bad usage.
#include <windows.h>

namespace {

bool Exists(const wchar_t* path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) return 2;
  const HANDLE file = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  const HANDLE ready = CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (ready != INVALID_HANDLE_VALUE) CloseHandle(ready);
  for (int waited = 0; waited < 5 * 60 * 20 && !Exists(argv[3]); ++waited) Sleep(50);
  CloseHandle(file);
  return 0;
}
