#include "platform/process_paths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace vyr {

namespace {

std::string ReadProgramPath() {
  std::string buffer(4096, '\0');
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return {};
    if (static_cast<size_t>(n) < buffer.size()) return buffer.substr(0, static_cast<size_t>(n));
    buffer.resize(buffer.size() * 2);
  }
}

std::vector<std::string> ReadArguments() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> arguments;
  size_t start = 0;
  while (start < raw.size()) {
    const size_t end = raw.find('\0', start);
    const size_t stop = end == std::string::npos ? raw.size() : end;
    arguments.push_back(raw.substr(start, stop - start));
    start = stop + 1;
  }
  return arguments;
}

bool NeedsQuotes(const std::string& argument) {
  if (argument.empty()) return true;
  for (unsigned char c : argument)
    if (c <= 32) return true;
  return false;
}

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) return entry->pw_dir;
  return "/tmp";
}

// Creates every missing folder of path; true when the folder exists afterwards.
bool MakeFolders(const std::string& path) {
  for (size_t pos = 1; pos <= path.size(); ++pos) {
    if (pos != path.size() && path[pos] != '/') continue;
    const std::string part = path.substr(0, pos);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

const std::string& ProgramPath() {
  static const std::string path = ReadProgramPath();
  return path;
}

const std::string& ProgramFolder() {
  static const std::string folder(FolderOf(ProgramPath()));
  return folder;
}

const std::vector<std::string>& ProgramArguments() {
  static const std::vector<std::string> arguments = ReadArguments();
  return arguments;
}

const std::string& CommandLine() {
  static const std::string text = JoinCommandLine(ProgramArguments());
  return text;
}

std::string JoinCommandLine(const std::vector<std::string>& arguments) {
  std::string text;
  for (const std::string& argument : arguments) {
    if (!text.empty()) text += ' ';
    if (NeedsQuotes(argument)) {
      text += '"' + argument + '"';
    } else {
      text += argument;
    }
  }
  return text;
}

std::string ResolveAgainstProgramFolder(std::string_view path) {
  if (!path.empty() && path.front() == '/') return std::string(path);
  return ProgramFolder() + std::string(path);
}

std::string_view FileNameOf(std::string_view path) {
  const size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view FolderOf(std::string_view path) {
  const size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
}

std::string ChangeFileExt(std::string_view path, std::string_view extension) {
  const std::string_view name = FileNameOf(path);
  const size_t dot = name.rfind('.');
  const size_t keep =
      path.size() - name.size() + (dot == std::string_view::npos ? name.size() : dot);
  return std::string(path.substr(0, keep)) + std::string(extension);
}

std::string LogFilePathFor(std::string_view programPath) {
  const std::string beside = ChangeFileExt(programPath, ".log");
  std::string folder(FolderOf(beside));
  if (folder.empty()) folder = ".";
  if (::access(folder.c_str(), W_OK) == 0) return beside;

  std::string state;
  if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg && *xdg == '/') {
    state = xdg;
  } else {
    state = HomeFolder() + "/.local/state";
  }
  const std::string stateFolder = state + "/vyrviewer";
  MakeFolders(stateFolder);
  return stateFolder + "/" + std::string(FileNameOf(beside));
}

std::string LogFilePath() { return LogFilePathFor(ProgramPath()); }

}  // namespace vyr
