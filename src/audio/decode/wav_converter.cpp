#include "audio/decode/wav_converter.h"

#include <cmath>

namespace vyr {

bool TWavConverter::Open(const TMediaInfo& info) {
  info_ = info;
  if (info.wave.bitsPerSample == 24) blockSize_ = 12288;
  input_.SetFormat(info.wave);
  output_.SetFormat(info.wave);
  input_.MakeRoom(blockSize_);
  output_.MakeRoom(blockSize_);
  pcmFormat_ = info.wave;
  Seek(0);
  if (info.kind == TFormatKind::Float || info.wave.bitsPerSample == 24 ||
      info.wave.bitsPerSample == 32)
    SetOutputFormat(MixingFormat());
  return true;
}

void TWavConverter::SetPcmFormat(const TWaveFormat& format) {
  pcmFormat_ = format;
  CreateResampler();
}

void TWavConverter::SetOutputFormat(const TWaveFormat& format) {
  output_.SetFormat(format);
  CreateResampler();
}

void TWavConverter::CreateResampler() {
  resampler_.reset();
  const TWaveFormat& out = output_.Format();
  if (pcmFormat_ == out || out.formatTag != kWaveFormatPcm) return;
  if (TPcmResampler::CanConvert(pcmFormat_, out))
    resampler_ = std::make_unique<TPcmResampler>(pcmFormat_, out);
}

void TWavConverter::ResetResampler() {
  if (resampler_) resampler_->Reset();
}

void TWavConverter::Seek(double ms) {
  input_.Clear();
  output_.Clear();
  ResetResampler();
  const TWaveFormat& w = info_.wave;
  int64_t byte = 0;
  if (w.blockAlign > 0 && w.avgBytesPerSec > 0)
    byte = (std::llround(ms / 1000.0 * w.avgBytesPerSec) / w.blockAlign) * w.blockAlign;
  if (stream_) stream_->Seek(info_.dataStart + byte);
  position_ = ms;
}

bool TWavConverter::ReadMore() {
  if (!stream_) return false;
  input_.MakeRoom(blockSize_);
  return input_.ReadFrom(*stream_, int64_t{info_.dataStart} + info_.dataLength);
}

bool TWavConverter::Convert(TLocalBuffer& source) {
  const TWaveFormat& out = output_.Format();
  size_t produced;
  if (!resampler_) {
    // Only whole frames move on; a partial frame waits for the next block.
    const int frame = pcmFormat_.blockAlign > 0 ? pcmFormat_.blockAlign : 1;
    const size_t bytes = source.Filled() / frame * frame;
    output_.AppendBytes(source.Data(), bytes);
    source.Consume(bytes);
    produced = bytes;
  } else {
    const size_t frame = static_cast<size_t>(pcmFormat_.FrameBytes());
    const size_t bytes = source.Filled() / frame * frame;
    const size_t size = resampler_->OutputSize(bytes);
    output_.MakeRoom(size);
    produced = resampler_->Convert(source.Data(), bytes, output_.FreePart());
    output_.Commit(produced);
    source.Consume(bytes);
  }
  if (out.avgBytesPerSec > 0) position_ += produced * 1000.0 / out.avgBytesPerSec;
  return true;
}

bool TWavConverter::Fill(size_t bytes) {
  while (output_.Filled() < bytes) {
    if (ReadMore()) {
      if (!Convert(input_)) {
        output_.PadTo(bytes, 0);
        return false;
      }
    } else {
      const bool hadData = output_.Filled() > 0;
      output_.PadTo(bytes, output_.Format().Is8Bit() ? 128 : 0);
      return hadData;
    }
  }
  return true;
}

}  // namespace vyr
