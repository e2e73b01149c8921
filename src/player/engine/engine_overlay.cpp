#include "player/engine/engine_overlay.h"

#include "render/compose/third_slide.h"

namespace vyr {
namespace {

class TPlainOverlay : public TEngineOverlay {
 public:
  explicit TPlainOverlay(TRootItem* root) : slide_(MakeRef<TThirdSlide>(root)) {}
  TDrawItem& Item() override { return *slide_; }

 private:
  TRef<TThirdSlide> slide_;
};

}  // namespace

TRef<TEngineOverlay> MakePlainOverlay(const TOverlayBuildParams& params) {
  return MakeRef<TPlainOverlay>(params.root);
}

}  // namespace vyr
