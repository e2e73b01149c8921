#include "viewer/actions/run_commands.h"

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "package/access/path_resolver.h"
#include "viewer/command_line.h"

extern char** environ;

namespace vyr {
namespace {

namespace fs = std::filesystem;

// The classic list, and the Unix shells and destructive commands.
constexpr std::array<std::string_view, 52> kBlocked = {
    ">",     "at",     "attrib",  "call",  "cmd",     "command",  "copy",     "del",    "deltree",
    "erase", "for",    "format",  "fdisk", "runonce", "move",     "net",      "runas",  "net1",
    "ren",   "rename", "replace", "rmdir", "rd",      "recover",  "regedit",  "rundll", "qstart",
    "start", "sys",    "type",    "xcopy", "regsrv",  "regedt32", "regsvr32", "rcp",    "ftp",
    "tftp",  "sh",     "bash",    "dash",  "zsh",     "rm",       "dd",       "mkfs",   "sudo",
    "su",    "pkexec", "chmod",   "chown", "kill",    "shutdown", "reboot"};

// The only schemes handed to the desktop's opener.
constexpr std::array<std::string_view, 3> kLinkSchemes = {"http", "https", "mailto"};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Trim(std::string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && text[begin] == ' ') ++begin;
  while (end > begin && text[end - 1] == ' ') --end;
  return std::string(text.substr(begin, end - begin));
}

std::string WithoutQuotes(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c != '"') out += c;
  return out;
}

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsExecutableFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         ::access(path.c_str(), X_OK) == 0;
}

// The executable of that name in a folder of PATH; absolute folders only, so the working
// folder is never searched.
std::string FindOnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  const std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
  size_t begin = 0;
  while (begin <= folders.size()) {
    size_t end = folders.find(':', begin);
    if (end == std::string::npos) end = folders.size();
    const std::string folder = folders.substr(begin, end - begin);
    if (!folder.empty() && folder.front() == '/') {
      const std::string candidate = (fs::path(folder) / name).string();
      if (IsExecutableFile(candidate)) return candidate;
    }
    begin = end + 1;
  }
  return {};
}

std::string Normal(const std::string& path) { return fs::path(path).lexically_normal().string(); }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = Lower(c);
  return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

std::string PercentDecoded(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
        HexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// The local path of a "file:" link ("file:///a", "file://localhost/a", "file:/a", "file:a");
// empty for another host.
std::string FilePathOf(std::string_view link) {
  std::string_view rest = link.substr(5);
  if (rest.starts_with("//")) {
    rest.remove_prefix(2);
    const size_t slash = rest.find('/');
    const std::string_view host = rest.substr(0, slash);
    if (!host.empty() && host != "localhost") return {};
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
  }
  return PercentDecoded(rest);
}

TPlannedCommand Refused(std::string why) {
  TPlannedCommand planned;
  planned.outcome = TPlannedCommand::Outcome::Refused;
  planned.why = std::move(why);
  return planned;
}

TPlannedCommand NotFound(std::string why) {
  TPlannedCommand planned;
  planned.outcome = TPlannedCommand::Outcome::NotFound;
  planned.why = std::move(why);
  return planned;
}

TPlannedCommand Opened(TLaunch::Kind kind, const std::string& target, const std::string& folder) {
  const std::string opener = FindOnPath("xdg-open");
  if (opener.empty()) return NotFound("xdg-open is missing: " + target + " is not opened");
  TPlannedCommand planned;
  planned.outcome = TPlannedCommand::Outcome::Start;
  planned.launch.kind = kind;
  planned.launch.argv = {opener, target};
  planned.launch.target = target;
  planned.launch.folder = folder;
  return planned;
}

TPlannedCommand Document(const std::string& path, const std::string& showFolder) {
  if (!IsInsideFolder(path, showFolder))
    return Refused("the document " + path + " lies outside the show's folder");
  return Opened(TLaunch::Kind::Document, path, showFolder);
}

}  // namespace

std::vector<std::string> SplitCommands(std::string_view text) {
  if (text.find(',') == std::string_view::npos) return {std::string(text)};
  std::vector<std::string> commands;
  bool quoted = false;
  size_t begin = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] == '"') quoted = !quoted;
    if (i == text.size() || (text[i] == ',' && !quoted)) {
      commands.push_back(Trim(text.substr(begin, i - begin)));
      begin = i + 1;
    }
  }
  return commands;
}

std::string CommandWord(std::string_view command) {
  if (command.find('>') != std::string_view::npos) return ">";
  std::string text;
  bool quoted = false;
  for (char c : command) {
    if (c == '"') quoted = !quoted;
    if (quoted && IsBlank(c)) c = '_';
    if (c == '@' || c == '"' || c == '|') continue;
    text += c;
  }
  size_t begin = 0;
  while (begin < text.size() && IsBlank(text[begin])) ++begin;
  size_t end = begin;
  while (end < text.size() && !IsBlank(text[end])) ++end;
  std::string word = text.substr(begin, end - begin);
  for (char& c : word) c = Lower(c);
  for (char separator : {'\\', '/'})
    while (word.find(separator) != std::string::npos) word.erase(0, word.find(separator) + 1);
  if (const size_t dot = word.find('.'); dot != std::string::npos) word.resize(dot);
  return word;
}

bool IsBlockedCommand(std::string_view command) {
  const std::string word = CommandWord(command);
  return std::find(kBlocked.begin(), kBlocked.end(), word) != kBlocked.end();
}

