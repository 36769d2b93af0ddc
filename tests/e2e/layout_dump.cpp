// yg_layout_dump [expected_clicks.txt]: the panel's layout table as the end-to-end driver needs
// it, one control a line: name, the Windows control id the panel gives it, container, kind,
// geometry in twips and caption (UTF-8, last on the line). Then, given the file of expected
// clicks, what a click on each control must type, in the file's order:
//   click name=Comm1 kind=code keys=d73 u73 d76 u76 ...
#include <cstdio>
#include <fstream>
#include <string>

#include "panel/layout.h"
#include "platform/win32/resource_ids.h"
#include "tests/e2e/console_tool.h"
#include "tests/expected_clicks.h"

namespace {

const char* KindName(yg::ControlKind kind) {
  switch (kind) {
    case yg::ControlKind::Frame: return "frame";
    case yg::ControlKind::Button: return "button";
    case yg::ControlKind::Picture: return "picture";
    case yg::ControlKind::ComboBox: return "combo";
  }
  return "?";
}

// The captions as UTF-8; wchar_t holds UTF-16 on Windows.
std::string Utf8(std::u16string_view text) {
  return yg::tools::Utf8({reinterpret_cast<const wchar_t*>(text.data()), text.size()});
}

}  // namespace

int main(int argc, char** argv) {
  int id = YG_FIRST_CONTROL_ID;
  for (const yg::LayoutRow& row : yg::LayoutTable()) {
    std::printf("control name=%s id=%d container=%s kind=%s left=%d top=%d width=%d height=%d layer=%d caption=%s\n",
                yg::ControlName(row.control).c_str(), id++, yg::ControlName(row.container).c_str(),
                KindName(row.kind), row.left, row.top, row.width, row.height, row.layer,
                Utf8(row.caption).c_str());
  }
  if (argc < 2) return 0;
  std::ifstream file(argv[1]);
  if (!file) return 1;
  for (const yg::testing::ExpectedClick& c : yg::testing::ReadExpectedClicks(file)) {
    std::printf("click name=%s kind=%s keys=%s\n", c.control.c_str(), c.kind.c_str(),
                yg::testing::Describe(yg::testing::ExpandKeys(c.tokens)).c_str());
  }
  return 0;
}
