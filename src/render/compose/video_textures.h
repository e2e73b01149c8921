#pragma once
// `T3DYUV`: a video picture of the frame drawer. Its frame lives in memory (the extractor
// writes it on its own thread); the drawing thread uploads it into its textures when the
// frame changed: three one-channel textures (Y, U, V) for planar YUV, one 32-bit texture
// for RGBA, or one R5G6B5 texture converted on the processor when one-channel textures
// cannot be had. The textures go with the renderer; when the drawer goes the picture
// releases them and reports its content lost.

#include <memory>
#include <mutex>
#include <vector>

#include "render/device/screen.h"
#include "scene/video/video_picture.h"

namespace vyr {

class T3DYUV;

// The drawer's list of its video pictures (shared with them, so either may go first).
struct TVideoPictureList {
  std::mutex lock;
  std::vector<T3DYUV*> pictures;
  bool drawerGone = false;
};

class T3DYUV : public TVideoPicture, public TScreenResource {
 public:
  T3DYUV(int width, int height, TVideoKind kind, T3DScreen& screen,
         std::shared_ptr<TVideoPictureList> list);

  // Drawing thread: the textures hold the current frame; false when they cannot be made.
  bool Upload(T3DRenderer& renderer);
  // Y (or the single RGBA / R5G6B5 texture), U, V.
  T3DTexture* Texture(int plane) const { return textures_[plane].Get(); }
  bool Converted16() const { return converted16_; }

  void ReleaseDeviceObjects() override;
  // The drawer goes: textures released, the content reported lost.
  void DrawerGone();

 protected:
  void Dispose() override;

 private:
  bool MakeTextures(T3DRenderer& renderer);

  T3DScreen* screen_;
  std::shared_ptr<TVideoPictureList> list_;
  std::mutex texturesLock_;
  TRef<T3DTexture> textures_[3];
  uint64_t uploaded_ = 0;  // the revision in the textures (0: none)
  bool converted16_ = false;
  std::vector<uint8_t> rgb16_;
};

}  // namespace vyr
