#include "export/safe_output.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "foundation/held_lock.h"

namespace vyr::exporting {

namespace fs = std::filesystem;

namespace {

constexpr const char* kPartialMark = ".partial-";
constexpr const char* kLockSuffix = ".lock";

bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace

TSafeOutput::TSafeOutput(std::string finalPath) : final_(std::move(finalPath)) {
  const fs::path path(final_);
  temporary_ = (path.parent_path() / (path.stem().string() + kPartialMark +
                                      std::to_string(::getpid()) + path.extension().string()))
                   .string();
}

TSafeOutput::~TSafeOutput() { Discard(); }

std::string TSafeOutput::Begin() {
  std::error_code error;
  if (fs::is_directory(final_, error))
    return "cannot write " + final_ + ": " + std::strerror(EISDIR);
  RemoveAbandoned();
  lock_ = CreateHeldLock(temporary_ + kLockSuffix);
  if (lock_ < 0) return "cannot write beside " + final_ + ": " + std::strerror(errno);
  return {};
}

// "NAME.partial-PID.EXT.lock" files beside the output that no running export holds.
void TSafeOutput::RemoveAbandoned() const {
  const fs::path path(final_);
  const fs::path folder = path.parent_path().empty() ? fs::path(".") : path.parent_path();
  const std::string prefix = path.stem().string() + kPartialMark;
  const std::string suffix = path.extension().string() + kLockSuffix;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.size() <= prefix.size() + suffix.size() || !name.starts_with(prefix) ||
        !name.ends_with(suffix) ||
        !AllDigits(std::string_view(name).substr(prefix.size(),
                                                 name.size() - prefix.size() - suffix.size())))
      continue;
    const std::string lockPath = it->path().string();
    const int fd = TakeAbandonedLock(lockPath);
    if (fd < 0) continue;
    std::remove(lockPath.substr(0, lockPath.size() - std::strlen(kLockSuffix)).c_str());
    ::close(fd);
  }
}

void TSafeOutput::ReleaseLock() {
  if (lock_ < 0) return;
  ::unlink((temporary_ + kLockSuffix).c_str());
  ::close(lock_);
  lock_ = -1;
}

std::string TSafeOutput::Commit() {
  if (settled_) return "the output was already settled";
  if (std::rename(temporary_.c_str(), final_.c_str()) != 0) {
    const std::string reason = std::strerror(errno);
    Discard();
    return "cannot rename " + temporary_ + " to " + final_ + ": " + reason;
  }
  settled_ = true;
  ReleaseLock();
  return {};
}

void TSafeOutput::Keep() {
  settled_ = true;
  ReleaseLock();
}

void TSafeOutput::Discard() {
  if (!settled_) std::remove(temporary_.c_str());
  settled_ = true;
  ReleaseLock();
}

}  // namespace vyr::exporting
