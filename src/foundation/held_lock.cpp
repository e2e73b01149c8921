#include "foundation/held_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vyr {

namespace {

// Whether fd is still the file at path (a cleaner may have replaced it meanwhile).
bool SameFile(int fd, const std::string& path) {
  struct stat open {
  }, named{};
  return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 &&
         open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

}  // namespace

int CreateHeldLock(const std::string& lockPath) {
  const std::string staging = lockPath + ".new";
  const int fd = ::open(staging.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return -1;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::rename(staging.c_str(), lockPath.c_str()) != 0) {
    ::unlink(staging.c_str());
    ::close(fd);
    return -1;
  }
  return fd;
}

int TakeAbandonedLock(const std::string& lockPath) {
  const int fd = ::open(lockPath.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return -1;
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && SameFile(fd, lockPath) &&
      ::unlink(lockPath.c_str()) == 0)
    return fd;
  ::close(fd);
  return -1;
}

void TouchFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd >= 0) ::close(fd);
}

}  // namespace vyr
