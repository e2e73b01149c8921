#include "audio/decode/audio_stream.h"

#include <charconv>

namespace vyr {

namespace {
TAudioOpenCallback& OpenCallback() {
  static TAudioOpenCallback callback;
  return callback;
}
}  // namespace

std::recursive_mutex& AudioStreamLock() {
  static std::recursive_mutex lock;
  return lock;
}

void SetAudioOpenCallback(TAudioOpenCallback callback) {
  std::lock_guard guard(AudioStreamLock());
  OpenCallback() = std::move(callback);
}

TRef<TStream> OpenAudioStream(const std::string& name, const TAudioOpenCallback& open) {
  const std::string path = StripStreamNumber(name);
  std::lock_guard guard(AudioStreamLock());
  TRef<TStream> inner;
  try {
    if (open)
      inner = open(path);
    else if (OpenCallback())
      inner = OpenCallback()(path);
    else
      inner = TFileStream::TryOpen(path, TFileStream::Mode::Read);
  } catch (const std::exception&) {
    return nullptr;
  }
  if (!inner) return nullptr;
  return MakeRef<TLockedStream>(std::move(inner));
}

std::string StripStreamNumber(const std::string& name) {
  const size_t mark = name.rfind('?');
  return mark == std::string::npos ? name : name.substr(0, mark);
}

int StreamNumberOf(const std::string& name) {
  const size_t mark = name.rfind('?');
  if (mark == std::string::npos) return 0;
  int n = 0;
  const char* first = name.data() + mark + 1;
  const char* last = name.data() + name.size();
  const auto [end, ec] = std::from_chars(first, last, n);
  return ec == std::errc() && end == last && n >= 0 ? n : 0;
}

std::string SoundExtension(const std::string& name) {
  const std::string path = StripStreamNumber(name);
  const size_t dot = path.rfind('.');
  const size_t slash = path.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return path.substr(dot);
}

int64_t TLockedStream::Read(void* buffer, int64_t count) {
  std::lock_guard guard(AudioStreamLock());
  return inner_->Read(buffer, count);
}

int64_t TLockedStream::Write(const void* buffer, int64_t count) {
  std::lock_guard guard(AudioStreamLock());
  return inner_->Write(buffer, count);
}

int64_t TLockedStream::Seek(int64_t position) {
  std::lock_guard guard(AudioStreamLock());
  return inner_->Seek(position);
}

int64_t TLockedStream::Position() const {
  std::lock_guard guard(AudioStreamLock());
  return inner_->Position();
}

int64_t TLockedStream::Size() const {
  std::lock_guard guard(AudioStreamLock());
  return inner_->Size();
}

void TLockedStream::SetSize(int64_t size) {
  std::lock_guard guard(AudioStreamLock());
  inner_->SetSize(size);
}

void TLockedStream::Dispose() {
  std::lock_guard guard(AudioStreamLock());
  inner_.Reset();
}

TShiftStream::TShiftStream(TRef<TStream> inner, int64_t offset)
    : inner_(std::move(inner)), offset_(offset) {
  inner_->Seek(offset_);
}

int64_t TShiftStream::Write(const void*, int64_t) {
  VYR_ASSERT_MSG(false, "Shift stream is read only");
  return 0;
}

void TShiftStream::SetSize(int64_t) { VYR_ASSERT_MSG(false, "Shift stream is read only"); }

}  // namespace vyr
