// Splitting and checking the commands of actions, and the retries when a program is missing.

#include <gtest/gtest.h>

#include "viewer/actions/run_commands.h"

namespace vyr {
namespace {

TEST(RunCommands, BlockedWords) {
  const struct {
    const char* command;
    bool blocked;
  } cases[] = {
      {"cmd /c del x", true},
      {"\"C:\\Tools\\CMD.EXE\"", true},
      {"copy a b > c", true},
      {"notepad.exe > out.txt", true},
      {"rundll32 x", false},
      {"@del x", true},
      {"notepad.exe readme.txt", false},
      {"/usr/bin/rm -rf /", true},
      {"bash -c x", true},
      {"mkfs.ext4 /dev/sda", true},
      {"  FORMAT c:", true},
      {"\"my tool\" x", false},
      {"xdg-open file.pdf", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsBlockedCommand(c.command), c.blocked) << c.command;
  EXPECT_EQ(CommandWord("\"C:\\Program Files\\App.exe\" /x"), "app");
}

TEST(RunCommands, SplittingCommandsAndPrograms) {
  EXPECT_EQ(SplitCommands(" a b "), (std::vector<std::string>{" a b "}));
  EXPECT_EQ(SplitCommands("a x, \"b,c\" y ,d"),
            (std::vector<std::string>{"a x", "\"b,c\" y", "d"}));
  const struct {
    const char* command;
    const char* program;
    const char* parameters;
  } cases[] = {
      {"notepad.exe readme.txt", "notepad.exe", "readme.txt"},
      {"\"C:\\My Tools\\x.exe\" -a -b", "\"C:\\My Tools\\x.exe\"", "-a -b"},
      {"tool \"a b\"", "tool", "\"a b\""},
      {"tool", "tool", ""},
  };
  for (const auto& c : cases) {
    const TProgramCall call = SplitProgram(c.command);
    EXPECT_EQ(call.program, c.program) << c.command;
    EXPECT_EQ(call.parameters, c.parameters) << c.command;
  }
}

struct TRecordingStarter : TProgramStarter {
  std::vector<std::string> calls;
  std::vector<TStartResult> results;
  TStartResult Start(const std::string& program, const std::string& parameters,
                     const std::string& folder) override {
    calls.push_back(program + "|" + parameters + "|" + folder);
    if (results.empty()) return TStartResult::Started;
    const TStartResult result = results.front();
    results.erase(results.begin());
    return result;
  }
};

TEST(RunCommands, OneBlockedCommandRefusesAll) {
  TRecordingStarter starter;
  std::string refusal;
  EXPECT_FALSE(RunCommands("viewer a.txt, del b", "/opt/show/", starter,
                           [&](const std::string& m) { refusal = m; }));
  EXPECT_TRUE(starter.calls.empty());
  EXPECT_EQ(refusal, kProhibitedCommandMessage);
  EXPECT_TRUE(RunCommands("viewer a.txt, player b.mp3", "/opt/show/", starter, {}));
  EXPECT_EQ(starter.calls,
            (std::vector<std::string>{"viewer|a.txt|/opt/show/", "player|b.mp3|/opt/show/"}));
}

TEST(RunCommands, RetriesForMissingPrograms) {
  TRecordingStarter starter;
  starter.results = {TStartResult::NotFound, TStartResult::NotFound};
  RunCommands("/far/away/tool", "/opt/show/", starter, {});
  EXPECT_EQ(starter.calls,
            (std::vector<std::string>{"/far/away/tool||/opt/show/", "tool||/opt/show/",
                                      "/opt/show/tool||/opt/show/"}));
  starter.calls.clear();
  starter.results = {TStartResult::NotFound};
  RunCommands("\"my tool\" \"some file\"", "/opt/show/", starter, {});
  EXPECT_EQ(starter.calls, (std::vector<std::string>{"\"my tool\"|\"some file\"|/opt/show/",
                                                     "my tool|some file|/opt/show/"}));
}

// A show window kept on top steps back while a program starts, and comes back on top only when
// nothing could be started.
TEST(RunCommands, TopmostOwnerStepsBackForStartedPrograms) {
  struct TOwner : TProgramOwner {
    bool topmost = true;
    std::vector<bool> changes;
    bool Topmost() const override { return topmost; }
    void SetTopmost(bool on) override { changes.push_back(topmost = on); }
  };
  const struct {
    bool topmost;
    TStartResult result;
    std::vector<bool> changes;
  } cases[] = {
      {true, TStartResult::Started, {false}},
      {true, TStartResult::Failed, {false, true}},
      {false, TStartResult::Started, {}},  // a window not on top is left alone
  };
  for (const auto& c : cases) {
    TOwner owner;
    owner.topmost = c.topmost;
    TRecordingStarter starter;
    starter.results = {c.result};
    RunCommands("viewer a.txt", "/opt/show/", starter, {}, &owner);
    EXPECT_EQ(owner.changes, c.changes);
  }
}

}  // namespace
}  // namespace vyr
