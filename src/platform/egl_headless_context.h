#pragma once
// A surfaceless EGL context (EGL_PLATFORM_SURFACELESS_MESA): OpenGL without any display
// server, for tests, single-frame renders and export. It draws only into framebuffer objects.

#include <memory>
#include <string>

#include "platform/gl_context.h"

namespace vyr {

class TEglHeadlessContext : public TGlContext {
 public:
  // Null when no surfaceless display or no OpenGL 3.3 core context can be had; the reason
  // is in LastEglError().
  static std::unique_ptr<TEglHeadlessContext> Create(int width, int height);
  ~TEglHeadlessContext() override;

  bool MakeCurrent() override;
  void DoneCurrent() override;
  void SwapBuffers() override {}
  bool HasWindowFramebuffer() const override { return false; }
  void DrawableSize(int& width, int& height) const override;
  void SetDrawableSize(int width, int height);

  static const std::string& LastEglError();

 private:
  TEglHeadlessContext() = default;
  void* display_ = nullptr;
  void* context_ = nullptr;
  int width_ = 0, height_ = 0;
};

}  // namespace vyr
