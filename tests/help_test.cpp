#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "panel/form1.h"
#include "tests/fakes/fake_platform.h"

namespace yg {
namespace {

using testing::FakePlatform;
using Log = std::vector<std::string>;

struct HelpCase {
  const char* name;
  std::u16string folder;
  std::intptr_t shellResult;
  const char* failing;  // a shell operation that raises an error, or ""
  Log calls;
};

TEST(Help, OpensTheHelpFileBesideTheProgramOrSaysItIsNotFound) {
  const std::string open = "Execute open [C:\\Program Files\\雁格\\ygHelp.chm] [] [] 1";
  const HelpCase cases[] = {
      {"present", u"C:\\Program Files\\雁格", 42, "", {"ExecutableFolder?", open}},
      {"the shell's last failure code", u"C:\\Program Files\\雁格", 32, "",
       {"ExecutableFolder?", open, "ShowMessage 未找到文件"}},
      {"the shell's lowest success code", u"C:\\Program Files\\雁格", 33, "", {"ExecutableFolder?", open}},
      {"file not found", u"C:\\Program Files\\雁格", 2, "", {"ExecutableFolder?", open, "ShowMessage 未找到文件"}},
      {"a drive's root folder keeps its backslash", u"D:\\", 42, "",
       {"ExecutableFolder?", "Execute open [D:\\\\ygHelp.chm] [] [] 1"}},
      {"the folder cannot be read", u"C:\\x", 42, "ExecutableFolder", {"ShowMessage 未找到文件"}},
      {"the shell call fails", u"C:\\x", 42, "Execute", {"ExecutableFolder?", "ShowMessage 未找到文件"}},
  };
  for (const auto& c : cases) {
    FakePlatform fake;
    fake.shell.folder = c.folder;
    fake.shell.executeResult = c.shellResult;
    if (*c.failing) fake.shell.failing.insert(c.failing);
    Form1 panel(fake.View());
    panel.Click(Ctl::Cmm2);
    EXPECT_EQ(fake.log.entries(), c.calls) << c.name;
    EXPECT_TRUE(fake.window.fatalErrors.empty()) << c.name;
    EXPECT_FALSE(panel.Ended()) << c.name;
  }
}

TEST(Help, EveryClickTriesAgain) {
  FakePlatform fake;
  fake.shell.executeResult = 2;
  Form1 panel(fake.View());
  panel.Click(Ctl::Cmm2);
  panel.Click(Ctl::Cmm2);
  EXPECT_EQ(fake.window.messages.size(), 2u);
  fake.shell.executeResult = 42;
  panel.Click(Ctl::Cmm2);
  EXPECT_EQ(fake.window.messages.size(), 2u);
  panel.Click(Ctl::Comm1);  // the panel still works
  EXPECT_EQ(fake.keys.Batches().size(), 1u);
}

}  // namespace
}  // namespace yg
