// Arbitrary text as a composite description (as given and behind the marker): parsed,
// written and parsed again, then mixed with every named file missing (nothing is opened),
// so the item lists and the envelopes run; and as a "VolumeParams" curve.
#include <cstddef>
#include <cstdint>
#include <string>

#include "audio/mix/composite_converter.h"
#include "audio/mix/composite_params.h"

namespace {

void MixAWhile(const std::string& description, double seekMs) {
  using namespace vyr;
  auto converter = MakeRef<TCompositeConverter>(
      description, [](const std::string&) -> TRef<TStream> { return nullptr; });
  TCompositeParams params;
  if (!params.LoadFromText(description) || !converter->Open(params.MediaInfo())) return;
  converter->Seek(seekMs);
  for (int i = 0; i < 4 && converter->Fill(10000); ++i) converter->Output().Consume(10000);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vyr;
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (const std::string& description : {text, std::string(kCompositeMarker) + text}) {
    TCompositeParams params;
    if (!params.LoadFromText(description)) continue;
    TCompositeParams again;
    again.LoadFromText(params.SaveToText());
    MixAWhile(description, static_cast<double>(size % 7000));
  }
  TCompositeItem item;
  item.duration = static_cast<int32_t>(size * 37 % 20000);
  item.ParseVolumeParams(text, static_cast<int32_t>(size % 3000));
  item.Volumes().Prepare(item.duration);
  for (int64_t p = -8; p < 4000; p += 4) item.Volumes().StepTo(p);
  return 0;
}
