#pragma once
// A drawer that draws nothing: lets slides fetch their pictures and lay themselves out where
// there is no device (the scene command, tests, benchmarks).

#include "scene/device_drawer.h"

namespace vyr {

class TLayoutOnlyDrawer : public TDeviceDrawer {
 public:
  void DrawTransition(TDrawItem&, TDrawItem&, TVyrFilter*) override {}
  void DrawImage(TImage&, const TImageDrawParams&) override {}
  void DrawBox(const TPlacement&, const TFloatRect&, const TBoxDrawParams&) override {}
  void DrawLine(const TVec3&, const TVec3&, uint32_t) override {}
  void DrawVideo(const TVideoDrawParams&) override {}
  void DrawMasked(TDrawItem&, TDrawItem&, float) override {}
  void BeginSharpen() override {}
  void EndSharpen(float) override {}
  void DrawBlurred(TDrawItem&, float) override {}
  void FillRect(uint32_t, const TIntRect&) override {}
};

}  // namespace vyr
