#pragma once
// The viewer's "always allow" answers: per show (its key, see ShowKeyOf) and per exact
// command, one line each in a small text file, rewritten whole through a temporary file and a
// rename, so that a crash leaves either the old file or the new one.

#include <string>
#include <vector>

namespace vyr {

class TConsentStore {
 public:
  // Answers kept in the file at path; an empty path keeps none.
  explicit TConsentStore(std::string path = {});
  // $XDG_CONFIG_HOME/vyrviewer/allowed-commands (default ~/.config/...); empty when neither
  // XDG_CONFIG_HOME nor HOME is set.
  static std::string DefaultPath();

  const std::string& Path() const { return path_; }
  bool Allowed(const std::string& showKey, const std::vector<std::string>& command) const;
  // Adds the answer; false (with the reason) when the file cannot be written.
  bool Remember(const std::string& showKey, const std::vector<std::string>& command,
                std::string* error = nullptr);

 private:
  std::vector<std::string> Lines() const;
  std::string path_;
};

// The line a show's answer for a command is kept as: the key, then each argument, separated by
// tabs; backslashes, tabs and line ends inside an argument are escaped.
std::string ConsentLine(const std::string& showKey, const std::vector<std::string>& command);

}  // namespace vyr
