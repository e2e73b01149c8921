#include "scene/shadow/shadow_generator.h"

#include <atomic>
#include <cmath>

#include "scene/shadow/silhouette.h"

namespace vyr {

namespace {
std::atomic<uint64_t> gGenerations{0};
}  // namespace

TRef<TImage> TShadowGenerator::Generate(const TShadowParams& params, TFileAccessor* files,
                                        const std::string& name) {
  ++gGenerations;
  const TSilhouette silhouette = BuildSilhouette(params, files, goOn_);
  producer_.SetBlur(static_cast<float>(params.blur / std::ldexp(1.0, silhouette.halvings)));
  producer_.SetColour(0xFFFFFFFF);
  producer_.SetSpread(params.spreadIndex);
  TRef<TBitmap> shadow = producer_.Produce(*silhouette.bitmap);
  auto store = MakeRef<TWrapperBitmapStore>(name.empty() ? ShadowPictureName(params) : name,
                                            nullptr, std::move(shadow));
  return MakeRef<TImage>(std::move(store));
}

TRef<TImage> ProduceShadowPicture(const std::string& name, TFileAccessor* files,
                                  const TGoOn& goOn) {
  if (!IsShadowPictureName(name)) return nullptr;
  try {
    TShadowGenerator generator(goOn);
    return generator.Generate(ParseShadowPictureName(name), files, name);
  } catch (const EResampleError&) {
    return nullptr;
  }
}

uint64_t ShadowGenerationCount() { return gGenerations.load(); }

}  // namespace vyr