TProgramCall SplitProgram(std::string_view command) {
  const bool startsQuoted = !command.empty() && command.front() == '"';
  size_t end = 1;
  while (end < command.size() && command[end] != '"' && (startsQuoted || command[end] != ' '))
    ++end;
  end = std::min(end, command.size());
  TProgramCall call;
  call.program = Trim(WithoutQuotes(command.substr(0, end)));
  // A quoted program's closing quote belongs to the program.
  const std::string_view rest =
      command.substr(startsQuoted && end < command.size() ? end + 1 : end);
  const bool paramsQuoted = rest.find('"') != std::string_view::npos;
  call.parameters = Trim(WithoutQuotes(rest));
  if (startsQuoted) call.program = "\"" + call.program + "\"";
  if (paramsQuoted && !call.parameters.empty()) call.parameters = "\"" + call.parameters + "\"";
  return call;
}

std::string SchemeOf(std::string_view text) {
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos || colon < 2) return {};
  const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  if (!letter(text[0])) return {};
  std::string scheme;
  for (char c : text.substr(0, colon)) {
    if (!letter(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') return {};
    scheme += Lower(c);
  }
  return scheme;
}

TPlannedCommand PlanCommand(std::string_view command, const std::string& showFolder) {
  const TProgramCall call = SplitProgram(command);
  const std::string name = WithoutQuotes(call.program);
  if (name.empty()) return NotFound("an empty command");
  if (const std::string scheme = SchemeOf(name); !scheme.empty()) {
    if (std::find(kLinkSchemes.begin(), kLinkSchemes.end(), scheme) != kLinkSchemes.end())
      return Opened(TLaunch::Kind::Link, name, showFolder);
    if (scheme != "file") return Refused("links of the scheme \"" + scheme + ":\" are not opened");
    std::string path = FilePathOf(name);
    if (path.empty()) return Refused("a file on another computer: " + name);
    if (path.front() != '/') path = showFolder + path;
    return Document(Normal(path), showFolder);
  }
  // Project texts written on Windows separate folders with "\".
  std::string path = name;
  std::replace(path.begin(), path.end(), '\\', '/');
  std::vector<std::string> candidates;
  if (path.front() == '/') {
    candidates.push_back(path);
  } else {
    candidates.push_back(showFolder + path);
    if (path.find('/') == std::string::npos)
      if (std::string found = FindOnPath(path); !found.empty()) candidates.push_back(found);
  }
  // A program that is not where the project says (a Windows path): its file name beside the show.
  candidates.push_back(showFolder + FileNameOf(path));
  for (const std::string& candidate : candidates) {
    const std::string file = Normal(candidate);
    std::error_code error;
    if (!fs::exists(file, error)) continue;
    if (!IsExecutableFile(file)) return Document(file, showFolder);
    TPlannedCommand planned;
    planned.outcome = TPlannedCommand::Outcome::Start;
    TLaunch& launch = planned.launch;
    launch.kind = TLaunch::Kind::Program;
    launch.argv = {file};
    for (std::string& token : TokenizeCommandLine(call.parameters))
      if (!token.empty()) launch.argv.push_back(std::move(token));
    launch.target = file;
    launch.folder = showFolder;
    const std::string real = fs::canonical(file, error).string();
    if (!error && real != file) {
      launch.realFile = real;
      // A link to a blocked command is as blocked as the command.
      if (IsBlockedCommand("\"" + real + "\"")) return Refused(file + " is " + real);
    }
    return planned;
  }
  return NotFound(name + " was not found");
}

TStartResult TSystemStarter::Start(const TLaunch& launch) {
  if (launch.argv.empty()) return TStartResult::NotFound;
  std::vector<char*> argv;
  for (const auto& arg : launch.argv) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  std::error_code error;
  if (!launch.folder.empty() && fs::is_directory(launch.folder, error))
    posix_spawn_file_actions_addchdir_np(&actions, launch.folder.c_str());
  // The program starts with no signal blocked and none ignored, whatever the player set.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none, defaults;
  sigemptyset(&none);
  sigemptyset(&defaults);
  for (int signal : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGCHLD, SIGUSR1, SIGUSR2})
    sigaddset(&defaults, signal);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  pid_t pid = 0;
  const int failure = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (failure == ENOENT) return TStartResult::NotFound;
  if (failure != 0) return TStartResult::Failed;
  // The program runs on; its end is collected so that it leaves no zombie behind.
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return TStartResult::Started;
}

bool RunCommands(std::string_view text, const std::string& showFolder, TProgramStarter& starter,
                 const TRunHooks& hooks) {
  const std::vector<std::string> commands = SplitCommands(text);
  const auto refuse = [&](const std::string& why) {
    if (hooks.log && !why.empty()) hooks.log("refused: " + why);
    if (hooks.refuse) hooks.refuse(kProhibitedCommandMessage);
    return false;
  };
  for (const auto& command : commands)
    if (IsBlockedCommand(command)) return refuse("a blocked command: " + command);
  std::vector<TLaunch> launches;
  for (const auto& command : commands) {
    TPlannedCommand planned = PlanCommand(command, showFolder);
    switch (planned.outcome) {
      case TPlannedCommand::Outcome::Refused:
        return refuse(planned.why);
      case TPlannedCommand::Outcome::NotFound:
        // Programs that cannot be started are passed over without a message box.
        if (hooks.log && !command.empty()) hooks.log("not started: " + planned.why);
        break;
      case TPlannedCommand::Outcome::Start:
        launches.push_back(std::move(planned.launch));
        break;
    }
  }
  for (const TLaunch& launch : launches) {
    if (hooks.allow && !hooks.allow(launch)) continue;
    TProgramOwner* owner = hooks.owner;
    const bool topmost = owner && owner->Topmost();
    if (topmost) owner->SetTopmost(false);
    const TStartResult result = starter.Start(launch);
    if (topmost && result != TStartResult::Started) owner->SetTopmost(true);
    if (result != TStartResult::Started && hooks.log)
      hooks.log("not started: " + launch.argv.front());
  }
  return true;
}

}  // namespace vyr
