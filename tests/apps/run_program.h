#pragma once
// Runs a program with an argument vector and collects its exit status and output.

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <string>
#include <thread>
#include <vector>

#include "package/package_fixture.h"

namespace vyr::test {

// The exit code of a program that ran past its time and was killed.
inline constexpr int kTimedOut = -2;

struct TRunResult {
  int exitCode = -1;
  std::string out, err;
  long maxRssKb = 0;   // the program's peak resident memory
  double seconds = 0;  // how long it ran
};

// With timeoutMs above 0 a program still running then is killed and gets kTimedOut.
inline TRunResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                             int timeoutMs = 0) {
  TTempDir capture;
  const std::string outPath = capture / "out", errPath = capture / "err";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT, 0600);
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  TRunResult result;
  pid_t pid = 0;
  const auto began = std::chrono::steady_clock::now();
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    rusage usage{};
    bool timedOut = false;
    if (timeoutMs > 0) {
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
      while (::wait4(pid, &status, WNOHANG, &usage) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
          ::kill(pid, SIGKILL);
          timedOut = true;
          ::wait4(pid, &status, 0, &usage);
          break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
    } else {
      ::wait4(pid, &status, 0, &usage);
    }
    result.exitCode = timedOut            ? kTimedOut
                      : WIFEXITED(status) ? WEXITSTATUS(status)
                                          : 128 + WTERMSIG(status);
    result.maxRssKb = usage.ru_maxrss;
  }
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  posix_spawn_file_actions_destroy(&actions);
  result.out = ReadFile(outPath);
  result.err = ReadFile(errPath);
  return result;
}

}  // namespace vyr::test
