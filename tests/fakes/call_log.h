#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace yg::testing {

// The calls the fakes received, in order, across all of them: "SetWidth 5840",
// "Activate 0x409". Reads are logged too, with a trailing "?".
class CallLog {
 public:
  void Add(std::string entry) { entries_.push_back(std::move(entry)); }
  const std::vector<std::string>& entries() const { return entries_; }
  void Clear() { entries_.clear(); }

 private:
  std::vector<std::string> entries_;
};

std::string Utf8(std::u16string_view text);
// Shortest text that reads back as the same float: 4762.5, 1800.
std::string Num(double value);
std::string Hex(unsigned long long value);

}  // namespace yg::testing
