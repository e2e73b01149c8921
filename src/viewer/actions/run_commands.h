#pragma once
// Starting what actions name: the command text is split into commands, each checked against
// the blocked list, then settled into exactly the argument vector that would start (a program
// found beside the show or on PATH, a document inside the show's folder, or a web or mail link
// for the desktop's opener), and started only when the gate lets it, with posix_spawn and never
// through a shell.

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

// What one command starts, settled before anyone is asked.
struct TLaunch {
  enum class Kind { Program, Document, Link };
  Kind kind = Kind::Program;
  // Exactly what is spawned: argv[0] is a full path (the program, or the desktop's opener
  // followed by the document or link).
  std::vector<std::string> argv;
  std::string target;    // the program, document or link the viewer is asked about
  std::string realFile;  // a program reached through symbolic links: the file that runs
  std::string folder;    // the working folder
};

struct TPlannedCommand {
  enum class Outcome { Start, Refused, NotFound };
  Outcome outcome = Outcome::NotFound;
  TLaunch launch;   // for Start
  std::string why;  // for Refused and NotFound: one line for the log
};

// Settles one command (already split from the action's text) against the show's folder
// (ending in "/"): relative names are taken from that folder, never from the working folder;
// a bare name is looked for there, then on PATH; a missing program is looked for by its file
// name in the show's folder. Links go to xdg-open for http, https and mailto only; "file:" names
// a document; any other scheme, and a document outside the show's folder, is refused.
TPlannedCommand PlanCommand(std::string_view command, const std::string& showFolder);

// The URI scheme a text starts with, lower-cased ("http" for "HTTP://x"); empty when none (a
// single letter before the colon is a Windows drive, not a scheme).
std::string SchemeOf(std::string_view text);

enum class TStartResult { Started, NotFound, Failed };

// Starts a settled launch.
class TProgramStarter {
 public:
  virtual ~TProgramStarter() = default;
  virtual TStartResult Start(const TLaunch& launch) = 0;
};

// The real starter: posix_spawn of argv[0] with the argument vector as it is, in the launch's
// folder, with default signal handling; a waiter thread reaps the child when it ends.
class TSystemStarter : public TProgramStarter {
 public:
  TStartResult Start(const TLaunch& launch) override;
};

// The window that owns the started programs. A window kept on top steps back for each start,
// so the program comes up in front of the show, and goes on top again when the start failed.
class TProgramOwner {
 public:
  virtual ~TProgramOwner() = default;
  virtual bool Topmost() const = 0;
  virtual void SetTopmost(bool topmost) = 0;
};

struct TRunHooks {
  // The refusal message for the user (a message box).
  std::function<void(const std::string&)> refuse;
  // Whether this launch may start (the viewer's consent); none lets every launch start.
  std::function<bool(const TLaunch&)> allow;
  // One line for the log (commands that find nothing to start).
  std::function<void(const std::string&)> log;
  TProgramOwner* owner = nullptr;
};

// Checks every command (a blocked or refused one refuses all, with the message through
// refuse), then starts each that the gate allows. showFolder ends in "/". False when refused.
bool RunCommands(std::string_view text, const std::string& showFolder, TProgramStarter& starter,
                 const TRunHooks& hooks = {});

}  // namespace vyr
