#pragma once
// MPEG audio (layers I to III) through libmpg123. Every converter has its own decoder
// state; all decoder calls of the process run under one lock (TMpg123).

#include <memory>
#include <mutex>

#include "audio/decode/wav_converter.h"

struct mpg123_handle_struct;

namespace vyr {

class TByteWindow;

// The process-wide decoder lock, alive while any MPEG converter is.
class TMpg123 {
 public:
  static std::shared_ptr<TMpg123> Acquire();
  std::mutex& Lock() { return lock_; }
  // How many TMpg123 objects exist (0 or 1).
  static int InstanceCount();
  ~TMpg123();

 private:
  TMpg123();
  std::mutex lock_;
};

class TMpegConverter : public TWavConverter {
 public:
  bool Open(const TMediaInfo& info) override;
  bool ReadMore() override;
  bool Convert(TLocalBuffer& source) override;
  void Seek(double ms) override;

  // Where decoding starts for ms: the stream offset and the correction (ms) between the
  // time of that frame and ms (<= 0 with a VBR header).
  struct TSeekPoint {
    int64_t offset;
    double correction;
  };
  TSeekPoint FindSeekPoint(double ms);

 protected:
  void Dispose() override;

 private:
  bool OpenDecoder();
  void CloseDecoder();
  // Drops bytes that are not frames from the block just read (starting at blockStart).
  void Resynchronise(size_t blockStart);
  int64_t DataEnd() const { return int64_t{info_.dataStart} + info_.dataLength; }

  std::shared_ptr<TMpg123> library_;
  mpg123_handle_struct* handle_ = nullptr;
  TLocalBuffer decoded_;
  int64_t carry_ = 0;  // offset of the next frame header beyond the block end
};

}  // namespace vyr
