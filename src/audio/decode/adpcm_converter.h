#pragma once
// MS ADPCM WAV files: each block of the data chunk is decoded to 16-bit PCM with the
// source's channels and rate (the media library's MS ADPCM decoder stands where the
// system's compression manager stood), then passed on as plain PCM.

#include "audio/decode/wav_converter.h"

struct AVCodecContext;
struct AVPacket;
struct AVFrame;

namespace vyr {

class TAdpcmConverter : public TWavConverter {
 public:
  bool Open(const TMediaInfo& info) override;
  bool Convert(TLocalBuffer& source) override;
  void Seek(double ms) override;

 protected:
  void Dispose() override;

 private:
  bool DecodePacket(const uint8_t* data, size_t size);
  AVCodecContext* codec_ = nullptr;
  AVPacket* packet_ = nullptr;
  AVFrame* frame_ = nullptr;
  TLocalBuffer decoded_;
};

}  // namespace vyr
