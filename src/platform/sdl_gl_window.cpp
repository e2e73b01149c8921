#include "platform/sdl_gl_window.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <epoxy/gl.h>
#include <wayland-client.h>

#include "platform/x11_threads.h"

namespace vyr {
namespace {

uint32_t ModeFlags(TWindowMode mode) {
  switch (mode) {
    case TWindowMode::Exclusive:
      return SDL_WINDOW_FULLSCREEN;
    case TWindowMode::Borderless:
      return SDL_WINDOW_FULLSCREEN_DESKTOP;
    case TWindowMode::Windowed:
      break;
  }
  return 0;
}

class TSdlGlContext : public TGlContext {
 public:
  TSdlGlContext(SDL_Window* window, SDL_GLContext context) : window_(window), context_(context) {}
  ~TSdlGlContext() override {
    if (SDL_GL_GetCurrentContext() == context_) SDL_GL_MakeCurrent(window_, nullptr);
    SDL_GL_DeleteContext(context_);
    // SDL frees its per-thread data (the current window and context) only for threads it
    // started itself; the drawing thread is ours.
    SDL_TLSCleanup();
  }
  bool MakeCurrent() override { return SDL_GL_MakeCurrent(window_, context_) == 0; }
  void DoneCurrent() override {
    if (SDL_GL_GetCurrentContext() == context_) SDL_GL_MakeCurrent(window_, nullptr);
  }
  void SwapBuffers() override { SDL_GL_SwapWindow(window_); }
  bool HasWindowFramebuffer() const override { return true; }
  void DrawableSize(int& width, int& height) const override {
    SDL_GL_GetDrawableSize(window_, &width, &height);
  }

 private:
  SDL_Window* window_;
  SDL_GLContext context_;
};

}  // namespace

bool CompositorLost(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_WAYLAND)
    return false;
  return info.info.wl.display && wl_display_get_error(info.info.wl.display) != 0;
}

bool SdlVideoInit() { return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0; }

void SdlVideoQuit() { SDL_QuitSubSystem(SDL_INIT_VIDEO); }

std::vector<TDisplayInfo> SdlDisplays() {
  std::vector<TDisplayInfo> displays;
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return displays;
  const int count = SDL_GetNumVideoDisplays();
  for (int i = 0; i < count; ++i) {
    SDL_Rect bounds;
    if (SDL_GetDisplayBounds(i, &bounds) != 0) continue;
    TDisplayInfo info;
    info.left = bounds.x;
    info.top = bounds.y;
    info.right = bounds.x + bounds.w;
    info.bottom = bounds.y + bounds.h;
    SDL_DisplayMode mode;
    if (SDL_GetCurrentDisplayMode(i, &mode) == 0) {
      info.refreshRate = mode.refresh_rate;
      info.bitsPerPixel = static_cast<int>(SDL_BITSPERPIXEL(mode.format));
    }
    if (const char* name = SDL_GetDisplayName(i)) info.name = name;
    displays.push_back(info);
  }
  return displays;
}

std::unique_ptr<TSdlGlWindow> TSdlGlWindow::Create(const std::string& title, int left, int top,
                                                   int width, int height, TWindowMode mode,
                                                   bool hidden) {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return nullptr;
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
  // On a scaled Wayland output the drawable has the output's pixels, the window size stays logical
  // (X11 ignores the flag); the DPI follows the same scale.
  uint32_t flags = SDL_WINDOW_OPENGL | SDL_WINDOW_ALLOW_HIGHDPI | ModeFlags(mode) |
                   (hidden ? SDL_WINDOW_HIDDEN : 0);
  SDL_Window* window = SDL_CreateWindow(title.c_str(), left, top, width, height, flags);
  if (!window) return nullptr;
  std::unique_ptr<TSdlGlWindow> result(new TSdlGlWindow());
  result->window_ = window;
  result->mode_ = mode;
  return result;
}

TSdlGlWindow::~TSdlGlWindow() { SDL_DestroyWindow(window_); }

std::unique_ptr<TGlContext> TSdlGlWindow::CreateContext() {
  // SDL makes the new context current on this thread.
  SDL_GLContext context = SDL_GL_CreateContext(window_);
  if (!context) return nullptr;
  SDL_GL_SetSwapInterval(0);
  if (presentBackground_) {
    // The renderer and the first slide take a while yet. Under Wayland this present is what
    // maps the window.
    presentBackground_ = false;
    glClearColor(static_cast<float>((background_ >> 16) & 0xFF) / 255.0f,
                 static_cast<float>((background_ >> 8) & 0xFF) / 255.0f,
                 static_cast<float>(background_ & 0xFF) / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0, 0, 0, 0);  // the context as fresh for the renderer
    SDL_GL_SwapWindow(window_);
  }
  return std::make_unique<TSdlGlContext>(window_, context);
}

void TSdlGlWindow::SetBackgroundColour(uint32_t rgb) {
  background_ = rgb & 0xFFFFFF;
  // The X server fills the window itself from the moment it maps, while the GL driver is
  // still loading; elsewhere the first context presents the colour.
  presentBackground_ = !SetX11WindowBackground(window_, background_);
}

void TSdlGlWindow::Bounds(int& left, int& top, int& width, int& height) const {
  SDL_GetWindowPosition(window_, &left, &top);
  SDL_GetWindowSize(window_, &width, &height);
}

void TSdlGlWindow::SetMode(TWindowMode mode) {
  if (SDL_SetWindowFullscreen(window_, ModeFlags(mode)) == 0) mode_ = mode;
}

bool TSdlGlWindow::HasFocus() const {
  return (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

}  // namespace vyr
