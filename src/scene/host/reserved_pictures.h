#pragma once
// Makes the pictures of the reserved names. Kept apart from the slide host because the show's
// files hold it as a picture provider: a request running on another thread keeps it alive
// while the host goes away.

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

#include "foundation/ref_object.h"
#include "imaging/bitmap/bitmap_store.h"
#include "package/access/file_accessor.h"
#include "scene/host/host_settings.h"

namespace vyr {

class TReservedPictures : public TRefObject {
 public:
  using TProducer = std::function<TRef<TImage>(const std::string& name)>;

  TReservedPictures(TRef<TFileAccessor> files, std::function<TFrameSize()> frameSize,
                    std::function<TRef<TImage>(int index)> effectResource);

  // Whether the name is one of the reserved names (installed prefixes included).
  bool Answers(std::string_view name) const;
  // The picture made afresh; none when nothing can be made (failures included).
  TRef<TImage> Produce(const std::string& name);

  void SetProducer(const std::string& prefix, TProducer producer);
  // Producers may hold their host: the host drops them when it goes.
  void ClearProducers();
  void SetFrameSize(int width, int height);
  // The frame-size callback's answer, else the size last set.
  TFrameSize FrameSize() const;

 protected:
  void Dispose() override;

 private:
  TRef<TImage> ProduceOrThrow(const std::string& name);
  TProducer FindProducer(std::string_view name) const;
  TRef<TImage> MaskPicture(const std::string& name, std::string_view file);
  TRef<TImage> PresetMaskPicture(std::string_view fields);
  TRef<TImage> EffectBuffer(const std::string& name, std::string_view rest);
  TRef<TImage> EffectResource(const std::string& name, std::string_view rest);
  TRef<TImage> PlaceholderField(const std::string& name, std::string_view fields);
  TRef<TImage> SlideBackground(const std::string& name, std::string_view fields);

  TRef<TFileAccessor> files_;
  std::function<TFrameSize()> frameSizeCallback_;
  std::function<TRef<TImage>(int)> effectResource_;

  mutable std::mutex lock_;  // guards what follows
  std::map<std::string, TProducer, std::less<>> producers_;
  TFrameSize frameSize_;
};

}  // namespace vyr
