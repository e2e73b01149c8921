#include "viewer/dialogs/picture_supplier.h"

#include <exception>

#include "foundation/case_fold.h"
#include "imaging/bitmap/bmp_writer.h"
#include "imaging/decode/decoder_registry.h"
#include "project/ini/values.h"

namespace vyr {
namespace {

bool HasPixels(const TBitmap* bitmap) {
  return bitmap && bitmap->Width() > 0 && bitmap->Height() > 0;
}

std::string WithBmpExtension(const std::string& name) {
  const size_t dot = name.rfind('.');
  return (dot == std::string::npos ? name : name.substr(0, dot)) + ".bmp";
}

}  // namespace

std::string LastPathSegment(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsJpegName(const std::string& name) {
  const std::string extension = ExtensionOf(LastPathSegment(name));
  for (const char* jpeg : {".jpg", ".jpeg", ".jpe", ".jfif"})
    if (SameName(extension, jpeg)) return true;
  return false;
}

TCallBackClass::TCallBackClass(TRef<TIniFile> project, TRef<TFileAccessor> accessor, int slideIndex,
                               TRef<TBitmap> captured)
    : project_(std::move(project)),
      accessor_(std::move(accessor)),
      slideIndex_(slideIndex),
      captured_(std::move(captured)) {}

bool TCallBackClass::Request(TPictureRequest kind, TSuppliedPicture& answer) const {
  answer = {};
  try {
    switch (kind) {
      case TPictureRequest::MainPicture:
        return MainPicture(answer);
      case TPictureRequest::CapturedFrame:
        if (!captured_) return false;
        answer.picture = captured_;
        return true;
      case TPictureRequest::SourceFile:
        return SourceFile(answer);
    }
  } catch (const std::exception&) {
  }
  answer = {};
  return false;
}

std::string TCallBackClass::MainPicturePath() const {
  if (slideIndex_ < 0 || !project_) return {};
  return ReadText(project_.Get(), "Slide" + std::to_string(slideIndex_ + 1), "picture", "");
}

bool TCallBackClass::MainPicture(TSuppliedPicture& answer) const {
  const std::string path = MainPicturePath();
  if (path.empty() || !accessor_) return false;
  TRef<TImage> image = accessor_->OpenPicture(path);
  if (!image) return false;
  answer.picture = image->Bitmap();
  return answer.picture != nullptr;
}

bool TCallBackClass::SourceFile(TSuppliedPicture& answer) const {
  const std::string path = MainPicturePath();
  if (path.empty() || !accessor_) return false;
  TRef<TStream> stream = accessor_->OpenStream(path);
  if (!stream) return false;
  const std::string name = LastPathSegment(path);
  if (IsJpegName(name)) {
    stream->Seek(0);
    answer.stream = std::move(stream);
    answer.fileName = name;
    return true;
  }
  TRef<TImage> image = DecodePicture(stream, path);
  TRef<TBitmap> bitmap = image ? image->Bitmap() : nullptr;
  if (!HasPixels(bitmap.Get())) return false;
  answer.stream = MakeRef<TMemoryStream>(EncodeBmp(*bitmap));
  answer.fileName = WithBmpExtension(name);
  return true;
}

}  // namespace vyr
