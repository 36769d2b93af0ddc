#pragma once

// What Linux's /proc says about a process or thread, read from the text of its files: under Wine
// the only place where another program's processor time and wake-ups can be had. Platform-neutral,
// so that the reading is tested on its own.

#include <string_view>

namespace yg::tools {

// utime + stime, the 14th and 15th fields of /proc/<pid>/stat, in clock ticks; -1 when the text
// is not such a line. The command name, field 2, is in brackets and may hold spaces and brackets
// of its own.
long long TicksInStat(std::string_view stat);

// The number on the line "voluntary_ctxt_switches:" of /proc/<pid>/task/<tid>/status; -1 when
// there is none.
long long VoluntarySwitchesInStatus(std::string_view status);

}  // namespace yg::tools
