#pragma once
// Encodes pictures and sound into one file through libavcodec and libavformat: BGRA frames
// converted to YUV 4:2:0 (BT.709, limited range; yuv_conversion.h), or frames converted so
// already, 16-bit stereo sound at the mixing rate resampled with libswresample to what the
// sound encoder takes.

#include <cstddef>
#include <cstdint>
#include <string>

#include "export/output_format.h"

struct AVFormatContext;
struct AVCodecContext;
struct AVStream;
struct AVFrame;
struct AVPacket;
struct AVAudioFifo;
struct SwrContext;

namespace vyr::exporting {

struct TVideoShape {
  int width = 0, height = 0;  // even
  int fps = 30;
};

class TMediaWriter {
 public:
  static constexpr int kSoundRate = 44100;  // what WriteSound takes

  TMediaWriter() = default;
  ~TMediaWriter();
  TMediaWriter(const TMediaWriter&) = delete;
  TMediaWriter& operator=(const TMediaWriter&) = delete;

  // Creates path (the muxer comes from format, never from the path) and writes the
  // header. Empty on success, else the reason.
  std::string Open(const std::string& path, const TOutputFormat& format, const TVideoShape& shape,
                   bool withSound);
  // The next frame: rows of width BGRA pixels, stride bytes apart.
  std::string WriteVideo(const uint8_t* bgra, int stride);
  // The next frame already converted (BgraToYuv420): planes Y, Cb, Cr.
  std::string WriteYuv420(const uint8_t* const planes[3], const int strides[3]);
  // The next frames of sound, 16-bit stereo interleaved at kSoundRate.
  std::string WriteSound(const int16_t* samples, size_t frames);
  // Drains the encoders and writes the index; the file is then complete.
  std::string Finish();

 private:
  std::string OpenVideo(const TOutputFormat& format, const TVideoShape& shape);
  std::string OpenSound(const TOutputFormat& format);
  std::string EncodeQueuedSound(bool flush);
  std::string EncodePicture();
  std::string Encode(AVCodecContext* codec, AVStream* stream, AVFrame* frame);
  std::string Failure(const std::string& what, int code) const;
  void Close();

  std::string path_;
  AVFormatContext* muxer_ = nullptr;
  AVCodecContext* video_ = nullptr;
  AVCodecContext* sound_ = nullptr;
  AVStream* videoStream_ = nullptr;
  AVStream* soundStream_ = nullptr;
  AVFrame* picture_ = nullptr;
  AVFrame* soundFrame_ = nullptr;
  AVPacket* packet_ = nullptr;
  AVAudioFifo* fifo_ = nullptr;
  SwrContext* resampler_ = nullptr;
  int64_t videoPts_ = 0, soundPts_ = 0;
  int keyInterval_ = 60;
  bool headerWritten_ = false;
};

}  // namespace vyr::exporting
