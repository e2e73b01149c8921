#include "audio/decode/library_converter.h"

#include "audio/decode/audio_stream.h"

namespace vyr {

bool TDllDecConverter::Open(const TMediaInfo& info) {
  TWavConverter::Open(info);
  decoded_.SetFormat(MakePcmFormat(info.wave.channels, info.wave.samplesPerSec, 16));
  SetPcmFormat(decoded_.Format());
  if (!stream_) return false;
  decoder_ = library_.CreateDecoder(
      stream_, [this](const uint8_t* data, size_t bytes) { decoded_.AppendBytes(data, bytes); });
  return decoder_ != nullptr;
}

void TDllDecConverter::Dispose() {
  decoder_.reset();
  TWavConverter::Dispose();
}

bool TDllDecConverter::Convert(TLocalBuffer&) {
  if (!decoder_) return false;
  const size_t before = decoded_.Filled();
  decoder_->Decode();
  if (decoded_.Filled() == before) return false;
  return TWavConverter::Convert(decoded_);
}

void TDllDecConverter::Seek(double ms) {
  if (!decoder_) {
    TWavConverter::Seek(ms);
    return;
  }
  input_.Clear();
  output_.Clear();
  decoded_.Clear();
  ResetResampler();
  int32_t reached = static_cast<int32_t>(ms);
  decoder_->SetPosition(reached);
  position_ = reached;
}

TMediaLibraryConverter::TMediaLibraryConverter(std::string name)
    : name_(std::move(name)), streamNumber_(StreamNumberOf(name_)) {}

bool TMediaLibraryConverter::Open(const TMediaInfo& info) {
  TWavConverter::Open(info);
  if (!stream_) return false;
  media_ = std::make_unique<TMediaLibraryFile>();
  int rate = 0, channels = 0, bits = 0;
  if (!media_->Open(stream_, StripStreamNumber(name_)) ||
      !media_->GetAudioInfo(streamNumber_, rate, channels, bits) ||
      !media_->OpenAudioStream(streamNumber_)) {
    media_.reset();
    return false;
  }
  decoded_.SetFormat(MakePcmFormat(channels, rate, bits));
  SetPcmFormat(decoded_.Format());
  SetOutputFormat(info.wave);
  return true;
}

void TMediaLibraryConverter::Dispose() {
  if (media_) {
    media_->CloseAudioStream();
    media_->Close();
    media_.reset();
  }
  TWavConverter::Dispose();
}

bool TMediaLibraryConverter::Convert(TLocalBuffer&) {
  if (!media_) return false;
  const int bytes = media_->GetNextAudioFrame();
  if (bytes <= 0) return false;
  decoded_.AppendBytes(media_->Buffer(), static_cast<size_t>(bytes));
  return TWavConverter::Convert(decoded_);
}

void TMediaLibraryConverter::Seek(double ms) {
  input_.Clear();
  output_.Clear();
  decoded_.Clear();
  ResetResampler();
  if (media_) media_->SeekFile(ms);
  position_ = ms;
}

}  // namespace vyr
