#include "video/ffmpeg_video_source.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "foundation/log.h"
#include "media/av_stream_input.h"
#include "scene/video/video_picture.h"

namespace vyr {

namespace {

// A scan that finds more packets than this stops: such a table would not fit sensibly.
constexpr size_t kMaxFrames = 20'000'000;

std::string CodecNameOf(const AVCodecParameters& par) {
  switch (par.codec_id) {
    case AV_CODEC_ID_MPEG2VIDEO:
      return "MPEG2";
    case AV_CODEC_ID_H264:
      return "H264";
    case AV_CODEC_ID_MPEG4:
      return par.codec_tag == MKTAG('X', 'V', 'I', 'D') ? "XVID" : "MPEG4";
    default:
      return "OTHER";
  }
}

bool IsRgbFormat(int format) {
  const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(format));
  return desc && (desc->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL));
}

bool IsFullRangeYuv(const AVFrame& f) {
  switch (f.format) {
    case AV_PIX_FMT_YUVJ420P:
    case AV_PIX_FMT_YUVJ422P:
    case AV_PIX_FMT_YUVJ444P:
    case AV_PIX_FMT_YUVJ440P:
    case AV_PIX_FMT_YUVJ411P:
      return true;
    default:
      return f.color_range == AVCOL_RANGE_JPEG;
  }
}

int AspectCode(int width, int height, AVRational sar) {
  if (sar.num <= 0 || sar.den <= 0 || sar.num == sar.den || width <= 0 || height <= 0) return 0;
  const double dar = width * av_q2d(sar) / height;
  if (std::abs(dar - 4.0 / 3.0) < 0.02) return 1;
  if (std::abs(dar - 16.0 / 9.0) < 0.03) return 2;
  return 0;
}

std::string ErrorText(int error) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(error, text, sizeof text);
  return std::to_string(error) + " (" + text + ")";
}

}  // namespace

struct TWinVideoSource::TState {
  TAvStreamInput input;
  std::string fileName;
  int streamIndex = -1;
  AVStream* stream = nullptr;
  AVCodecContext* codec = nullptr;
  AVPacket* packet = nullptr;
  AVFrame* frame = nullptr;
  SwsContext* sws = nullptr;
  std::vector<uint8_t> rgb24;   // the 24-bit path's conversion
  std::vector<int64_t> pts;     // presentation times in frame order
  std::vector<int64_t> keyPts;  // presentation times of the key frames, ascending
  bool haveFrame = false;       // `frame` holds the last frame decoded
  int64_t lastPts = INT64_MIN;
  int64_t firstPts = INT64_MIN;  // the first frame decoded after the last seek
  int lastIndex = -2;            // the index asked for last
  bool inputEnded = false;
  bool packetPending = false;

  ~TState() {
    if (sws) sws_freeContext(sws);
    if (codec) avcodec_free_context(&codec);
    if (packet) av_packet_free(&packet);
    if (frame) av_frame_free(&frame);
    input.Close();
  }

  bool ScanPackets() {
    AVFormatContext* fmt = input.Format();
    // Packets without a presentation time get the one their place in the stream gives them
    // (elementary streams in MPEG-PS carry one only now and then).
    fmt->flags |= AVFMT_FLAG_GENPTS;
    for (unsigned i = 0; i < fmt->nb_streams; ++i)
      if (static_cast<int>(i) != streamIndex) fmt->streams[i]->discard = AVDISCARD_ALL;
    struct TEntry {
      int64_t pts;
      bool key;
    };
    std::vector<TEntry> entries;
    int64_t previous = AV_NOPTS_VALUE, lastDuration = 0;
    while (av_read_frame(fmt, packet) >= 0) {
      if (packet->stream_index == streamIndex) {
        int64_t ts = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
        if (ts == AV_NOPTS_VALUE)
          ts = previous == AV_NOPTS_VALUE ? 0 : previous + std::max<int64_t>(lastDuration, 1);
        entries.push_back({ts, (packet->flags & AV_PKT_FLAG_KEY) != 0});
        previous = ts;
        lastDuration = packet->duration;
      }
      av_packet_unref(packet);
      if (entries.size() > kMaxFrames) return false;
    }
    if (entries.empty()) return false;
    std::sort(entries.begin(), entries.end(),
              [](const TEntry& a, const TEntry& b) { return a.pts < b.pts; });
    for (const TEntry& e : entries) {
      if (!pts.empty() && pts.back() == e.pts) continue;
      pts.push_back(e.pts);
      if (e.key) keyPts.push_back(e.pts);
    }
    if (keyPts.empty() || keyPts.front() != pts.front()) keyPts.insert(keyPts.begin(), pts.front());
    // Duration: the span of the table plus the last frame's own length.
    int64_t last = lastDuration;
    if (last <= 0 && pts.size() > 1)
      last = (pts.back() - pts.front()) / static_cast<int64_t>(pts.size() - 1);
    const double seconds =
        static_cast<double>(pts.back() - pts.front() + std::max<int64_t>(last, 0)) *
        av_q2d(stream->time_base);
    const AVRational rate = stream->avg_frame_rate;
    if (seconds > 0)
      fps = static_cast<double>(pts.size()) / seconds;
    else if (rate.num > 0 && rate.den > 0)
      fps = av_q2d(rate);
    else
      fps = 25;
    return true;
  }

