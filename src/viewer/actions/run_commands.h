#pragma once
// Starting the programs that actions name: the command text is split into commands,
// each checked against the blocked list, then started (links and documents through the
// desktop's opener, programs directly with an argument vector, never through a shell).

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vyr {

inline constexpr const char* kProhibitedCommandMessage =
    "Command line contains prohibited command and will not be performed.";

// One command when the text has no comma (kept as it is); otherwise the pieces between
// commas outside double quotes, each trimmed of blanks.
std::vector<std::string> SplitCommands(std::string_view text);
// The first word of a command as the blocked list compares it.
std::string CommandWord(std::string_view command);
bool IsBlockedCommand(std::string_view command);

struct TProgramCall {
  std::string program;     // quoted again when the command started with a quote
  std::string parameters;  // quoted as a whole when it held quotes
};
TProgramCall SplitProgram(std::string_view command);

enum class TStartResult { Started, NotFound, Failed };

// Starts one program (or opens a document or link) in a working folder.
class TProgramStarter {
 public:
  virtual ~TProgramStarter() = default;
  virtual TStartResult Start(const std::string& program, const std::string& parameters,
                             const std::string& folder) = 0;
};

// The real starter: xdg-open for links, mail addresses and documents; posix_spawnp with
// the parameters split like a command line for programs.
class TSystemStarter : public TProgramStarter {
 public:
  TStartResult Start(const std::string& program, const std::string& parameters,
                     const std::string& folder) override;
};

// The window that owns the started programs. A window kept on top steps back for each start,
// so the program comes up in front of the show, and goes on top again when the start failed.
class TProgramOwner {
 public:
  virtual ~TProgramOwner() = default;
  virtual bool Topmost() const = 0;
  virtual void SetTopmost(bool topmost) = 0;
};

// Checks every command (a blocked one refuses all, with the message through refuse) and
// starts each with the retries for files that are not found. programFolder ends in "/".
// False when refused.
bool RunCommands(std::string_view text, const std::string& programFolder, TProgramStarter& starter,
                 const std::function<void(const std::string&)>& refuse,
                 TProgramOwner* owner = nullptr);

}  // namespace vyr
