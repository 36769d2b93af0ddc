#include "panel/foreground.h"

namespace yg {

bool GiveForegroundBack(const ForegroundChange& change) noexcept {
  return change.before == WindowOwner::Other && change.beforeStillExists && change.now != WindowOwner::Other;
}

}  // namespace yg