  double fps = 25;

  bool OpenDecoder(const AVCodec* decoder) {
    codec = avcodec_alloc_context3(decoder);
    if (!codec || avcodec_parameters_to_context(codec, stream->codecpar) < 0) return false;
    codec->thread_count = 0;  // as many as the machine has
    codec->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    codec->pkt_timebase = stream->time_base;
    return avcodec_open2(codec, decoder, nullptr) >= 0;
  }

  void SeekTo(int64_t ts, bool byByte = false) {
    if (byByte)
      avformat_seek_file(input.Format(), streamIndex, 0, 0, 0, AVSEEK_FLAG_BYTE);
    else
      av_seek_frame(input.Format(), streamIndex, ts, AVSEEK_FLAG_BACKWARD);
    avcodec_flush_buffers(codec);
    haveFrame = false;
    lastPts = INT64_MIN;
    firstPts = INT64_MIN;
    inputEnded = false;
    if (packetPending) av_packet_unref(packet);
    packetPending = false;
  }

  // Decodes on until a frame at or after target; 1 found, 0 the stream ended first (the
  // last frame stays), negative an error.
  int DecodeUntil(int64_t target, int index) {
    for (;;) {
      const int got = avcodec_receive_frame(codec, frame);
      if (got == 0) {
        haveFrame = true;
        const int64_t ts = frame->best_effort_timestamp != AV_NOPTS_VALUE
                               ? frame->best_effort_timestamp
                               : frame->pts;
        lastPts = ts == AV_NOPTS_VALUE ? lastPts + 1 : ts;
        if (firstPts == INT64_MIN) firstPts = lastPts;
        if (lastPts >= target) return 1;
        continue;
      }
      if (got == AVERROR_EOF) return 0;
      if (got != AVERROR(EAGAIN)) {
        WriteLine("GetFrame " + std::to_string(index) + " of file " + fileName +
                  " Error= " + ErrorText(got));
        return got;
      }
      if (!packetPending) {
        if (inputEnded) return 0;
        const int read = av_read_frame(input.Format(), packet);
        if (read < 0) {
          inputEnded = true;
          avcodec_send_packet(codec, nullptr);  // drain
          continue;
        }
        if (packet->stream_index != streamIndex) {
          av_packet_unref(packet);
          continue;
        }
        packetPending = true;
      }
      const int sent = avcodec_send_packet(codec, packet);
      if (sent == AVERROR(EAGAIN)) continue;  // frames first; the packet stays
      av_packet_unref(packet);
      packetPending = false;
      if (sent < 0 && sent != AVERROR_EOF)
        WriteLine("GetFrame " + std::to_string(index) + " of file " + fileName +
                  " Error= " + ErrorText(sent));  // a corrupt packet: decoding goes on
    }
  }

  int64_t KeyAtOrBefore(int64_t ts) const {
    auto it = std::upper_bound(keyPts.begin(), keyPts.end(), ts);
    return it == keyPts.begin() ? keyPts.front() : *(it - 1);
  }

  int64_t KeyBefore(int64_t key) const {
    auto it = std::lower_bound(keyPts.begin(), keyPts.end(), key);
    return it == keyPts.begin() ? INT64_MIN : *(it - 1);
  }

