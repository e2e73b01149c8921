#pragma once
// An object's drop shadow kept in step with its silhouette and drawn under it each frame.

#include <string>

#include "scene/device_drawer.h"
#include "scene/shadow/shadow.h"
#include "scene/shadow/shadow_placement.h"

namespace vyr {

struct TShadowSettings;

// The values every object's shadow takes from its settings: full alphas, a solid fill, the
// blur, spread and 3D flag; the silhouette rectangle is the caller's.
TShadowParams BaseShadowParams(const TShadowSettings& settings, int level, bool animated);

class TObjectShadow {
 public:
  // Keeps the present shadow when the parameters and the picture are the same (only the 3D
  // flag follows); makes a new one otherwise.
  void Update(const TShadowParams& fresh, const TImage* picture, const std::string& pictureName,
              TFileAccessor& files, float blurScale);
  // Boxes and videos: a normalised filled silhouette.
  void UpdateScaled(const TShadowParams& fresh, TFileAccessor& files);
  void Clear();
  TShadow* Get() const { return shadow_.Get(); }

  // Draws the shadow picture tinted with the settings' colour; in.opacity is already faded.
  void Draw(TDeviceDrawer& drawer, const TShadowSettings& settings, const TShadowDrawInput& in,
            float distanceBase, const TVec3& axisZ);
  // Boxes and videos: the shadow spans the rectangle's full edges from its top-left corner;
  // opacity is the object's own.
  void DrawOverRect(TDeviceDrawer& drawer, const TShadowSettings& settings,
                    const TPlacement& placement, const TFloatRect& rect, float opacity);

 private:
  TRef<TShadow> shadow_;
  const TImage* source_ = nullptr;
};

}  // namespace vyr
