#include "audio/decode/decoder_library.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <cmath>

#include "foundation/log.h"

namespace vyr {

TDllDec& TDllDec::Wma() {
  static TDllDec library(".wma", "asf", AV_CODEC_ID_WMAV2, "WMA INITIALIZE FAILED");
  return library;
}

TDllDec& TDllDec::Ogg() {
  static TDllDec library(".ogg", "ogg", AV_CODEC_ID_VORBIS, "OGG INITIALIZE FAILED");
  return library;
}

TDllDec::TDllDec(std::string extension, std::string demuxer, int codecId, std::string failureLine)
    : hintName_("qwe" + extension),
      demuxer_(std::move(demuxer)),
      codecId_(codecId),
      failureLine_(std::move(failureLine)) {}

bool TDllDec::Load(const std::string& packagePath) {
  if (usable_ || packagePath.empty()) return usable_;
  usable_ = av_find_input_format(demuxer_.c_str()) != nullptr &&
            avcodec_find_decoder(static_cast<AVCodecID>(codecId_)) != nullptr;
  if (!usable_) WriteLine(failureLine_);
  return usable_;
}

bool TDllDec::GetMediaInfo(TRef<TStream> stream, int32_t& durationMs, int32_t& dataStart,
                           TWaveFormat& wave) const {
  if (!usable_) return false;
  TMediaLibraryFile file;
  int rate = 0, channels = 0, bits = 0;
  if (!file.Open(std::move(stream), hintName_) || !file.GetAudioInfo(0, rate, channels, bits))
    return false;
  durationMs = static_cast<int32_t>(std::llround(file.DurationUs() / 1000.0));
  dataStart = 0;
  wave = MakePcmFormat(channels, rate, bits);
  return true;
}

std::unique_ptr<TLibraryDecoder> TDllDec::CreateDecoder(TRef<TStream> stream,
                                                        TDecoderOutput output) const {
  if (!usable_) return nullptr;
  auto decoder = std::make_unique<TLibraryDecoder>();
  if (!decoder->file_.Open(std::move(stream), hintName_) || !decoder->file_.OpenAudioStream(0))
    return nullptr;
  decoder->output_ = std::move(output);
  return decoder;
}

bool TLibraryDecoder::Decode() {
  const int bytes = file_.GetNextAudioFrame();
  if (bytes <= 0) return false;
  if (output_) output_(file_.Buffer(), static_cast<size_t>(bytes));
  return true;
}

void TLibraryDecoder::SetPosition(int32_t& ms) {
  if (ms < 0) ms = 0;
  if (!file_.SeekFile(ms)) ms = 0;
}

}  // namespace vyr
