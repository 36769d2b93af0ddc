#include "base/control_id.h"

#include <array>

namespace yg {

std::string ControlName(ControlId id) {
  static constexpr std::array kNames{
#define YG_NAME_ENTRY(name) #name,
      YG_PANEL_CONTROLS(YG_NAME_ENTRY)
#undef YG_NAME_ENTRY
      "Form1",
  };
  const auto n = static_cast<std::size_t>(id.name);
  std::string name = n < kNames.size() ? kNames[n] : "?";
  if (id.name == Ctl::skb) name += "(" + std::to_string(id.index) + ")";
  return name;
}

}  // namespace yg
