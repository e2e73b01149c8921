#include "audio/decode/media_library.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>

#include "media/av_stream_input.h"

namespace vyr {

namespace {

std::mutex& LibraryLock() {
  static std::mutex lock;
  return lock;
}

int OutputChannels(int sourceChannels) { return sourceChannels == 1 ? 1 : 2; }

}  // namespace

struct TMediaLibraryFile::State {
  TAvStreamInput input;
  AVFormatContext* format = nullptr;  // the input's
  std::vector<int> audioStreams;
  AVCodecContext* codec = nullptr;
  SwrContext* swr = nullptr;
  int streamIndex = -1;
  int outChannels = 0;
  int outRate = 0;
  AVPacket* packet = nullptr;
  AVFrame* frame = nullptr;
  bool inputEnded = false;
  double skipUntil = -1;  // seconds from the media start; earlier samples are dropped
  int swrFormat = -1, swrRate = 0, swrChannels = 0;

  double StartSeconds() const {
    const AVStream* s = format->streams[streamIndex];
    return s->start_time == AV_NOPTS_VALUE ? 0.0 : s->start_time * av_q2d(s->time_base);
  }

  ~State() {
    CloseCodec();
    input.Close();
  }

  void CloseCodec() {
    if (swr) swr_free(&swr);
    if (codec) avcodec_free_context(&codec);
    if (packet) av_packet_free(&packet);
    if (frame) av_frame_free(&frame);
    streamIndex = -1;
  }

