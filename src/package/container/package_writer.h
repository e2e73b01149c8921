#pragma once
// Writes a package: entries one after another, the deflated directory and the trailer.

#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/stream.h"
#include "package/container/package_layout.h"
#include "project/ini/model.h"

namespace vyr {

VYR_DECLARE_EXCEPTION(EPackageWriteError, EStreamWriteError);

struct TPackageWriterOptions {
  bool longTrailer = true;
  bool allowModify = false;
  std::string version;  // "vyrversion"
};

class TPackageWriter {
 public:
  // Writes from target's position on; offsets recorded are target positions, so a
  // package appended to a program is written after the program's bytes.
  TPackageWriter(TRef<TStream> target, TPackageWriterOptions options);

  // Raises EPackageWriteError for an empty or reserved name, a name that differs from an
  // earlier one only by case, or one with blanks at either end (a section header would
  // lose them).
  void AddEntry(std::string_view name, TStream& source, TPackMethod method);
  void AddEntry(std::string_view name, std::string_view bytes, TPackMethod method);
  // Writes "$protection$", the directory and the trailer. Nothing may be added after.
  void Finish();

  const TIniFile& Directory() const { return *directory_; }

 private:
  std::string SectionFor(std::string_view name) const;
  int64_t WriteBody(TStream& source, TPackMethod method);

  TRef<TStream> target_;
  TPackageWriterOptions options_;
  TRef<TIniFile> directory_;
  bool finished_ = false;
};

// Deflates directory text at target's position and appends the trailer; the directory's
// frame offset is its target position. Returns that offset.
int64_t WriteDirectoryAndTrailer(TStream& target, std::string_view directoryText, bool longTrailer);

}  // namespace vyr
