#include "tests/bench/proc_text.h"

#include <cstdlib>
#include <string>

namespace yg::tools {

namespace {

// The whole number at the start of `text` after blanks; -1 when there is none.
long long NumberAt(std::string_view text) {
  const std::size_t start = text.find_first_not_of(" \t");
  if (start == std::string_view::npos || text[start] < '0' || text[start] > '9') return -1;
  return std::strtoll(std::string(text.substr(start, 24)).c_str(), nullptr, 10);
}

}  // namespace

long long TicksInStat(std::string_view stat) {
  const std::size_t close = stat.rfind(')');
  if (close == std::string_view::npos) return -1;
  // Field 3 follows the bracket; fields 14 and 15 are the 12th and 13th after it.
  std::string_view rest = stat.substr(close + 1);
  long long ticks = 0;
  for (int field = 3; field <= 15; ++field) {
    const std::size_t start = rest.find_first_not_of(' ');
    if (start == std::string_view::npos) return -1;
    rest.remove_prefix(start);
    if (field >= 14) {
      const long long value = NumberAt(rest);
      if (value < 0) return -1;
      ticks += value;
    }
    const std::size_t end = rest.find(' ');
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end);
  }
  return ticks;
}

long long VoluntarySwitchesInStatus(std::string_view status) {
  // At the start of a line: not the one of nonvoluntary switches.
  constexpr std::string_view kKey = "voluntary_ctxt_switches:";
  for (std::size_t at = status.find(kKey); at != std::string_view::npos; at = status.find(kKey, at + 1)) {
    if (at == 0 || status[at - 1] == '\n') return NumberAt(status.substr(at + kKey.size()));
  }
  return -1;
}

}  // namespace yg::tools
