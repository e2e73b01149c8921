#pragma once
// The base converter: reads blocks of a sound's data, turns them into PCM of the wanted
// output format and collects them in an output buffer. Plain PCM and float WAV files use
// it as it is; the other kinds decode in Convert before passing PCM on.

#include <memory>

#include "audio/decode/local_buffer.h"
#include "audio/decode/media_info.h"
#include "audio/decode/pcm_resampler.h"
#include "foundation/stream.h"

namespace vyr {

class TWavConverter : public TRefObject {
 public:
  void SetStream(TRef<TStream> stream) { stream_ = std::move(stream); }
  TStream* Stream() const { return stream_.Get(); }
  const TMediaInfo& Info() const { return info_; }

  // Moves to ms of the sound; the next Fill starts there.
  virtual void Seek(double ms);
  // Moves the PCM of source into the output buffer (resampled when needed).
  virtual bool Convert(TLocalBuffer& source);
  // Reads the next block of input; false at the end of the data.
  virtual bool ReadMore();
  virtual bool Open(const TMediaInfo& info);
  // Makes the output buffer hold at least bytes; false when nothing more could be produced
  // (the missing part is silence).
  virtual bool Fill(size_t bytes);

  void SetOutputFormat(const TWaveFormat& format);
  const TWaveFormat& OutputFormat() const { return output_.Format(); }
  TLocalBuffer& Output() { return output_; }
  // Position of the output buffer's end in the sound, ms.
  double Position() const { return position_; }
  size_t BlockSize() const { return blockSize_; }

 protected:
  // The format of the PCM handed to the base Convert (the source format for plain PCM).
  void SetPcmFormat(const TWaveFormat& format);
  const TWaveFormat& PcmFormat() const { return pcmFormat_; }
  void ResetResampler();

  TMediaInfo info_;
  TRef<TStream> stream_;
  TLocalBuffer input_;
  TLocalBuffer output_;
  size_t blockSize_ = 4096;
  double position_ = 0;

 private:
  void CreateResampler();
  TWaveFormat pcmFormat_;
  std::unique_ptr<TPcmResampler> resampler_;
};

}  // namespace vyr
