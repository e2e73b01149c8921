#include "audio/decode/adpcm_converter.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/mem.h>
}

#include <algorithm>
#include <cstring>

namespace vyr {

namespace {
constexpr size_t kAdpcmBlockSize = 2048;
}

bool TAdpcmConverter::Open(const TMediaInfo& info) {
  TWavConverter::Open(info);
  const int align = std::max<int>(info.wave.blockAlign, 1);
  blockSize_ = std::max<size_t>(kAdpcmBlockSize / align, 1) * align;
  input_.MakeRoom(blockSize_);
  decoded_.SetFormat(MakePcmFormat(info.wave.channels, info.wave.samplesPerSec, 16));
  SetPcmFormat(decoded_.Format());

  const AVCodec* decoder = avcodec_find_decoder(AV_CODEC_ID_ADPCM_MS);
  if (!decoder) return false;
  codec_ = avcodec_alloc_context3(decoder);
  packet_ = av_packet_alloc();
  frame_ = av_frame_alloc();
  if (!codec_ || !packet_ || !frame_) return false;
  codec_->sample_rate = static_cast<int>(info.wave.samplesPerSec);
  av_channel_layout_default(&codec_->ch_layout, info.wave.channels);
  codec_->block_align = info.wave.blockAlign;
  codec_->extradata = static_cast<uint8_t*>(av_mallocz(32 + AV_INPUT_BUFFER_PADDING_SIZE));
  if (!codec_->extradata) return false;
  std::memcpy(codec_->extradata, info.extra.data(), 32);
  codec_->extradata_size = 32;
  return avcodec_open2(codec_, decoder, nullptr) >= 0;
}

void TAdpcmConverter::Dispose() {
  if (frame_) av_frame_free(&frame_);
  if (packet_) av_packet_free(&packet_);
  if (codec_) avcodec_free_context(&codec_);
  TWavConverter::Dispose();
}

void TAdpcmConverter::Seek(double ms) {
  decoded_.Clear();
  if (codec_) avcodec_flush_buffers(codec_);
  TWavConverter::Seek(ms);
}

bool TAdpcmConverter::DecodePacket(const uint8_t* data, size_t size) {
  if (av_new_packet(packet_, static_cast<int>(size)) < 0) return false;
  std::memcpy(packet_->data, data, size);
  const int sent = avcodec_send_packet(codec_, packet_);
  av_packet_unref(packet_);
  if (sent < 0) return false;
  while (avcodec_receive_frame(codec_, frame_) == 0) {
    const int channels = frame_->ch_layout.nb_channels;
    const size_t samples = static_cast<size_t>(frame_->nb_samples);
    const size_t bytes = samples * channels * 2;
    decoded_.MakeRoom(bytes);
    auto* out = reinterpret_cast<int16_t*>(decoded_.FreePart());
    if (frame_->format == AV_SAMPLE_FMT_S16P) {
      for (size_t i = 0; i < samples; ++i)
        for (int c = 0; c < channels; ++c)
          out[i * channels + c] = reinterpret_cast<const int16_t*>(frame_->extended_data[c])[i];
    } else {
      std::memcpy(out, frame_->data[0], bytes);
    }
    decoded_.Commit(bytes);
    av_frame_unref(frame_);
  }
  return true;
}

bool TAdpcmConverter::Convert(TLocalBuffer& source) {
  if (!codec_) return false;
  bool ok = true;
  const size_t align = std::max<size_t>(info_.wave.blockAlign, 1);
  for (size_t at = 0; at < source.Filled(); at += align)
    ok = DecodePacket(source.Data() + at, std::min(align, source.Filled() - at)) && ok;
  source.Clear();
  TWavConverter::Convert(decoded_);
  return ok;
}

}  // namespace vyr
