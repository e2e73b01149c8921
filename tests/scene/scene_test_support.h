#pragma once
// A drawer that records what the scene asks of it.

#include <string>
#include <vector>

#include "scene/device_drawer.h"

namespace vyr::test {

struct TDrawCall {
  std::string op;  // "image", "box", "line", "video", "masked", "blur", "sharpen", ...
  TImage* image = nullptr;
  TImageDrawParams imageParams;
  TPlacement placement;
  TFloatRect rect;
  TBoxDrawParams boxParams;
  float amount = 0;
};

class TRecordingDrawer : public TDeviceDrawer {
 public:
  std::vector<TDrawCall> calls;
  int frames = 0;

  bool BeginFrame() override {
    ++frames;
    return true;
  }
  void DrawTransition(TDrawItem& leaving, TDrawItem&, TVyrFilter*) override { DrawItem(leaving); }
  void DrawImage(TImage& image, const TImageDrawParams& params) override {
    TDrawCall call{"image"};
    call.image = &image;
    call.imageParams = params;
    calls.push_back(call);
  }
  void DrawBox(const TPlacement& placement, const TFloatRect& rect,
               const TBoxDrawParams& params) override {
    TDrawCall call{"box"};
    call.placement = placement;
    call.rect = rect;
    call.boxParams = params;
    calls.push_back(call);
  }
  void DrawLine(const TVec3&, const TVec3&, uint32_t) override { calls.push_back({"line"}); }
  void DrawVideo(const TVideoDrawParams&) override { calls.push_back({"video"}); }
  void DrawMasked(TDrawItem& stencil, TDrawItem& content, float opacity) override {
    TDrawCall call{"masked"};
    call.amount = opacity;
    calls.push_back(call);
    DrawItem(stencil);
    DrawItem(content);
  }
  void BeginSharpen() override { calls.push_back({"begin-sharpen"}); }
  void EndSharpen(float amount) override {
    TDrawCall call{"end-sharpen"};
    call.amount = amount;
    calls.push_back(call);
  }
  void DrawBlurred(TDrawItem& item, float radius) override {
    TDrawCall call{"blur"};
    call.amount = radius;
    calls.push_back(call);
    item.Draw(*this);
  }
  void FillRect(uint32_t, const TIntRect&) override { calls.push_back({"fill"}); }

  int Count(const std::string& op) const {
    int n = 0;
    for (const auto& call : calls) n += call.op == op;
    return n;
  }
};

}  // namespace vyr::test