  bool EnsureResampler(const AVFrame& f) {
    if (swr && f.format == swrFormat && f.sample_rate == swrRate &&
        f.ch_layout.nb_channels == swrChannels)
      return true;
    if (swr) swr_free(&swr);
    AVChannelLayout in{};
    if (f.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || f.ch_layout.nb_channels <= 0)
      av_channel_layout_default(&in, std::max(f.ch_layout.nb_channels, 1));
    else
      av_channel_layout_copy(&in, &f.ch_layout);
    AVChannelLayout out{};
    av_channel_layout_default(&out, outChannels);
    const int rc =
        swr_alloc_set_opts2(&swr, &out, AV_SAMPLE_FMT_S16, outRate, &in,
                            static_cast<AVSampleFormat>(f.format), f.sample_rate, 0, nullptr);
    av_channel_layout_uninit(&in);
    av_channel_layout_uninit(&out);
    if (rc < 0 || swr_init(swr) < 0) {
      if (swr) swr_free(&swr);
      return false;
    }
    swrFormat = f.format;
    swrRate = f.sample_rate;
    swrChannels = f.ch_layout.nb_channels;
    return true;
  }
};

TMediaLibraryFile::TMediaLibraryFile() = default;
TMediaLibraryFile::~TMediaLibraryFile() { Close(); }

bool TMediaLibraryFile::Open(TRef<TStream> stream, const std::string& hintName) {
  std::lock_guard guard(LibraryLock());
  state_.reset();
  if (!stream) return false;
  auto state = std::make_unique<State>();
  if (!state->input.Open(std::move(stream), hintName)) return false;
  state->format = state->input.Format();
  for (unsigned i = 0; i < state->format->nb_streams; ++i) {
    const AVCodecParameters* par = state->format->streams[i]->codecpar;
    if (par->codec_type == AVMEDIA_TYPE_AUDIO && par->sample_rate > 0 &&
        par->ch_layout.nb_channels > 0 && avcodec_find_decoder(par->codec_id))
      state->audioStreams.push_back(static_cast<int>(i));
  }
  state_ = std::move(state);
  return true;
}

int64_t TMediaLibraryFile::DurationUs() const {
  std::lock_guard guard(LibraryLock());
  if (!state_ || state_->format->duration == AV_NOPTS_VALUE) return 0;
  return std::max<int64_t>(state_->format->duration, 0);
}

int TMediaLibraryFile::AudioStreamCount() const {
  std::lock_guard guard(LibraryLock());
  return state_ ? static_cast<int>(state_->audioStreams.size()) : 0;
}

bool TMediaLibraryFile::GetAudioInfo(int n, int& sampleRate, int& channels, int& bits) const {
  std::lock_guard guard(LibraryLock());
  if (!state_ || n < 0 || n >= static_cast<int>(state_->audioStreams.size())) return false;
  const AVCodecParameters* par = state_->format->streams[state_->audioStreams[n]]->codecpar;
  sampleRate = par->sample_rate;
  channels = OutputChannels(par->ch_layout.nb_channels);
  bits = 16;
  return true;
}

bool TMediaLibraryFile::OpenAudioStream(int n) {
  std::lock_guard guard(LibraryLock());
  if (!state_ || n < 0 || n >= static_cast<int>(state_->audioStreams.size())) return false;
  State& s = *state_;
  s.CloseCodec();
  const int index = s.audioStreams[n];
  const AVCodecParameters* par = s.format->streams[index]->codecpar;
  const AVCodec* decoder = avcodec_find_decoder(par->codec_id);
  if (!decoder) return false;
  s.codec = avcodec_alloc_context3(decoder);
  s.packet = av_packet_alloc();
  s.frame = av_frame_alloc();
  if (!s.codec || !s.packet || !s.frame || avcodec_parameters_to_context(s.codec, par) < 0 ||
      avcodec_open2(s.codec, decoder, nullptr) < 0) {
    s.CloseCodec();
    return false;
  }
  s.streamIndex = index;
  s.outRate = par->sample_rate;
  s.outChannels = OutputChannels(par->ch_layout.nb_channels);
  s.inputEnded = false;
  s.skipUntil = -1;
  buffer_.assign(kAudioBufferSize, 0);
  return true;
}

int TMediaLibraryFile::GetNextAudioFrame() {
  std::lock_guard guard(LibraryLock());
  return GetNextAudioFrameLocked();
}

int TMediaLibraryFile::GetNextAudioFrameLocked() {
  if (!state_ || state_->streamIndex < 0) return 0;
  State& s = *state_;
  for (;;) {
    const int rc = avcodec_receive_frame(s.codec, s.frame);
    if (rc == 0) {
      AVFrame& f = *s.frame;
      int skip = 0;
      if (s.skipUntil >= 0 && f.best_effort_timestamp != AV_NOPTS_VALUE && f.sample_rate > 0) {
        const AVStream* st = s.format->streams[s.streamIndex];
        const double at = f.best_effort_timestamp * av_q2d(st->time_base) - s.StartSeconds();
        const double missing = (s.skipUntil - at) * f.sample_rate;
        skip = static_cast<int>(std::clamp(std::lround(missing), 0L, long{f.nb_samples}));
        if (skip < f.nb_samples) s.skipUntil = -1;
      }
      if (skip >= f.nb_samples || !s.EnsureResampler(f)) {
        av_frame_unref(s.frame);
        continue;
      }
      const int frameBytes = s.outChannels * 2;
      const int inSamples = f.nb_samples - skip;
      const int outMax = swr_get_out_samples(s.swr, inSamples) + 16;
      if (buffer_.size() < static_cast<size_t>(outMax) * frameBytes)
        buffer_.resize(static_cast<size_t>(outMax) * frameBytes);
      // Planar input needs the skip on every plane.
      const int sampleBytes = av_get_bytes_per_sample(static_cast<AVSampleFormat>(f.format));
      const bool planar = av_sample_fmt_is_planar(static_cast<AVSampleFormat>(f.format));
      const int stride = planar ? sampleBytes : sampleBytes * f.ch_layout.nb_channels;
      const int planeCount = planar ? f.ch_layout.nb_channels : 1;
      std::vector<const uint8_t*> inPlanes(static_cast<size_t>(planeCount));
      for (int p = 0; p < planeCount; ++p) inPlanes[p] = f.extended_data[p] + skip * stride;
      uint8_t* out = buffer_.data();
      const int produced = swr_convert(s.swr, &out, outMax, inPlanes.data(), inSamples);
      av_frame_unref(s.frame);
      if (produced > 0) return produced * frameBytes;
      continue;
    }
    if (rc == AVERROR_EOF) return 0;
    if (rc != AVERROR(EAGAIN)) return 0;
    if (s.inputEnded) return 0;
    // The decoder wants input.
    for (;;) {
      const int read = av_read_frame(s.format, s.packet);
      if (read < 0) {
        s.inputEnded = true;
        avcodec_send_packet(s.codec, nullptr);
        break;
      }
      const bool ours = s.packet->stream_index == s.streamIndex;
      if (ours) avcodec_send_packet(s.codec, s.packet);  // a bad packet is skipped
      av_packet_unref(s.packet);
      if (ours) break;
    }
  }
}

bool TMediaLibraryFile::SeekFile(double ms) {
  std::lock_guard guard(LibraryLock());
  if (!state_ || state_->streamIndex < 0) return false;
  State& s = *state_;
  const AVStream* st = s.format->streams[s.streamIndex];
  const double seconds = std::max(ms, 0.0) / 1000.0;
  const int64_t target =
      static_cast<int64_t>(std::llround((seconds + s.StartSeconds()) / av_q2d(st->time_base)));
  bool ok = av_seek_frame(s.format, s.streamIndex, target, AVSEEK_FLAG_BACKWARD) >= 0;
  if (!ok)
    ok = av_seek_frame(s.format, s.streamIndex, 0, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY) >= 0;
  avcodec_flush_buffers(s.codec);
  if (s.swr) swr_free(&s.swr);
  s.inputEnded = false;
  s.skipUntil = seconds;
  return ok;
}

void TMediaLibraryFile::CloseAudioStream() {
  std::lock_guard guard(LibraryLock());
  if (state_) state_->CloseCodec();
}

void TMediaLibraryFile::Close() {
  std::lock_guard guard(LibraryLock());
  state_.reset();
}

}  // namespace vyr
