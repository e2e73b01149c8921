// Splitting and checking the commands of actions, settling each into the argument vector that
// would start (beside the show, on PATH, links and documents), and starting real processes.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "package/access_fixture.h"
#include "package/package_fixture.h"
#include "viewer/actions/run_commands.h"

namespace vyr {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

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

TEST(RunCommands, SchemesAreLettersBeforeAColonNotDrives) {
  EXPECT_EQ(SchemeOf("HTTPS://x"), "https");
  EXPECT_EQ(SchemeOf("ms-settings:display"), "ms-settings");
  EXPECT_EQ(SchemeOf("javascript:alert(1)"), "javascript");
  EXPECT_EQ(SchemeOf("C:\\Tools\\x.exe"), "");
  EXPECT_EQ(SchemeOf("tool a:b"), "");
  EXPECT_EQ(SchemeOf("./x:y"), "");
}

void MakeExecutable(const std::string& path, const std::string& script = "#!/bin/sh\n") {
  test::WriteFile(path, script);
  ::chmod(path.c_str(), 0755);
}

// A show's folder with programs and a document in it, a PATH folder of its own with xdg-open,
// and a working folder that holds programs of the same names (never to be chosen).
struct TShowFolders {
  TShowFolders() {
    for (const char* name : {"viewer", "player", "tool.exe"}) MakeExecutable(show / name);
    test::WriteFile(show / "notes.txt", "notes");
    for (const char* name : {"xdg-open", "onpath"}) MakeExecutable(bin / name);
    for (const char* name : {"viewer", "elsewhere"}) MakeExecutable(cwd / name);
    fs::current_path(cwd.Path());
  }
  ~TShowFolders() { fs::current_path(saved); }
  std::string Folder() const { return show.Path().string() + "/"; }

  fs::path saved = fs::current_path();
  test::TTempDir show, bin, cwd;
  test::TScopedEnv path{"PATH", bin.Path().string() + ":.:"};
};

struct TRecordingStarter : TProgramStarter {
  std::vector<Strings> calls;
  std::vector<TStartResult> results;
  TStartResult Start(const TLaunch& launch) override {
    calls.push_back(launch.argv);
    if (results.empty()) return TStartResult::Started;
    const TStartResult result = results.front();
    results.erase(results.begin());
    return result;
  }
};

TEST(RunCommands, OneBlockedCommandRefusesAll) {
  TShowFolders folders;
  TRecordingStarter starter;
  std::string refusal;
  TRunHooks hooks;
  hooks.refuse = [&](const std::string& m) { refusal = m; };
  EXPECT_FALSE(RunCommands("viewer a.txt, del b", folders.Folder(), starter, hooks));
  EXPECT_TRUE(starter.calls.empty());
  EXPECT_EQ(refusal, kProhibitedCommandMessage);
  EXPECT_TRUE(RunCommands("viewer a.txt, player b.mp3", folders.Folder(), starter, hooks));
  EXPECT_EQ(starter.calls, (std::vector<Strings>{{folders.show / "viewer", "a.txt"},
                                                 {folders.show / "player", "b.mp3"}}));
}

// Relative names are the show's: its folder first, then PATH for a bare name; a program that is
// not where the project says is taken by its file name from the show's folder; the working
// folder and the player's own folder are never searched.
TEST(RunCommands, NamesResolveAgainstTheShowsFolder) {
  TShowFolders folders;
  const struct {
    std::string command;
    std::string program;  // empty: nothing starts
  } cases[] = {
      {"viewer x", folders.show / "viewer"},
      {"./viewer x", folders.show / "viewer"},
      {"\"C:\\Tools\\tool.exe\" x", folders.show / "tool.exe"},
      {"/far/away/player x", folders.show / "player"},
      {"onpath x", folders.bin / "onpath"},
      {"elsewhere x", ""},  // only in the working folder
      {"missing", ""},
  };
  for (const auto& c : cases) {
    const TPlannedCommand planned = PlanCommand(c.command, folders.Folder());
    if (c.program.empty()) {
      EXPECT_EQ(planned.outcome, TPlannedCommand::Outcome::NotFound) << c.command;
      continue;
    }
    ASSERT_EQ(planned.outcome, TPlannedCommand::Outcome::Start) << c.command << planned.why;
    EXPECT_EQ(planned.launch.argv, (Strings{c.program, "x"})) << c.command;
    EXPECT_EQ(planned.launch.folder, folders.Folder());
  }
  TRecordingStarter starter;
  std::vector<std::string> log;
  TRunHooks hooks;
  hooks.log = [&](const std::string& line) { log.push_back(line); };
  EXPECT_TRUE(RunCommands("missing, viewer", folders.Folder(), starter, hooks));
  EXPECT_EQ(starter.calls, (std::vector<Strings>{{folders.show / "viewer"}}));
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NE(log[0].find("missing"), std::string::npos);
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
  TShowFolders folders;
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
    TRunHooks hooks;
    hooks.owner = &owner;
    RunCommands("viewer a.txt", folders.Folder(), starter, hooks);
    EXPECT_EQ(owner.changes, c.changes);
  }
}

// What the state of a process is ('Z' for a zombie); 0 once it is gone.
char ProcessState(pid_t pid) {
  const std::string stat = test::ReadFile("/proc/" + std::to_string(pid) + "/stat");
  const size_t close = stat.rfind(')');
  return close == std::string::npos || close + 2 >= stat.size() ? 0 : stat[close + 2];
}

// A real start: exactly the argument vector (no shell sees it), in the show's folder, and the
// ended program is collected, not left as a zombie.
TEST(RunCommands, TheSystemStarterRunsTheVectorAsItIsAndReapsIt) {
  TShowFolders folders;
  MakeExecutable(folders.show / "record",
                 "#!/bin/sh\nPATH=/usr/bin:/bin\necho $$ > pid.tmp\nprintf '%s\\n' \"$@\" > "
                 "args\npwd > folder\n"
                 "mv pid.tmp pid\n");
  const Strings arguments{"a b", "$(touch hacked)", "`id`", ";", "x'y", "tab\there", "*"};
  TLaunch launch;
  launch.argv = {folders.show / "record"};
  launch.argv.insert(launch.argv.end(), arguments.begin(), arguments.end());
  launch.folder = folders.Folder();
  TSystemStarter starter;
  ASSERT_EQ(starter.Start(launch), TStartResult::Started);
  const std::string pidFile = folders.show / "pid";
  for (int i = 0; i < 500 && !fs::exists(pidFile); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(fs::exists(pidFile));
  std::string expected;
  for (const auto& argument : arguments) expected += argument + "\n";
  EXPECT_EQ(test::ReadFile(folders.show / "args"), expected);
  EXPECT_EQ(test::ReadFile(folders.show / "folder"), folders.show.Path().string() + "\n");
  EXPECT_FALSE(fs::exists(folders.show / "hacked"));
  EXPECT_FALSE(fs::exists(folders.cwd / "hacked"));
  const pid_t pid = std::stoi(test::ReadFile(pidFile));
  char state = ProcessState(pid);
  for (int i = 0; i < 300 && state != 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    state = ProcessState(pid);
  }
  EXPECT_EQ(state, 0) << "the ended program is still there in state " << state;
  launch.argv = {folders.show / "gone"};
  EXPECT_EQ(starter.Start(launch), TStartResult::NotFound);
}

}  // namespace
}  // namespace vyr
