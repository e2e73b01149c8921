#include "audio/decode/mpeg_converter.h"

#include <mpg123.h>

#include <algorithm>
#include <atomic>
#include <cmath>

#include "audio/decode/byte_window.h"
#include "audio/decode/mpeg_header.h"

namespace vyr {

namespace {

std::mutex& LibraryGuard() {
  static std::mutex lock;
  return lock;
}
std::weak_ptr<TMpg123>& LibraryInstance() {
  static std::weak_ptr<TMpg123> instance;
  return instance;
}
std::atomic<int> g_instances{0};

constexpr size_t kDecodeRoom = 8192;
constexpr int kMaxBlock = 4096;

}  // namespace

TMpg123::TMpg123() { ++g_instances; }
TMpg123::~TMpg123() { --g_instances; }
int TMpg123::InstanceCount() { return g_instances.load(); }

std::shared_ptr<TMpg123> TMpg123::Acquire() {
  std::lock_guard guard(LibraryGuard());
  auto instance = LibraryInstance().lock();
  if (!instance) {
    instance = std::shared_ptr<TMpg123>(new TMpg123());
    LibraryInstance() = instance;
  }
  return instance;
}

bool TMpegConverter::Open(const TMediaInfo& info) {
  library_ = TMpg123::Acquire();
  const bool vbr = info.VbrFlag() != 0;
  TWavConverter::Open(info);
  blockSize_ =
      vbr ? kMaxBlock : static_cast<size_t>(std::clamp(6 * info.frameLength, 4, kMaxBlock));
  input_.MakeRoom(blockSize_);
  decoded_.SetFormat(MakePcmFormat(info.wave.channels, info.wave.samplesPerSec, 16));
  SetPcmFormat(decoded_.Format());
  return OpenDecoder();
}

bool TMpegConverter::OpenDecoder() {
  std::lock_guard guard(library_->Lock());
  if (!handle_) {
    int error = 0;
    handle_ = mpg123_new(nullptr, &error);
    if (!handle_) return false;
    // No gapless trimming and the info frame decodes as a frame: every frame then plays
    // at the time its position in the stream gives, from the start and after a seek.
    mpg123_param(handle_, MPG123_FLAGS, MPG123_QUIET | MPG123_IGNORE_INFOFRAME, 0);
    mpg123_format_none(handle_);
    const int channels = info_.wave.channels == 1 ? MPG123_MONO : MPG123_STEREO;
    mpg123_format(handle_, static_cast<long>(info_.wave.samplesPerSec), channels,
                  MPG123_ENC_SIGNED_16);
  }
  return mpg123_open_feed(handle_) == MPG123_OK;
}

void TMpegConverter::CloseDecoder() {
  if (!handle_) return;
  std::lock_guard guard(library_->Lock());
  mpg123_delete(handle_);
  handle_ = nullptr;
}

void TMpegConverter::Dispose() {
  CloseDecoder();
  library_.reset();
  TWavConverter::Dispose();
}

bool TMpegConverter::ReadMore() {
  const size_t blockStart = input_.Filled();
  if (!TWavConverter::ReadMore()) return false;
  Resynchronise(blockStart);
  return true;
}

void TMpegConverter::Resynchronise(size_t blockStart) {
  int64_t endPosition = stream_->Position();  // stream position of the buffer's end
  TByteWindow window(*stream_, DataEnd());
  size_t at = blockStart + static_cast<size_t>(carry_);
  TMpegHeader h;
  while (at < input_.Filled()) {
    const int64_t streamAt = endPosition - static_cast<int64_t>(input_.Filled() - at);
    bool valid;
    if (at + 4 <= input_.Filled())
      valid = ParseMpegHeader(input_.Data() + at, h);
    else
      valid = MpegHeaderAt(window, streamAt, h);  // a header across the block end
    if (valid && h.frameLength >= 4 && streamAt + h.frameLength <= DataEnd()) {
      at += static_cast<size_t>(h.frameLength);
      continue;
    }
    // Not a frame: the rest of the block comes from the next frame of the stream.
    const int64_t next = FindMpegFrame(window, streamAt + 1, DataEnd(), true);
    const size_t used = at - blockStart;
    input_.Truncate(at);
    endPosition = next < 0 ? DataEnd() : next;
    if (next < 0 || used >= blockSize_) break;
    stream_->Seek(next);
    input_.MakeRoom(blockSize_ - used);
    if (!input_.ReadFrom(*stream_, DataEnd(), blockSize_ - used)) break;
    endPosition = stream_->Position();
  }
  carry_ = at > input_.Filled() ? static_cast<int64_t>(at - input_.Filled()) : 0;
  stream_->Seek(endPosition);
}

bool TMpegConverter::Convert(TLocalBuffer& source) {
  if (!handle_) return false;
  {
    std::lock_guard guard(library_->Lock());
    const unsigned char* in = source.Data();
    size_t inSize = source.Filled();
    for (;;) {
      decoded_.MakeRoom(kDecodeRoom);
      size_t done = 0;
      int rc;
      try {
        rc = mpg123_decode(handle_, in, inSize, decoded_.FreePart(), decoded_.Free(), &done);
      } catch (...) {
        rc = MPG123_ERR;
        done = 0;
      }
      in = nullptr;
      inSize = 0;
      decoded_.Commit(std::min(done, decoded_.Free()));
      if (rc == MPG123_ERR) {
        // A broken stream state: start afresh at the next frame.
        mpg123_open_feed(handle_);
        break;
      }
      if (rc != MPG123_OK && rc != MPG123_NEW_FORMAT) break;
    }
  }
  source.Clear();
  return TWavConverter::Convert(decoded_);
}

TMpegConverter::TSeekPoint TMpegConverter::FindSeekPoint(double t) {
  TByteWindow window(*stream_, DataEnd());
  const int64_t start = info_.dataStart;
  if (t <= 0) return {start, 0};
  if (info_.VbrFlag() != 0) {
    int64_t at = start;
    TMpegHeader h;
    while (t > 0 && at < DataEnd()) {
      if (!MpegHeaderAt(window, at, h)) {
        at = FindMpegFrame(window, at + 1, DataEnd(), true, &h);
        if (at < 0) return {DataEnd(), t};
      }
      at += h.frameLength;
      t -= info_.msPerFrame;
    }
    return {std::min(at, DataEnd()), std::min(t, 0.0)};
  }
  int64_t at = start;
  if (info_.duration > 0)
    at += std::llround(static_cast<double>(info_.dataLength) / info_.duration * t);
  const int64_t from = at;
  const int64_t limit = std::min(DataEnd(), from + 65536);
  TMpegHeader h, next;
  for (; at + 4 <= limit; ++at) {
    if (!MpegHeaderAt(window, at, h)) continue;
    if (h.frameLength != info_.frameLength && h.frameLength != info_.frameLength - 1) continue;
    if (MpegHeaderAt(window, at + h.frameLength, next)) break;
  }
  if (at + 4 > limit) {
    at = FindMpegFrame(window, from, DataEnd(), true);
    if (at < 0) return {DataEnd(), 0};
  }
  const double skipped = static_cast<double>(at - from);
  const double correction =
      info_.frameLength > 0 ? -std::round(skipped / info_.frameLength * info_.msPerFrame) : 0;
  return {at, correction};
}

void TMpegConverter::Seek(double ms) {
  if (!stream_ || !handle_) {
    TWavConverter::Seek(ms);
    return;
  }
  ms = std::max(ms, 0.0);
  const double preroll = std::min(ms, 100.0);
  const TSeekPoint point = FindSeekPoint(ms - preroll);
  input_.Clear();
  output_.Clear();
  decoded_.Clear();
  ResetResampler();
  carry_ = 0;
  OpenDecoder();
  stream_->Seek(point.offset);

  const TWaveFormat& out = output_.Format();
  const int frame = std::max(out.FrameBytes(), 1);
  const size_t drop = static_cast<size_t>(std::llround(preroll / 1000.0 * out.samplesPerSec)) *
                      static_cast<size_t>(frame);
  const size_t piece = static_cast<size_t>(out.samplesPerSec / 10) * static_cast<size_t>(frame);
  for (int i = 0; i < 11 && output_.Filled() < drop; ++i)
    if (!Fill(std::min(output_.Filled() + piece, drop))) break;
  output_.Consume(drop);
  position_ = ms - point.correction;
}

}  // namespace vyr
