#pragma once
// The engine on OpenGL: adapters are SDL's displays (one virtual 1920 x 1080, 60 Hz adapter
// when SDL video is not running, as for headless rendering); capabilities come from GL.
// A GL 3.3 core device counts as pixel-shader 3.0.

#include <mutex>
#include <optional>
#include <vector>

#include "render/device/device3d.h"
#include "render/device/gl_renderer.h"

namespace vyr {

class T3DEngineGL : public T3DEngine {
 public:
  int AdapterCount() override;
  int CapsValue(const std::string& name, int adapter) override;
  std::string CapsText(const std::string& name, int adapter) override;
  bool AdapterMode(int adapter, TAdapterMode& mode) override;
  TRef<T3DRenderer> CreateRenderer(TDrawDevice& device, const TAdapterMode& mode) override;

  // Process-wide switches: vertical sync 0 default (paced), 1 immediate (not paced),
  // 2 one (paced); exclusive full screen allowed ("opt_scr_noexclusive" clears it).
  void SetVerticalSync(int setting);
  int VerticalSync() const { return verticalSync_; }
  void SetExclusiveAllowed(bool allowed) { exclusiveAllowed_ = allowed; }
  bool ExclusiveAllowed() const { return exclusiveAllowed_; }

  // The largest frame the device draws into: the least of its texture, render-buffer and
  // viewport limits; zero on each side when there is no device.
  void MaxFrameSize(int& width, int& height);

 private:
  std::vector<TAdapterMode> Adapters();
  const TGlCaps& Caps();

  std::mutex capsLock_;
  std::optional<TGlCaps> caps_;
  int verticalSync_ = 0;
  bool exclusiveAllowed_ = true;
};

// The process's engine, made on first use.
T3DEngineGL& Engine3D();

}  // namespace vyr