  // Positions the decoder on the frame with presentation time target.
  bool Reach(int64_t target, int index, bool sequential) {
    if (haveFrame && lastPts == target) return true;
    const int64_t key = KeyAtOrBefore(target);
    // The next frame, or one ahead within the same group of pictures: decode on.
    if (haveFrame && target > lastPts && (sequential || key <= lastPts))
      return DecodeUntil(target, index) > 0 || haveFrame;
    // A jump: from the key frame at or before, earlier ones when the seek overshoots.
    int64_t from = key;
    for (int attempt = 0; attempt < 4; ++attempt) {
      SeekTo(from, from == INT64_MIN);
      const int got = DecodeUntil(target, index);
      if (got < 0) return false;
      if (got == 0) return haveFrame;
      if (lastPts == target || from == INT64_MIN || firstPts <= target) return true;
      // The first frame after the seek lies past the target: a demuxer that does not seek
      // exactly. Start from an earlier key frame, at last from the file's start.
      from = attempt < 2 ? KeyBefore(from) : INT64_MIN;
    }
    return haveFrame;
  }

  bool Convert24(TSysBitmap& bitmap) {
    if (!frame->data[0]) {
      WriteLine("RGB data not found");
      return false;
    }
    sws = sws_getCachedContext(
        sws, frame->width, frame->height, static_cast<AVPixelFormat>(frame->format), bitmap.Width(),
        bitmap.Height(), AV_PIX_FMT_BGR24, SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT,
        nullptr, nullptr, nullptr);
    if (!sws) {
      WriteLine("GetFrame24 Error");
      return false;
    }
    sws_setColorspaceDetails(
        sws,
        sws_getCoefficients(frame->colorspace == AVCOL_SPC_UNSPECIFIED ? SWS_CS_DEFAULT
                                                                       : frame->colorspace),
        IsFullRangeYuv(*frame) ? 1 : 0, sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16,
        1 << 16);
    // A bitmap's rows need not lie evenly apart: converted whole, then copied row by row.
    const int rowBytes = bitmap.Width() * 3;
    rgb24.resize(static_cast<size_t>(rowBytes) * bitmap.Height());
    uint8_t* planes[4] = {rgb24.data(), nullptr, nullptr, nullptr};
    int pitches[4] = {rowBytes, 0, 0, 0};
    if (sws_scale(sws, frame->data, frame->linesize, 0, frame->height, planes, pitches) <= 0)
      return false;
    for (int y = 0; y < bitmap.Height(); ++y)
      std::memcpy(bitmap.Row(y), rgb24.data() + static_cast<size_t>(y) * rowBytes, rowBytes);
    return true;
  }

  bool Convert(TVideoPicture& picture, int index) {
    const bool rgba = picture.Kind() == TVideoKind::Rgba;
    if (!frame->data[0]) {
      WriteLine(rgba ? "RGBA data not found" : "YUV data not found");
      return false;
    }
    const int w = picture.Width(), h = picture.Height();
    if (!rgba && frame->format == AV_PIX_FMT_YUV420P && !IsFullRangeYuv(*frame) &&
        frame->width == w && frame->height == h) {
      for (int p = 0; p < 3; ++p) {
        if (!frame->data[p]) {
          WriteLine("YUV data not found");
          return false;
        }
        const int rows = picture.PlaneHeight(p), bytes = picture.PlaneWidth(p);
        for (int y = 0; y < rows; ++y)
          std::memcpy(picture.Plane(p) + static_cast<ptrdiff_t>(y) * picture.Pitch(p),
                      frame->data[p] + static_cast<ptrdiff_t>(y) * frame->linesize[p], bytes);
      }
      return true;
    }
    const AVPixelFormat target = rgba ? AV_PIX_FMT_BGRA : AV_PIX_FMT_YUV420P;
    sws = sws_getCachedContext(
        sws, frame->width, frame->height, static_cast<AVPixelFormat>(frame->format), w, h, target,
        SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT, nullptr, nullptr, nullptr);
    if (!sws) {
      WriteLine("GetFrame " + std::to_string(index) + " of file " + fileName +
                " Error= no conversion");
      return false;
    }
    const int* coefficients = sws_getCoefficients(
        frame->colorspace == AVCOL_SPC_UNSPECIFIED ? SWS_CS_DEFAULT : frame->colorspace);
    // Full-range sources keep their blacks and whites: the output is limited-range YUV.
    sws_setColorspaceDetails(sws, coefficients, IsFullRangeYuv(*frame) ? 1 : 0,
                             sws_getCoefficients(SWS_CS_ITU601), rgba ? 1 : 0, 0, 1 << 16, 1 << 16);
    uint8_t* planes[4] = {picture.Plane(0), nullptr, nullptr, nullptr};
    int pitches[4] = {picture.Pitch(0), 0, 0, 0};
    if (!rgba)
      for (int p = 1; p < 3; ++p) {
        planes[p] = picture.Plane(p);
        pitches[p] = picture.Pitch(p);
      }
    return sws_scale(sws, frame->data, frame->linesize, 0, frame->height, planes, pitches) > 0;
  }
};

