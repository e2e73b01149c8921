#include "media/av_stream_input.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

#include <exception>
#include <filesystem>
#include <mutex>

namespace vyr {

namespace {

constexpr int kIoBufferSize = 32768;

// Demuxers of self-contained media files. Left out: everything that opens further names or
// addresses (playlists, manifests, concatenation scripts, image sequences, session
// descriptions, subtitle files with includes) and everything that is no clip or sound.
constexpr const char* kMediaFormats =
    "mov,matroska,avi,asf,mpeg,mpegts,flv,ogg,dv,m4v,mpegvideo,h264,hevc,"
    "wav,w64,mp3,aac,ac3,eac3,flac,aiff,au,caf,wv,ape,mpc,mpc8,tta,amr,xwma";

int ReadPacket(void* opaque, uint8_t* buf, int size) {
  auto* stream = static_cast<TStream*>(opaque);
  try {
    const int64_t got = stream->Read(buf, size);
    return got > 0 ? static_cast<int>(got) : AVERROR_EOF;
  } catch (const std::exception&) {
    return AVERROR(EIO);
  }
}

int64_t SeekStream(void* opaque, int64_t offset, int whence) {
  auto* stream = static_cast<TStream*>(opaque);
  try {
    const int64_t size = stream->Size();
    switch (whence & ~AVSEEK_FORCE) {
      case AVSEEK_SIZE:
        return size;
      case SEEK_SET:
        break;
      case SEEK_CUR:
        offset += stream->Position();
        break;
      case SEEK_END:
        offset += size;
        break;
      default:
        return -1;
    }
    if (offset < 0) return -1;
    return stream->Seek(offset);
  } catch (const std::exception&) {
    return -1;
  }
}

// Nothing is opened beyond the stream we hand over: a file that asks for more fails to open.
int RefuseOpen(AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**) {
  return AVERROR(EPERM);
}

// Limits a demuxer to the stream it is given; false when out of memory.
bool ConfineToStream(AVFormatContext& format, AVDictionary*& options) {
  format.io_open = RefuseOpen;
  format.format_whitelist = av_strdup(kMediaFormats);
  format.protocol_whitelist = av_strdup("");  // no protocol at all: the input is ours
  // QuickTime reference tracks name other files.
  return format.format_whitelist && format.protocol_whitelist &&
         av_dict_set(&options, "enable_drefs", "0", 0) >= 0 &&
         av_dict_set(&options, "use_absolute_path", "0", 0) >= 0;
}

}  // namespace

void QuietMediaLibrary() {
  static std::once_flag once;
  std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

bool TAvStreamInput::Open(TRef<TStream> stream, const std::string& hintName) {
  Close();
  QuietMediaLibrary();
  if (!stream) return false;
  stream_ = std::move(stream);
  try {
    stream_->Seek(0);
  } catch (const std::exception&) {
    return false;
  }
  auto* ioBuffer = static_cast<uint8_t*>(av_malloc(kIoBufferSize));
  if (!ioBuffer) return false;
  io_ = avio_alloc_context(ioBuffer, kIoBufferSize, 0, stream_.Get(), ReadPacket, nullptr,
                           SeekStream);
  if (!io_) {
    av_free(ioBuffer);
    return false;
  }
  format_ = avformat_alloc_context();
  if (!format_) return false;
  format_->pb = io_;
  format_->flags |= AVFMT_FLAG_CUSTOM_IO;
  AVDictionary* options = nullptr;
  if (!ConfineToStream(*format_, options)) {
    av_dict_free(&options);
    Close();
    return false;
  }
  // Only the extension hints at the format; the name itself is never a path to anything.
  const std::string hint = "input" + std::filesystem::path(hintName).extension().string();
  const int opened = avformat_open_input(&format_, hint.c_str(), nullptr, &options);
  av_dict_free(&options);
  if (opened < 0) {
    format_ = nullptr;  // freed by the failed open
    Close();
    return false;
  }
  if (avformat_find_stream_info(format_, nullptr) < 0) {
    Close();
    return false;
  }
  return true;
}

void TAvStreamInput::Close() {
  if (format_) avformat_close_input(&format_);
  if (io_) {
    av_freep(&io_->buffer);
    avio_context_free(&io_);
  }
  stream_.Reset();
}

}  // namespace vyr
