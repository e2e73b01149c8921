// Arbitrary bytes through the media-information reader, and the files it accepts through
// their converter and a seek: must never crash or read out of bounds.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/decode/converter_factory.h"
#include "audio/decode/media_info_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vyr;
  if (size == 0) return 0;
  static const char* const kExtensions[] = {".wav", ".mp3", ".mp2", ".bin"};
  const std::string extension = kExtensions[data[0] % 4];
  auto stream = MakeRef<TMemoryStream>(std::vector<uint8_t>(data + 1, data + size));
  TMediaInfo info;
  if (!TMediaInfoExtractor::Read(stream, extension, info)) return 0;
  if (info.kind != TFormatKind::Pcm && info.kind != TFormatKind::Float &&
      info.kind != TFormatKind::Adpcm && info.kind != TFormatKind::Mpeg)
    return 0;
  TRef<TWavConverter> converter = CreateConverter(stream, "fuzz" + extension, info);
  if (!converter->Open(info)) return 0;
  converter->SetOutputFormat(MixingFormat());
  converter->Seek(data[0] * 7.0);
  for (int i = 0; i < 8 && converter->Fill(8192); ++i) converter->Output().Consume(8192);
  return 0;
}
