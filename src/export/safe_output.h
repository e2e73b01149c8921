#pragma once
// The output written under a temporary name beside the final one and renamed when it is
// complete, so the final name never holds a half-written file and an existing one is
// replaced only then.

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

  const std::string& TemporaryPath() const { return temporary_; }
  const std::string& FinalPath() const { return final_; }
  // Renames the temporary file to the final name; empty on success, else the reason (the
  // temporary file is then removed).
  std::string Commit();
  // Leaves the temporary file where it is (an interrupted export).
  void Keep() { settled_ = true; }
  void Discard();

 private:
  std::string final_, temporary_;
  bool settled_ = false;
};

}  // namespace vyr::exporting
