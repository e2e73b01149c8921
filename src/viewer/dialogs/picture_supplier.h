#pragma once
// TCallBackClass: supplies the pictures the print dialog prints and saves.

#include <string>

#include "foundation/stream.h"
#include "imaging/bitmap/bitmap.h"
#include "package/access/file_accessor.h"
#include "project/ini/model.h"

namespace vyr {

enum class TPictureRequest {
  MainPicture = 0,    // the slide's "picture", decoded
  CapturedFrame = 1,  // the frame on screen
  SourceFile = 2,     // the main picture's file: a JPEG as it is, anything else as BMP
};

struct TSuppliedPicture {
  TRef<TBitmap> picture;  // MainPicture, CapturedFrame
  TRef<TStream> stream;   // SourceFile, at its start
  std::string fileName;   // SourceFile: the last path segment (".bmp" when converted)
};

class TCallBackClass {
 public:
  // slideIndex is -1 when no slide is shown; captured may be none.
  TCallBackClass(TRef<TIniFile> project, TRef<TFileAccessor> accessor, int slideIndex,
                 TRef<TBitmap> captured);

  // False when the picture cannot be made; answer is then left empty.
  bool Request(TPictureRequest kind, TSuppliedPicture& answer) const;

  int SlideIndex() const { return slideIndex_; }

 private:
  std::string MainPicturePath() const;
  bool MainPicture(TSuppliedPicture& answer) const;
  bool SourceFile(TSuppliedPicture& answer) const;

  TRef<TIniFile> project_;
  TRef<TFileAccessor> accessor_;
  int slideIndex_;
  TRef<TBitmap> captured_;
};

// The last segment of a project path after "\" or "/".
std::string LastPathSegment(const std::string& path);
// ".jpg", ".jpeg", ".jpe" or ".jfif" in any case.
bool IsJpegName(const std::string& name);

}  // namespace vyr
