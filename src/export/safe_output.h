#pragma once
// The output written under a temporary name beside the final one and renamed when it is
// complete, so the final name never holds a half-written file and an existing one is
// replaced only then. While the temporary file is written, a lock file beside it is held:
// a temporary file whose lock nobody holds was left by an export that was killed.

#include <string>

namespace vyr::exporting {

class TSafeOutput {
 public:
  // "FOLDER/NAME.EXT" gives "FOLDER/NAME.partial-PID.EXT": same folder (the rename stays on
  // one file system), same extension (a partial file still plays).
  explicit TSafeOutput(std::string finalPath);
  ~TSafeOutput();  // removes the temporary file unless committed or kept
  TSafeOutput(const TSafeOutput&) = delete;
  TSafeOutput& operator=(const TSafeOutput&) = delete;

  // Before anything is written: refuses a final name that is a folder, removes the temporary
  // files that killed exports to the same name left, and holds the lock of this one. Empty
  // on success, else the reason.
  std::string Begin();

  const std::string& TemporaryPath() const { return temporary_; }
  const std::string& FinalPath() const { return final_; }
  // Renames the temporary file to the final name; empty on success, else the reason (the
  // temporary file is then removed).
  std::string Commit();
  // Leaves the temporary file where it is (an interrupted export).
  void Keep();
  void Discard();

 private:
  void RemoveAbandoned() const;
  void ReleaseLock();

  std::string final_, temporary_;
  bool settled_ = false;
  int lock_ = -1;
};

}  // namespace vyr::exporting
