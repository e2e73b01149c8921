#include "viewer/dialogs/password_gate.h"

#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <fstream>

#include "viewer/dialogs/password_check.h"
#include "viewer/dialogs/password_dialog.h"

namespace vyr {
namespace {

constexpr const char* kWrongPassword = "the password is wrong; the show is not shown";

// Restores the terminal's echo whatever happens while reading.
class TEchoOff {
 public:
  explicit TEchoOff(int fd) : fd_(fd) {
    if (tcgetattr(fd_, &saved_) != 0) return;
    termios quiet = saved_;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    quiet.c_lflag |= ECHONL;
    active_ = tcsetattr(fd_, TCSAFLUSH, &quiet) == 0;
  }
  ~TEchoOff() {
    if (active_) tcsetattr(fd_, TCSAFLUSH, &saved_);
  }
  TEchoOff(const TEchoOff&) = delete;
  TEchoOff& operator=(const TEchoOff&) = delete;

 private:
  int fd_;
  termios saved_{};
  bool active_ = false;
};

void StripLineEnd(std::string& line) {
  if (!line.empty() && line.back() == '\n') line.pop_back();
  if (!line.empty() && line.back() == '\r') line.pop_back();
}

TPasswordGateResult Judge(const TIniFile* project, const std::string& typed) {
  if (PasswordMatches(project, typed)) return {true, {}};
  return {false, kWrongPassword};
}

}  // namespace

bool ReadPasswordFile(const std::string& path, std::string& password) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::string line;
  std::getline(file, line);
  if (file.bad()) return false;
  StripLineEnd(line);
  password = std::move(line);
  return true;
}

bool ReadPasswordFromTerminal(const std::string& prompt, std::string& password) {
  if (!isatty(STDIN_FILENO)) return false;
  // Echo goes off (dropping what was typed before) ahead of the prompt: an answer typed as
  // soon as the prompt shows is neither echoed nor flushed away.
  TEchoOff quiet(STDIN_FILENO);
  std::fprintf(stderr, "%s ", prompt.c_str());
  std::fflush(stderr);
  std::string line;
  char c = 0;
  ssize_t got = 0;
  while ((got = read(STDIN_FILENO, &c, 1)) == 1 && c != '\n') line.push_back(c);
  if (got < 0 || (got == 0 && line.empty())) return false;
  StripLineEnd(line);
  password = std::move(line);
  return true;
}

TPasswordGateResult PasswordGate(const TIniFile* project, const TPasswordGateOptions& options) {
  try {
    if (!ShowNeedsPassword(project)) return {true, {}};
    if (options.useDialog) {
      if (PasswordCheck(options.owner, project)) return {true, {}};
      return {false, "the password was not given; the show is not shown"};
    }
    std::string typed;
    if (!options.passwordFile.empty()) {
      if (!ReadPasswordFile(options.passwordFile, typed))
        return {false, "cannot read the password file " + options.passwordFile};
      return Judge(project, typed);
    }
    if (ReadPasswordFromTerminal(PasswordTexts(project).label, typed)) return Judge(project, typed);
    return {false,
            "the show is protected by a password; run on a terminal to type it or give "
            "--password-file FILE"};
  } catch (const std::exception& error) {
    return {false, std::string("the password could not be checked: ") + error.what()};
  }
}

}  // namespace vyr
