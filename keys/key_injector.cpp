#include "keys/key_injector.h"

#include <algorithm>

#include "keys/scan_codes.h"

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

std::vector<KeyEvent> KeyInjector::WithScanCodes(std::span<const KeyEvent> events) const {
  std::vector<KeyEvent> addressed(events.begin(), events.end());
  if (scanCodes_) {
    for (KeyEvent& e : addressed) e = WithScanCode(e, ScanCodeOf(e.vk, scanCodes_(e.vk)));
  }
  return addressed;
}

void KeyInjector::Send(const KeySequence& keys) const {
  if (keys.events().empty()) return;
  const auto events = WithScanCodes(keys.events());
  const std::size_t taken = std::min(sink_.Inject(events), events.size());
  if (taken == events.size()) return;
  // Release what the taken part left down; should the system refuse some of that too, try the
  // rest again a few times rather than leave a key held system-wide.
  const auto releases = WithScanCodes(ReleasesFor(std::span(events).first(taken)));
  std::span<const KeyEvent> rest(releases);
  for (int attempt = 0; attempt < kReleaseAttempts && !rest.empty(); ++attempt) {
    rest = rest.subspan(std::min(sink_.Inject(rest), rest.size()));
  }
}

}  // namespace yg
