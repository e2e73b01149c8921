#include "export/media_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <vector>

#include "export/yuv_conversion.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace vyr::exporting {
namespace {

std::string AvError(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

void Set(AVDictionary** options, const char* key, const std::string& value) {
  av_dict_set(options, key, value.c_str(), 0);
}

// Encoder settings beyond the constant quality: speed against size as the player's frames
// need it, and quiet encoders (errors still come through FFmpeg's log).
AVDictionary* VideoOptions(const TOutputFormat& format) {
  AVDictionary* options = nullptr;
  const std::string crf = std::to_string(format.quality);
  if (format.codec == "h264") {
    Set(&options, "crf", crf);
    Set(&options, "preset", "medium");
  } else if (format.codec == "hevc") {
    Set(&options, "crf", crf);
    Set(&options, "preset", "fast");
    Set(&options, "x265-params", "log-level=error");
  } else if (format.codec == "vp9") {
    Set(&options, "crf", crf);
    Set(&options, "deadline", "good");
    Set(&options, "cpu-used", "4");
    Set(&options, "row-mt", "1");
  } else if (format.codec == "av1") {
    Set(&options, "crf", crf);
    Set(&options, "preset", "8");
  }
  return options;
}

}  // namespace

TMediaWriter::~TMediaWriter() { Close(); }

std::string TMediaWriter::Failure(const std::string& what, int code) const {
  return what + ": " + AvError(code);
}

std::string TMediaWriter::Open(const std::string& path, const TOutputFormat& format,
                               const TVideoShape& shape, bool withSound) {
  path_ = path;
  // Encoders speak only of errors.
  av_log_set_level(AV_LOG_ERROR);
  // The muxer is named, so the path's extension plays no part; "+faststart" reopens it.
  int code = avformat_alloc_output_context2(&muxer_, nullptr, format.muxer.c_str(), path.c_str());
  if (code < 0 || !muxer_) return Failure("no " + format.muxer + " muxer", code);
  if (std::string error = OpenVideo(format, shape); !error.empty()) return error;
  if (withSound)
    if (std::string error = OpenSound(format); !error.empty()) return error;
  code = avio_open(&muxer_->pb, path.c_str(), AVIO_FLAG_WRITE);
  if (code < 0) return Failure("cannot write " + path, code);
  AVDictionary* options = nullptr;
  if (format.faststart) Set(&options, "movflags", "+faststart");
  code = avformat_write_header(muxer_, &options);
  av_dict_free(&options);
  if (code < 0) return Failure("cannot write the header of " + path, code);
  headerWritten_ = true;
  packet_ = av_packet_alloc();
  return {};
}

std::string TMediaWriter::OpenVideo(const TOutputFormat& format, const TVideoShape& shape) {
  const AVCodec* codec = avcodec_find_encoder_by_name(format.videoEncoder.c_str());
  if (!codec) return "this FFmpeg has no " + format.videoEncoder + " encoder";
  // SVT-AV1 prints its banner on standard output unless told to keep to errors.
  if (format.codec == "av1") ::setenv("SVT_LOG", "1", 0);
  video_ = avcodec_alloc_context3(codec);
  video_->width = shape.width;
  video_->height = shape.height;
  video_->pix_fmt = AV_PIX_FMT_YUV420P;
  video_->time_base = AVRational{1, shape.fps};
  video_->framerate = AVRational{shape.fps, 1};
  video_->sample_aspect_ratio = AVRational{1, 1};
  keyInterval_ = 2 * shape.fps;
  video_->gop_size = keyInterval_;
  video_->bit_rate = 0;
  video_->color_range = AVCOL_RANGE_MPEG;
  video_->color_primaries = AVCOL_PRI_BT709;
  video_->color_trc = AVCOL_TRC_BT709;
  video_->colorspace = AVCOL_SPC_BT709;
  if (muxer_->oformat->flags & AVFMT_GLOBALHEADER) video_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  AVDictionary* options = VideoOptions(format);
  const int code = avcodec_open2(video_, codec, &options);
  av_dict_free(&options);
  if (code < 0) return Failure("cannot open the " + format.videoEncoder + " encoder", code);
  videoStream_ = avformat_new_stream(muxer_, nullptr);
  avcodec_parameters_from_context(videoStream_->codecpar, video_);
  videoStream_->time_base = video_->time_base;
  videoStream_->avg_frame_rate = video_->framerate;

  picture_ = av_frame_alloc();
  picture_->format = video_->pix_fmt;
  picture_->width = shape.width;
  picture_->height = shape.height;
  if (av_frame_get_buffer(picture_, 0) < 0) return "out of memory for a frame";
  return {};
}

std::string TMediaWriter::OpenSound(const TOutputFormat& format) {
  const AVCodec* codec = avcodec_find_encoder_by_name(format.audioEncoder.c_str());
  if (!codec) return "this FFmpeg has no " + format.audioEncoder + " encoder";
  sound_ = avcodec_alloc_context3(codec);
  sound_->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
  sound_->sample_rate = format.audioRate;
  AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
  av_channel_layout_copy(&sound_->ch_layout, &stereo);
  sound_->bit_rate = format.audioEncoder == "aac" ? 192000 : 128000;
  sound_->time_base = AVRational{1, format.audioRate};
  if (muxer_->oformat->flags & AVFMT_GLOBALHEADER) sound_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  int code = avcodec_open2(sound_, codec, nullptr);
  if (code < 0) return Failure("cannot open the " + format.audioEncoder + " encoder", code);
  soundStream_ = avformat_new_stream(muxer_, nullptr);
  avcodec_parameters_from_context(soundStream_->codecpar, sound_);
  soundStream_->time_base = sound_->time_base;

  code =
      swr_alloc_set_opts2(&resampler_, &sound_->ch_layout, sound_->sample_fmt, sound_->sample_rate,
                          &stereo, AV_SAMPLE_FMT_S16, kSoundRate, 0, nullptr);
  if (code < 0 || swr_init(resampler_) < 0) return "no sound resampler";
  const int frameSize = sound_->frame_size > 0 ? sound_->frame_size : 1024;
  fifo_ = av_audio_fifo_alloc(sound_->sample_fmt, 2, 4 * frameSize);
  soundFrame_ = av_frame_alloc();
  soundFrame_->format = sound_->sample_fmt;
  soundFrame_->sample_rate = sound_->sample_rate;
  soundFrame_->nb_samples = frameSize;
  av_channel_layout_copy(&soundFrame_->ch_layout, &sound_->ch_layout);
  if (!fifo_ || av_frame_get_buffer(soundFrame_, 0) < 0) return "out of memory for sound";
  return {};
}

std::string TMediaWriter::WriteVideo(const uint8_t* bgra, int stride) {
  if (!headerWritten_) return "the output is not open";
  if (int code = av_frame_make_writable(picture_); code < 0) return Failure("frame", code);
  BgraToYuv420(bgra, stride, video_->width, video_->height,
               TYuvPlanes{{picture_->data[0], picture_->data[1], picture_->data[2]},
                          {picture_->linesize[0], picture_->linesize[1], picture_->linesize[2]}});
  return EncodePicture();
}

std::string TMediaWriter::WriteYuv420(const uint8_t* const planes[3], const int strides[3]) {
  if (!headerWritten_) return "the output is not open";
  if (int code = av_frame_make_writable(picture_); code < 0) return Failure("frame", code);
  for (int i = 0; i < 3; ++i) {
    const int shift = i == 0 ? 0 : 1;
    av_image_copy_plane(picture_->data[i], picture_->linesize[i], planes[i], strides[i],
                        video_->width >> shift, video_->height >> shift);
  }
  return EncodePicture();
}

std::string TMediaWriter::EncodePicture() {
  picture_->pts = videoPts_;
  picture_->color_range = AVCOL_RANGE_MPEG;
  picture_->color_primaries = AVCOL_PRI_BT709;
  picture_->color_trc = AVCOL_TRC_BT709;
  picture_->colorspace = AVCOL_SPC_BT709;
  // A key frame every two seconds on the dot, whatever scene cuts the encoder finds.
  picture_->pict_type = videoPts_ % keyInterval_ == 0 ? AV_PICTURE_TYPE_I : AV_PICTURE_TYPE_NONE;
  ++videoPts_;
  return Encode(video_, videoStream_, picture_);
}

std::string TMediaWriter::WriteSound(const int16_t* samples, size_t frames) {
  if (!sound_ || (samples && frames == 0)) return {};
  if (!headerWritten_) return "the output is not open";
  const auto* in = reinterpret_cast<const uint8_t*>(samples);
  const int room = swr_get_out_samples(resampler_, static_cast<int>(frames));
  uint8_t** converted = nullptr;
  if (av_samples_alloc_array_and_samples(&converted, nullptr, 2, std::max(room, 1),
                                         sound_->sample_fmt, 0) < 0)
    return "out of memory for sound";
  const int made =
      swr_convert(resampler_, converted, room, frames ? &in : nullptr, static_cast<int>(frames));
  int code = made;
  if (made > 0) code = av_audio_fifo_write(fifo_, reinterpret_cast<void**>(converted), made);
  av_freep(&converted[0]);
  av_freep(&converted);
  if (code < 0) return Failure("sound conversion", code);
  return EncodeQueuedSound(false);
}

std::string TMediaWriter::EncodeQueuedSound(bool flush) {
  const int frameSize = soundFrame_->nb_samples;
  const bool smallLast = sound_->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME;
  while (av_audio_fifo_size(fifo_) >= frameSize || (flush && av_audio_fifo_size(fifo_) > 0)) {
    if (int code = av_frame_make_writable(soundFrame_); code < 0) return Failure("sound", code);
    const int n = std::min(frameSize, av_audio_fifo_size(fifo_));
    av_audio_fifo_read(fifo_, reinterpret_cast<void**>(soundFrame_->data), n);
    if (n < frameSize) {
      if (smallLast) {
        soundFrame_->nb_samples = n;
      } else {
        av_samples_set_silence(soundFrame_->data, n, frameSize - n, 2, sound_->sample_fmt);
      }
    }
    soundFrame_->pts = soundPts_;
    soundPts_ += soundFrame_->nb_samples;
    std::string error = Encode(sound_, soundStream_, soundFrame_);
    soundFrame_->nb_samples = frameSize;
    if (!error.empty()) return error;
  }
  return {};
}

std::string TMediaWriter::Encode(AVCodecContext* codec, AVStream* stream, AVFrame* frame) {
  int code = avcodec_send_frame(codec, frame);
  if (code < 0) return Failure(std::string("the ") + codec->codec->name + " encoder failed", code);
  while ((code = avcodec_receive_packet(codec, packet_)) >= 0) {
    if (packet_->duration == 0 && codec == video_) packet_->duration = 1;
    av_packet_rescale_ts(packet_, codec->time_base, stream->time_base);
    packet_->stream_index = stream->index;
    code = av_interleaved_write_frame(muxer_, packet_);
    if (code < 0) return Failure("cannot write " + path_, code);
    if (muxer_->pb->error < 0) return Failure("cannot write " + path_, muxer_->pb->error);
  }
  if (code != AVERROR(EAGAIN) && code != AVERROR_EOF)
    return Failure(std::string("the ") + codec->codec->name + " encoder failed", code);
  return {};
}

std::string TMediaWriter::Finish() {
  if (!headerWritten_) return "the output is not open";
  if (sound_) {
    if (std::string error = WriteSound(nullptr, 0); !error.empty()) return error;
    if (std::string error = EncodeQueuedSound(true); !error.empty()) return error;
    if (std::string error = Encode(sound_, soundStream_, nullptr); !error.empty()) return error;
  }
  if (std::string error = Encode(video_, videoStream_, nullptr); !error.empty()) return error;
  int code = av_write_trailer(muxer_);
  headerWritten_ = false;
  if (code < 0) return Failure("cannot finish " + path_, code);
  avio_flush(muxer_->pb);
  if (muxer_->pb->error < 0) return Failure("cannot write " + path_, muxer_->pb->error);
  code = avio_closep(&muxer_->pb);
  if (code < 0) return Failure("cannot close " + path_, code);
  return {};
}

void TMediaWriter::Close() {
  if (muxer_ && muxer_->pb) avio_closep(&muxer_->pb);
  avformat_free_context(muxer_);
  muxer_ = nullptr;
  avcodec_free_context(&video_);
  avcodec_free_context(&sound_);
  av_frame_free(&picture_);
  av_frame_free(&soundFrame_);
  av_packet_free(&packet_);
  if (fifo_) av_audio_fifo_free(fifo_);
  fifo_ = nullptr;
  swr_free(&resampler_);
}

}  // namespace vyr::exporting
