#include "audio/decode/converter_factory.h"

#include "audio/decode/adpcm_converter.h"
#include "audio/decode/audio_stream.h"
#include "audio/decode/library_converter.h"
#include "audio/decode/media_info_reader.h"
#include "audio/decode/mpeg_converter.h"
#include "audio/mix/composite_converter.h"
#include "audio/mix/composite_params.h"

namespace vyr {

bool ReadSoundInfo(const std::string& name, TMediaInfo& info, const TAudioOpenCallback& open) {
  info = TMediaInfo{};
  if (IsCompositeDescription(name)) {
    TCompositeParams params;
    if (!params.LoadFromText(name)) return false;
    info = params.MediaInfo();
    return true;
  }
  TRef<TStream> stream = OpenAudioStream(name, open);
  return stream && TMediaInfoExtractor::Read(stream, SoundExtension(name), info);
}

TRef<TWavConverter> CreateConverter(TRef<TStream> stream, const std::string& name,
                                    const TMediaInfo& info, const TAudioOpenCallback& open) {
  TRef<TWavConverter> converter;
  switch (info.kind) {
    case TFormatKind::Pcm:
    case TFormatKind::Float:
      converter = MakeRef<TWavConverter>();
      break;
    case TFormatKind::Adpcm:
      converter = MakeRef<TAdpcmConverter>();
      break;
    case TFormatKind::Mpeg:
      converter = MakeRef<TMpegConverter>();
      break;
    case TFormatKind::Wma:
      converter = MakeRef<TDllDecConverter>(TDllDec::Wma());
      break;
    case TFormatKind::Ogg:
      converter = MakeRef<TDllDecConverter>(TDllDec::Ogg());
      break;
    case TFormatKind::Composite:
      converter = MakeRef<TCompositeConverter>(name, open);
      break;
    case TFormatKind::MediaLibrary:
      converter = MakeRef<TMediaLibraryConverter>(name);
      break;
    default:
      VYR_ASSERT_MSG(false, "Unknown sound format kind");
  }
  converter->SetStream(std::move(stream));
  return converter;
}

TRef<TWavConverter> OpenSoundConverter(const std::string& name, TMediaInfo* infoOut,
                                       const TAudioOpenCallback& open) {
  TMediaInfo info;
  TRef<TStream> stream;
  if (IsCompositeDescription(name)) {
    if (!ReadSoundInfo(name, info)) return nullptr;
  } else {
    stream = OpenAudioStream(name, open);
    if (!stream || !TMediaInfoExtractor::Read(stream, SoundExtension(name), info)) return nullptr;
    if (info.mpegInRiff) {
      stream = MakeRef<TShiftStream>(stream, info.dataStart);
      info.dataStart = 0;
    }
  }
  TRef<TWavConverter> converter = CreateConverter(stream, name, info, open);
  try {
    if (!converter->Open(info)) return nullptr;
  } catch (const TCommonException&) {
    return nullptr;
  }
  if (infoOut) *infoOut = info;
  return converter;
}

}  // namespace vyr
