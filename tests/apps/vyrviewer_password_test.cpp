// A show protected by a password renders frames only with the right password: from
// --password-file, or typed on the terminal without echo; else it is refused.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "package/package_fixture.h"
#include "run_program.h"

namespace vyr {
namespace {

using test::TRunResult;
using test::WriteFile;

class ProtectedShow : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(dir_ / "show/Project.vyr",
              "[Main]\r\nopt_scr_width=64\r\nopt_scr_height=48\r\nopt_usepass=1\r\n"
              "opt_pass=Sesame42\r\n[Times]\r\nopt_slidescount=1\r\nopt_synchpos1=2000\r\n"
              "[Slide1]\r\nobject Root:Root\r\nobject box:Box\r\nSize=64,48\r\n"
              "Color1=255,0,0\r\nend\r\nend\r\n");
  }
  std::string Project() const { return dir_ / "show/Project.vyr"; }
  std::string Out(const std::string& name) const { return dir_ / name; }

  // Runs vyrviewer on a pseudo-terminal, answers its prompt with typed and a line end, and
  // answers the exit status and everything the terminal showed.
  TRunResult OnTerminal(const std::vector<std::string>& args, const std::string& typed) {
    std::vector<std::string> all{VYRVIEWER_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& arg : all) argv.push_back(arg.data());
    argv.push_back(nullptr);
    int master = -1;
    const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
    if (pid == 0) {
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    TRunResult result;
    if (pid < 0) return result;
    bool answered = false;
    // A slow build (sanitizers, a loaded machine) may be silent for long after the prompt;
    // only a child that is silent for two minutes is stopped.
    for (;;) {
      pollfd wait{master, POLLIN, 0};
      if (::poll(&wait, 1, 120000) <= 0) {
        ::kill(pid, SIGKILL);
        break;
      }
      char buffer[256];
      const ssize_t got = ::read(master, buffer, sizeof buffer);
      if (got <= 0) break;
      result.out.append(buffer, static_cast<size_t>(got));
      if (!answered && result.out.find("Enter password:") != std::string::npos) {
        const std::string line = typed + "\n";
        answered = ::write(master, line.data(), line.size()) == static_cast<ssize_t>(line.size());
      }
    }
    // The terminal is closed only after the child is gone: closing it first would hang the
    // child up (SIGHUP) while it is still finishing.
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(master);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
  }

  test::TTempDir dir_;
};

TEST_F(ProtectedShow, PasswordFileGatesFramesAndFrameSeries) {
  WriteFile(dir_ / "right", "Sesame42\n");
  WriteFile(dir_ / "wrong", "sesame42\n");
  const TRunResult right = test::RunProgram(
      VYRVIEWER_PATH,
      {"--frame", "500", "--out", Out("a.png"), "--password-file", dir_ / "right", Project()});
  EXPECT_EQ(right.exitCode, 0) << right.err;
  EXPECT_TRUE(std::filesystem::exists(Out("a.png")));

  const TRunResult wrong = test::RunProgram(
      VYRVIEWER_PATH,
      {"--frame", "500", "--out", Out("b.png"), "--password-file=" + (dir_ / "wrong"), Project()});
  EXPECT_EQ(wrong.exitCode, 2);
  EXPECT_NE(wrong.err.find("password is wrong"), std::string::npos) << wrong.err;
  EXPECT_FALSE(std::filesystem::exists(Out("b.png")));

  const TRunResult series =
      test::RunProgram(VYRVIEWER_PATH, {"--frames", "0:1000:500", "--out", Out("series"),
                                        "--password-file", dir_ / "wrong", Project()});
  EXPECT_EQ(series.exitCode, 2);
  EXPECT_FALSE(std::filesystem::exists(Out("series/frame_00000000.png")));
}

TEST_F(ProtectedShow, RefusedWithoutTerminalOrPasswordFile) {
  // RunProgram's standard input is /dev/null: nobody can type.
  const TRunResult run =
      test::RunProgram(VYRVIEWER_PATH, {"--frame", "500", "--out", Out("c.png"), Project()});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.err.find("--password-file"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(Out("c.png")));
}

TEST_F(ProtectedShow, PasswordTypedOnTheTerminalIsNotEchoed) {
  const TRunResult right =
      OnTerminal({"--frame", "500", "--out", Out("d.png"), Project()}, "Sesame42");
  EXPECT_EQ(right.exitCode, 0) << right.out;
  EXPECT_NE(right.out.find("Enter password:"), std::string::npos) << right.out;
  EXPECT_EQ(right.out.find("Sesame42"), std::string::npos) << right.out;
  EXPECT_TRUE(std::filesystem::exists(Out("d.png")));

  const TRunResult wrong =
      OnTerminal({"--frame", "500", "--out", Out("e.png"), Project()}, "Sesame");
  EXPECT_EQ(wrong.exitCode, 2) << wrong.out;
  EXPECT_FALSE(std::filesystem::exists(Out("e.png")));
}

}  // namespace
}  // namespace vyr
