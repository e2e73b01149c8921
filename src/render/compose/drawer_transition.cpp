// T3DDrawer: the leaving and arriving slides of a transition.

#include <algorithm>

#include "project/vyr_effect.h"
#include "render/compose/draw_colour.h"
#include "render/compose/t3d_drawer.h"

namespace vyr {

void T3DDrawer::DrawTransition(TDrawItem& leaving, TDrawItem& arriving, TVyrFilter* filter) {
  std::lock_guard guard(lock_);
  if (!filter) {
    DrawItem(leaving);
    return;
  }
  const double time = filter->CurrentTime(), duration = filter->Duration();
  if (!(time >= 0 && time < duration)) {
    DrawItem(arriving);
    return;
  }
  DrawCrossFade(leaving, arriving, time / duration);
}

void T3DDrawer::DrawCrossFade(TDrawItem& leaving, TDrawItem& arriving, double progress) {
  DrawItem(leaving);
  TPooledTarget buffer(full_);
  if (!buffer || !PushTarget(buffer.Get())) {
    if (progress >= 0.5) DrawItem(arriving);
    return;
  }
  try {
    DrawItem(arriving);
  } catch (...) {
    PopTarget();
    throw;
  }
  PopTarget();
  buffer.Texture()->SetFilter(TFilter::Point);
  const TStage stage{buffer.Texture(), 0, 0, buffer.MaxU(), buffer.MaxV()};
  // The buffer holds premultiplied colour: the vertex colour scales all four channels.
  const uint32_t colour =
      Premultiplied(WithOpacity(0xFFFFFFFF, static_cast<float>(progress * 100)));
  DrawPass(nullptr, std::span<const TStage>(&stage, 1), static_cast<float>(full_.Width()),
           static_cast<float>(full_.Height()), nullptr, 0, colour);
}

}  // namespace vyr
