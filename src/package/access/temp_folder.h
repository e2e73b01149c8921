#pragma once
// Private temporary folders of a running show, for files that must exist on disk. Each
// folder "[GUID]" in the temporary root has a lock file "[GUID].lock" beside it, held with
// flock while the folder is in use: a folder whose lock file nobody holds was left by a
// process that died, and is removed at the next start.

#include <mutex>
#include <string>
#include <vector>

namespace vyr {

// The temporary root: the TEMP folder + "TARVIK_TEMP_ROOT/", made with mode 0700 when
// missing. When that name is taken by something that is not our own folder (another user's,
// or a link), "TARVIK_TEMP_ROOT-<uid>" is used instead.
std::string PrepareTempRoot(const std::string& tempFolder);

// A "[GUID]" name: 32 random upper-case hex digits in groups 8-4-4-4-12.
std::string NewGuidFolderName();

class TTempFolders {
 public:
  // root ends with "/" and exists.
  explicit TTempFolders(std::string root);
  // Cleans every folder made (CleanAll).
  ~TTempFolders();
  TTempFolders(const TTempFolders&) = delete;
  TTempFolders& operator=(const TTempFolders&) = delete;

  // Removes every folder whose lock file no running process holds, with its lock file.
  // A folder that cannot be removed gets its lock file back, so a later run retries.
  void CleanStale();
  // A new folder (mode 0700) with its lock file held until CleanAll.
  std::string NewFolder(bool withTrailingSlash);
  // Releases and deletes every lock file made and removes its folder.
  void CleanAll();

  const std::string& Root() const { return root_; }
  size_t Created() const;

 private:
  struct TCreated {
    std::string folder;
    int lockFd;
  };
  std::string root_;
  mutable std::mutex lock_;
  std::vector<TCreated> created_;
};

// A new folder in the process's temporary root; the first call prepares the root and
// cleans stale folders. Folders live until the process ends.
std::string NewTempFolder(bool withTrailingSlash);
// Folders made by NewTempFolder so far.
size_t TempFoldersCreated();

}  // namespace vyr
