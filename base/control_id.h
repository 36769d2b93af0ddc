#pragma once

// Every control of the panel by its name. The candidate keys form the control array `skb`,
// whose members are told apart by their index.

#include <cstdint>
#include <string>

namespace yg {

#define YG_PANEL_CONTROLS(X)                                                                   \
  X(Frame1) X(Frame4) X(Frame6) X(Combo1)                                                      \
  X(Comm1) X(Comm2) X(Comm3) X(Comm4) X(Comm5) X(Comm6) X(Comm7) X(Comm8) X(Comm9) X(Comm10)    \
  X(Comm11) X(Comm12) X(Comm13) X(Comm14) X(Comm15) X(Comm16) X(Comm17) X(Comm18) X(Comm19)     \
  X(Comm20) X(Comm21) X(Comm22) X(Comm23) X(Comm24) X(Comm25) X(Comm26) X(Comm27) X(Comm28)     \
  X(Comm29) X(Comm30)                                                                          \
  X(Command1) X(Command2) X(Command3) X(Command4) X(Command5) X(Command9) X(Command10)          \
  X(Command11) X(Command12) X(Command13) X(Command14) X(Command15) X(Command16) X(Command17)   \
  X(Command18) X(Command19) X(Command23) X(Command29) X(Command32) X(Command33) X(Command35)   \
  X(Command43) X(Command44) X(Command45) X(Command46) X(Command66) X(Command69) X(Command71)   \
  X(Command72) X(Command73) X(Command74) X(Command75) X(Command76) X(Command77) X(Command78)   \
  X(Command79)                                                                                 \
  X(Image1) X(Image2) X(Image3) X(Image4) X(Image5) X(Image6) X(Image7) X(Image8) X(Image9)    \
  X(Image10) X(Image11) X(Image12) X(Image13) X(Image14) X(Image15)                            \
  X(Cmm2) X(skb)

enum class Ctl : std::uint8_t {
#define YG_ENUM_ENTRY(name) name,
  YG_PANEL_CONTROLS(YG_ENUM_ENTRY)
#undef YG_ENUM_ENTRY
  Form1,  // the panel itself, as the container of its direct children
};

// A control: its name, and for a member of `skb` its index.
struct ControlId {
  constexpr ControlId(Ctl n = Ctl::Form1, std::int16_t i = 0) : name(n), index(i) {}  // NOLINT: a name is a control
  Ctl name;
  std::int16_t index;
  friend constexpr bool operator==(ControlId, ControlId) = default;
};

constexpr ControlId Skb(std::int16_t index) { return {Ctl::skb, index}; }

// "Comm1", "skb(49)", "Form1".
std::string ControlName(ControlId id);

}  // namespace yg
