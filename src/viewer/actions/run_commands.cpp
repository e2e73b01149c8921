#include "viewer/actions/run_commands.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <filesystem>

#include "viewer/command_line.h"

extern char** environ;

namespace vyr {
namespace {

// The classic list, and the Unix shells and destructive commands.
constexpr std::array<std::string_view, 52> kBlocked = {
    ">",     "at",     "attrib",  "call",  "cmd",     "command",  "copy",     "del",    "deltree",
    "erase", "for",    "format",  "fdisk", "runonce", "move",     "net",      "runas",  "net1",
    "ren",   "rename", "replace", "rmdir", "rd",      "recover",  "regedit",  "rundll", "qstart",
    "start", "sys",    "type",    "xcopy", "regsrv",  "regedt32", "regsvr32", "rcp",    "ftp",
    "tftp",  "sh",     "bash",    "dash",  "zsh",     "rm",       "dd",       "mkfs",   "sudo",
    "su",    "pkexec", "chmod",   "chown", "kill",    "shutdown", "reboot"};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

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

// One pair of surrounding quotes off, for texts longer than 5 characters.
std::string Unquoted(const std::string& text) {
  if (text.size() > 5 && text.front() == '"' && text.back() == '"')
    return text.substr(1, text.size() - 2);
  return text;
}

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsLink(const std::string& text) {
  return text.find("://") != std::string::npos || text.rfind("mailto:", 0) == 0;
}

TStartResult Spawn(const std::vector<std::string>& args, const std::string& folder) {
  std::vector<char*> argv;
  for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 29))
  if (!folder.empty() && std::filesystem::is_directory(folder))
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
#endif
  pid_t pid = 0;
  const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error == ENOENT) return TStartResult::NotFound;
  if (error != 0) return TStartResult::Failed;
  // The child is left to run; reap it without waiting when it has already gone.
  int status = 0;
  ::waitpid(pid, &status, WNOHANG);
  return TStartResult::Started;
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
  for (char& c : word)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
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

TStartResult TSystemStarter::Start(const std::string& program, const std::string& parameters,
                                   const std::string& folder) {
  const std::string path = WithoutQuotes(program);
  if (path.empty()) return TStartResult::NotFound;
  if (IsLink(path)) return Spawn({"xdg-open", path}, folder);
  const bool hasFolder = path.find('/') != std::string::npos;
  struct stat info {};
  if (hasFolder || ::stat(path.c_str(), &info) == 0) {
    if (::stat(path.c_str(), &info) != 0) return TStartResult::NotFound;
    // A document opens in the desktop's program for it.
    if (!S_ISREG(info.st_mode) || ::access(path.c_str(), X_OK) != 0)
      return Spawn({"xdg-open", path}, folder);
  }
  std::vector<std::string> args{path};
  for (auto& token : TokenizeCommandLine(parameters))
    if (!token.empty()) args.push_back(token);
  return Spawn(args, folder);
}

bool RunCommands(std::string_view text, const std::string& programFolder, TProgramStarter& starter,
                 const std::function<void(const std::string&)>& refuse, TProgramOwner* owner) {
  const std::vector<std::string> commands = SplitCommands(text);
  for (const auto& command : commands) {
    if (IsBlockedCommand(command)) {
      if (refuse) refuse(kProhibitedCommandMessage);
      return false;
    }
  }
  const auto start = [&](const std::string& program, const std::string& parameters) {
    const bool topmost = owner && owner->Topmost();
    if (topmost) owner->SetTopmost(false);
    const TStartResult result = starter.Start(program, parameters, programFolder);
    if (topmost && result != TStartResult::Started) owner->SetTopmost(true);
    return result;
  };
  for (const auto& command : commands) {
    const TProgramCall call = SplitProgram(command);
    if (call.program.empty()) continue;
    TStartResult result = start(call.program, call.parameters);
    if (result != TStartResult::NotFound) continue;
    if (!call.parameters.empty()) {
      start(Unquoted(call.program), Unquoted(call.parameters));
      continue;
    }
    const std::string name = FileNameOf(WithoutQuotes(call.program));
    result = start(name, {});
    if (result != TStartResult::NotFound) continue;
    std::string folder = programFolder;
    if (folder.size() > 3 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
    start(folder + "/" + name, {});
  }
  return true;
}

}  // namespace vyr
