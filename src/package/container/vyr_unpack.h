#pragma once
// The package reader: finds the package at the end of a file, checks it, parses its
// directory and opens entries as streams.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/stream.h"
#include "package/container/unpack_struc.h"

namespace vyr {

// Where an entry lies in the file: offset already includes the shift.
struct TEntryLocation {
  int64_t offset = -1;
  int64_t size = -1;
  int method = 0;
};

class TVyrUnpack : public TRefObject {
 public:
  // Largest inflated method-1 entry accepted by default.
  static constexpr int64_t kDefaultInflateLimit = int64_t{1} << 30;

  // Opens and checks the package; IsOpen and ErrorText tell the outcome. Never raises:
  // a directory that does not inflate leaves zlib's message as the error text.
  explicit TVyrUnpack(std::string fileName, int64_t inflateLimit = kDefaultInflateLimit);

  bool IsOpen() const { return file_ != nullptr; }
  // Empty when the file simply holds no package.
  const std::string& ErrorText() const { return errorText_; }
  const std::string& Version() const { return version_; }
  const std::string& FileName() const { return fileName_; }
  int64_t DirectoryOffset() const { return directoryOffset_; }
  int64_t Shift() const { return shift_; }
  // The parsed directory; none while closed.
  const TUnpackStruc* Directory() const { return directory_.Get(); }

  std::optional<TEntryLocation> FindEntry(std::string_view name) const;
  // A new, independent stream at position 0 (none when the entry or the file is missing).
  // Raises "Insufficient Source Size" when the entry lies outside the file, and zlib's
  // message when a method-1 entry does not inflate.
  TRef<TStream> OpenEntry(std::string_view name) const;
  // As OpenEntry, by the section name as stored in the directory.
  TRef<TStream> OpenSection(std::string_view section) const;
  // The location of an entry of the directory.
  TEntryLocation Locate(const TPackageEntry& entry) const;

  void Close();

  // Opens a package only for its "vyrversion"; any failure gives false.
  static bool PackageVersion(const std::string& fileName, std::string& version);

 private:
  void Open();
  void Fail(std::string text);
  TRef<TStream> OpenLocated(const TEntryLocation& location) const;

  std::string fileName_;
  int64_t inflateLimit_;
  TRef<TFileStream> file_;
  int64_t directoryOffset_ = 0;
  int64_t shift_ = 0;
  TRef<TUnpackStruc> directory_;
  std::string version_;
  std::string errorText_;
};

inline constexpr const char* kSlideshowNotFound = "Slideshow File not Found";
inline constexpr const char* kSlideshowModified = "Slide-show File Modified";
inline constexpr const char* kSlideshowDamaged = "Slide-show File Damaged";

}  // namespace vyr
