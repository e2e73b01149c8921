#include "platform/egl_headless_context.h"

#include <epoxy/egl.h>

#include <mutex>

namespace vyr {
namespace {

std::mutex eglLock;
std::string lastError;
EGLDisplay sharedDisplay = EGL_NO_DISPLAY;

// One surfaceless display for the process; it is never terminated because terminating
// would destroy every context other devices still use.
EGLDisplay SurfacelessDisplay() {
  if (sharedDisplay != EGL_NO_DISPLAY) return sharedDisplay;
  if (!epoxy_has_egl_extension(EGL_NO_DISPLAY, "EGL_MESA_platform_surfaceless")) {
    lastError = "EGL_MESA_platform_surfaceless missing";
    return EGL_NO_DISPLAY;
  }
  EGLDisplay display =
      eglGetPlatformDisplayEXT(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  EGLint major = 0, minor = 0;
  if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor)) {
    lastError = "eglInitialize failed";
    return EGL_NO_DISPLAY;
  }
  sharedDisplay = display;
  return display;
}

}  // namespace

std::unique_ptr<TEglHeadlessContext> TEglHeadlessContext::Create(int width, int height) {
  std::lock_guard guard(eglLock);
  EGLDisplay display = SurfacelessDisplay();
  if (display == EGL_NO_DISPLAY) return nullptr;
  if (!eglBindAPI(EGL_OPENGL_API)) {
    lastError = "eglBindAPI(EGL_OPENGL_API) failed";
    return nullptr;
  }
  const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION,
                               3,
                               EGL_CONTEXT_MINOR_VERSION,
                               3,
                               EGL_CONTEXT_OPENGL_PROFILE_MASK,
                               EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                               EGL_NONE};
  EGLContext context = eglCreateContext(display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
  if (context == EGL_NO_CONTEXT) {
    lastError = "eglCreateContext failed: " + std::to_string(eglGetError());
    return nullptr;
  }
  std::unique_ptr<TEglHeadlessContext> result(new TEglHeadlessContext());
  result->display_ = display;
  result->context_ = context;
  result->width_ = width;
  result->height_ = height;
  return result;
}

TEglHeadlessContext::~TEglHeadlessContext() {
  std::lock_guard guard(eglLock);
  if (eglGetCurrentContext() == context_)
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  eglDestroyContext(display_, context_);
}

bool TEglHeadlessContext::MakeCurrent() {
  return eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_) == EGL_TRUE;
}

void TEglHeadlessContext::DoneCurrent() {
  if (eglGetCurrentContext() == context_)
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

void TEglHeadlessContext::DrawableSize(int& width, int& height) const {
  width = width_;
  height = height_;
}

void TEglHeadlessContext::SetDrawableSize(int width, int height) {
  width_ = width;
  height_ = height;
}

const std::string& TEglHeadlessContext::LastEglError() { return lastError; }

}  // namespace vyr
