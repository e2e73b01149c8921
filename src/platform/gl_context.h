#pragma once
// An OpenGL 3.3 core context and the drawable it renders into. A context is current on
// one thread at a time; the device layer keeps it on the drawing thread for its whole life.

namespace vyr {

class TGlContext {
 public:
  virtual ~TGlContext() = default;
  // Makes the context current on the calling thread.
  virtual bool MakeCurrent() = 0;
  virtual void DoneCurrent() = 0;
  // Shows the window's back buffer; nothing for an offscreen context.
  virtual void SwapBuffers() = 0;
  // True when framebuffer 0 is a window that presents; false for a surfaceless context.
  virtual bool HasWindowFramebuffer() const = 0;
  virtual void DrawableSize(int& width, int& height) const = 0;
};

}  // namespace vyr
