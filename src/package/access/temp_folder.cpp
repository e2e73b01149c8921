#include "package/access/temp_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <random>

#include "foundation/exceptions.h"
#include "foundation/held_lock.h"
#include "package/access/special_folders.h"

namespace vyr {

namespace {

constexpr const char* kRootName = "TARVIK_TEMP_ROOT";
constexpr std::string_view kLockSuffix = ".lock";

bool IsOwnFolder(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid();
}

bool MakePrivateFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0700) != 0) return false;
  ::chmod(path.c_str(), 0700);  // the umask must not take the owner's rights away
  return true;
}

void RemoveTree(const std::string& path, std::error_code& error) {
  std::filesystem::remove_all(path, error);
  if (!error && std::filesystem::exists(std::filesystem::symlink_status(path)))
    error = std::make_error_code(std::errc::directory_not_empty);
}

}  // namespace

std::string PrepareTempRoot(const std::string& tempFolder) {
  VYR_ASSERT_MSG(!tempFolder.empty(), "Temp Path not Found");
  const std::string first = tempFolder + kRootName;
  for (const std::string& path : {first, first + "-" + std::to_string(::geteuid())}) {
    if (!MakePrivateFolder(path) && errno != EEXIST) continue;
    if (IsOwnFolder(path)) return path + "/";
  }
  AssertionFailed("VendorTemp Create Error: " + first + "/", __FILE__, __LINE__);
}

std::string NewGuidFolderName() {
  static thread_local std::mt19937_64 random([] {
    std::random_device device;
    std::seed_seq seed{device(), device(), device(), device(), device(), device()};
    return std::mt19937_64(seed);
  }());
  uint8_t bytes[16];
  for (int i = 0; i < 16; i += 8) {
    const uint64_t value = random();
    for (int j = 0; j < 8; ++j) bytes[i + j] = static_cast<uint8_t>(value >> (8 * j));
  }
  bytes[6] = static_cast<uint8_t>((bytes[6] & 0x0F) | 0x40);  // version 4
  bytes[8] = static_cast<uint8_t>((bytes[8] & 0x3F) | 0x80);  // variant 1
  std::string name = "[";
  char hex[3];
  for (int i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) name += '-';
    std::snprintf(hex, sizeof hex, "%02X", bytes[i]);
    name += hex;
  }
  return name + "]";
}

TTempFolders::TTempFolders(std::string root) : root_(std::move(root)) {
  if (!root_.empty() && root_.back() != '/') root_ += '/';
}

TTempFolders::~TTempFolders() { CleanAll(); }

size_t TTempFolders::Created() const {
  std::lock_guard lock(lock_);
  return created_.size();
}

void TTempFolders::CleanStale() {
  std::vector<std::string> locks;
  if (DIR* dir = ::opendir(root_.c_str())) {
    while (const dirent* entry = ::readdir(dir)) {
      const std::string_view name(entry->d_name);
      if (name.size() > kLockSuffix.size() && name.ends_with(kLockSuffix)) locks.emplace_back(name);
    }
    ::closedir(dir);
  }
  for (const auto& name : locks) {
    const std::string lockPath = root_ + name;
    // A lock that cannot be taken belongs to a running process: its folder stays.
    const int fd = TakeAbandonedLock(lockPath);
    if (fd < 0) continue;
    std::error_code error;
    RemoveTree(root_ + name.substr(0, name.size() - kLockSuffix.size()), error);
    if (error) TouchFile(lockPath);
    ::close(fd);
  }
}

std::string TTempFolders::NewFolder(bool withTrailingSlash) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = NewGuidFolderName();
    const std::string folder = root_ + name;
    if (!MakePrivateFolder(folder)) continue;
    const int fd = CreateHeldLock(folder + std::string(kLockSuffix));
    if (fd < 0) {
      ::rmdir(folder.c_str());
      continue;
    }
    {
      std::lock_guard lock(lock_);
      created_.push_back({folder, fd});
    }
    return withTrailingSlash ? folder + "/" : folder;
  }
  AssertionFailed("VendorTemp Create Error: " + root_, __FILE__, __LINE__);
}

void TTempFolders::CleanAll() {
  std::vector<TCreated> created;
  {
    std::lock_guard lock(lock_);
    created.swap(created_);
  }
  for (const auto& entry : created) {
    const std::string lockPath = entry.folder + std::string(kLockSuffix);
    const bool unlinked = ::unlink(lockPath.c_str()) == 0;
    ::close(entry.lockFd);
    std::error_code error;
    if (unlinked) RemoveTree(entry.folder, error);
    if (unlinked && error) TouchFile(lockPath);
  }
}

namespace {
TTempFolders& ProcessTempFolders() {
  // Destroyed at process end, which removes every folder the process made.
  static TTempFolders folders(PrepareTempRoot(TempFolderPath()));
  return folders;
}
}  // namespace

std::string NewTempFolder(bool withTrailingSlash) {
  static std::once_flag cleaned;
  TTempFolders& folders = ProcessTempFolders();
  std::call_once(cleaned, [&folders] { folders.CleanStale(); });
  return folders.NewFolder(withTrailingSlash);
}

size_t TempFoldersCreated() { return ProcessTempFolders().Created(); }

}  // namespace vyr
