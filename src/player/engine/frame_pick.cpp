#include "player/engine/frame_pick.h"

namespace vyr {

TFramePick PickFrame(const std::vector<TDrawContainer*>& shown) {
  TFramePick pick;
  std::vector<TDrawContainer*> withSlides;
  for (TDrawContainer* container : shown)
    if (container && container->slide) withSlides.push_back(container);
  const size_t first = withSlides.size() > 2 ? withSlides.size() - 2 : 0;
  for (size_t i = first; i < withSlides.size(); ++i) pick.slides.push_back(withSlides[i]->slide);
  if (pick.slides.size() == 2) {
    pick.filter = withSlides.back()->filter;
    if (!pick.filter || pick.filter->CurrentTime() >= pick.filter->Duration()) {
      pick.slides.erase(pick.slides.begin());  // the transition is over: the arriving slide alone
      pick.filter = nullptr;
    }
  }
  return pick;
}

bool VisibleAt(const TDrawContainer& container, double t) {
  return container.timing.start <= t && t <= container.timing.visibleEnd;
}

}  // namespace vyr
