#include "viewer/instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "foundation/utf.h"
#include "platform/process_paths.h"

namespace vyr {

uint32_t InstanceHash(std::u16string_view text) {
  uint32_t h = 0;
  for (char16_t c : text) {
    h = h * 16 + (c & 0xFFu);
    if (const uint32_t top = h & 0xF0000000u; top != 0) h = (h ^ (top >> 24)) & 0x0FFFFFFFu;
  }
  return h;
}

std::string InstanceName(std::string_view programPath) {
  std::string_view folder = FolderOf(programPath);
  if (!folder.empty()) folder.remove_suffix(1);
  const std::string_view fileName = FileNameOf(programPath);
  const auto hash = [](std::string_view text) {
    return std::to_string(InstanceHash(Utf8ToUtf16(text)));
  };
  return "Instance_ID" + hash(programPath) + hash(folder) + hash(fileName) + std::string(fileName);
}

bool TInstanceLock::Acquire(const std::string& folder, const std::string& name) {
  Release();
  anotherRunning_ = false;
  std::string path = folder;
  if (!path.empty() && path.back() != '/') path += '/';
  path += name;
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    anotherRunning_ = errno == EWOULDBLOCK;
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

void TInstanceLock::Release() {
  if (fd_ < 0) return;
  ::close(fd_);  // closing drops the lock; the file stays for the next start
  fd_ = -1;
}

}  // namespace vyr