TWinVideoSource::TWinVideoSource() : state_(std::make_unique<TState>()) {}
TWinVideoSource::~TWinVideoSource() = default;

TRef<TWinVideoSource> TWinVideoSource::Open(TRef<TStream> stream, const std::string& fileName) {
  TRef<TWinVideoSource> source = TRef<TWinVideoSource>::Adopt(new TWinVideoSource());
  TState& s = *source->state_;
  s.fileName = fileName;
  if (!s.input.Open(std::move(stream), fileName)) return nullptr;
  AVFormatContext* fmt = s.input.Format();
  const AVCodec* decoder = nullptr;
  s.streamIndex = av_find_best_stream(fmt, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
  if (s.streamIndex < 0 || !decoder) return nullptr;
  s.stream = fmt->streams[s.streamIndex];
  if (s.stream->disposition & AV_DISPOSITION_ATTACHED_PIC) return nullptr;
  const AVCodecParameters& par = *s.stream->codecpar;
  // Absurd sizes are refused before anything is allocated for them.
  if (par.width <= 0 || par.height <= 0 || par.width > kMaxVideoSide || par.height > kMaxVideoSide)
    return nullptr;
  s.packet = av_packet_alloc();
  s.frame = av_frame_alloc();
  if (!s.packet || !s.frame) return nullptr;
  if (!s.ScanPackets()) return nullptr;
  if (!s.OpenDecoder(decoder)) return nullptr;
  s.SeekTo(s.pts.front());
  // The first frame must decode: a file whose frames do not is not a video we can play.
  if (s.DecodeUntil(s.pts.front(), 0) <= 0 && !s.haveFrame) return nullptr;
  s.lastIndex = 0;

  TVideoSourceInfo& p = source->params_;
  p.width = par.width;
  p.height = par.height;
  p.fps = s.fps;
  p.frameCount = static_cast<int>(s.pts.size());
  p.rgba = IsRgbFormat(s.frame->format);
  p.aspectCode =
      AspectCode(par.width, par.height, av_guess_sample_aspect_ratio(fmt, s.stream, s.frame));
  switch (par.field_order) {
    case AV_FIELD_TT:
    case AV_FIELD_TB:
      p.interlaced = true;
      p.topFieldFirst = true;
      break;
    case AV_FIELD_BB:
    case AV_FIELD_BT:
      p.interlaced = true;
      break;
    default:
      p.interlaced = s.frame->interlaced_frame != 0;
      p.topFieldFirst = s.frame->top_field_first != 0;
      break;
  }
  source->codecName_ = CodecNameOf(par);
  return source;
}

int64_t TWinVideoSource::FramePts(int index) const {
  return index >= 0 && index < static_cast<int>(state_->pts.size()) ? state_->pts[index] : 0;
}

bool TWinVideoSource::GetFrame(int index, TVideoPicture& picture) {
  TState& s = *state_;
  if (index < 0 || index >= static_cast<int>(s.pts.size())) return false;
  const bool sequential = index == s.lastIndex + 1;
  s.lastIndex = index;
  if (!s.Reach(s.pts[index], index, sequential)) return false;
  return s.Convert(picture, index);
}

bool TWinVideoSource::GetFrame24(int index, TSysBitmap& bitmap) {
  TState& s = *state_;
  if (index < 0 || index >= static_cast<int>(s.pts.size()) || bitmap.BytesPerPixel() != 3 ||
      bitmap.Width() <= 0 || bitmap.Height() <= 0)
    return false;
  const bool sequential = index == s.lastIndex + 1;
  s.lastIndex = index;
  if (!s.Reach(s.pts[index], index, sequential)) {
    WriteLine("GetFrame24 Error");
    return false;
  }
  return s.Convert24(bitmap);
}

}  // namespace vyr
