#pragma once
// How a vyrpack command fails: a message for standard error and the exit status.

#include <stdexcept>
#include <string>

namespace vyr::pack {

inline constexpr int kExitFailed = 1;   // missing entry, failed entries
inline constexpr int kExitTrouble = 2;  // unreadable package, bad usage, I/O errors

class ECliError : public std::runtime_error {
 public:
  ECliError(int exitCode, const std::string& message)
      : std::runtime_error(message), exitCode_(exitCode) {}
  int ExitCode() const { return exitCode_; }

 private:
  int exitCode_;
};

}  // namespace vyr::pack
