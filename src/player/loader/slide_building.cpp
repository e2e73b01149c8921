#include "foundation/log.h"
#include "player/loader/slide_producer.h"

namespace vyr {

void TSlideProducer::BuildSlideInto(TDrawContainer& container) {
  if (container.absoluteIndex < 0) return;
  const int count = source_->SlideCount();
  VYR_ASSERT_MSG(count > 0, "No Slides in Presentation");
  const int slide = container.absoluteIndex % count;
  const TSlideEffect effect = source_->Effect(slide);
  if (effect.effect)
    container.filter =
        MakeRef<TVyrFilter>(effect.effect, effect.duration, static_cast<float>(effect.smoothing));
}

}  // namespace vyr
