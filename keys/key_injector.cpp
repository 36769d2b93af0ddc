#include "keys/key_injector.h"

#include <algorithm>

namespace yg {

std::vector<KeyEvent> ReleasesFor(std::span<const KeyEvent> delivered) {
  std::vector<std::uint8_t> held;  // in the order they went down
  for (const KeyEvent& e : delivered) {
    std::erase(held, e.vk);
    if (e.direction == KeyDirection::Down) held.push_back(e.vk);
  }
  std::vector<KeyEvent> releases;
  for (auto it = held.rbegin(); it != held.rend(); ++it) releases.push_back(Up(*it));
  return releases;
}

void KeyInjector::Send(const KeySequence& keys) const {
  const auto events = keys.events();
  if (events.empty()) return;
  const std::size_t taken = std::min(sink_.Inject(events), events.size());
  if (taken == events.size()) return;
  // Release what the taken part left down; should the system refuse some of that too, try the
  // rest again a few times rather than leave a key held system-wide.
  const auto releases = ReleasesFor(events.first(taken));
  std::span<const KeyEvent> rest(releases);
  for (int attempt = 0; attempt < kReleaseAttempts && !rest.empty(); ++attempt) {
    rest = rest.subspan(std::min(sink_.Inject(rest), rest.size()));
  }
}

}  // namespace yg
