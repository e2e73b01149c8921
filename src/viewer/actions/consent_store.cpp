#include "viewer/actions/consent_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace vyr {
namespace {

// A line longer than this is no answer of ours; the file is read no further.
constexpr size_t kLongestLine = 1 << 20;
constexpr size_t kMostLines = 10000;

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
  return out;
}

bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += static_cast<size_t>(written);
  }
  return true;
}

}  // namespace

std::string ConsentLine(const std::string& showKey, const std::vector<std::string>& command) {
  std::string line = Escaped(showKey);
  for (const std::string& argument : command) line += "\t" + Escaped(argument);
  return line;
}

TConsentStore::TConsentStore(std::string path) : path_(std::move(path)) {}

std::string TConsentStore::DefaultPath() {
  std::filesystem::path folder;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/')
    folder = config;
  else if (const char* home = std::getenv("HOME"); home && *home)
    folder = std::filesystem::path(home) / ".config";
  else
    return {};
  return (folder / "vyrviewer" / "allowed-commands").string();
}

std::vector<std::string> TConsentStore::Lines() const {
  std::vector<std::string> lines;
  if (path_.empty()) return lines;
  std::ifstream in(path_, std::ios::binary);
  std::string line;
  while (lines.size() < kMostLines && std::getline(in, line)) {
    if (line.size() > kLongestLine) break;
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

bool TConsentStore::Allowed(const std::string& showKey,
                            const std::vector<std::string>& command) const {
  if (showKey.empty()) return false;
  const std::vector<std::string> lines = Lines();
  return std::find(lines.begin(), lines.end(), ConsentLine(showKey, command)) != lines.end();
}

bool TConsentStore::Remember(const std::string& showKey, const std::vector<std::string>& command,
                             std::string* error) {
  const auto fail = [&](const std::string& why) {
    if (error) *error = path_ + ": " + why;
    return false;
  };
  if (path_.empty()) return fail("no folder for the viewer's settings");
  if (showKey.empty()) return fail("the show has no key");
  std::vector<std::string> lines = Lines();
  const std::string line = ConsentLine(showKey, command);
  if (std::find(lines.begin(), lines.end(), line) != lines.end()) return true;
  lines.push_back(line);
  std::error_code failure;
  const std::filesystem::path folder = std::filesystem::path(path_).parent_path();
  std::filesystem::create_directories(folder, failure);
  if (failure) return fail(failure.message());
  std::string temporary = path_ + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return fail(std::strerror(errno));
  std::string text;
  for (const std::string& kept : lines) text += kept + "\n";
  const bool written = WriteAll(fd, text) && ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed || ::rename(temporary.c_str(), path_.c_str()) != 0) {
    const std::string why = std::strerror(errno);
    ::unlink(temporary.c_str());
    return fail(why);
  }
  return true;
}

}  // namespace vyr
