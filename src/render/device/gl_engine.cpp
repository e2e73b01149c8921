#include "render/device/gl_engine.h"

#include <algorithm>

#include "foundation/case_fold.h"
#include "foundation/exceptions.h"
#include "foundation/log.h"
#include "platform/egl_headless_context.h"
#include "platform/sdl_gl_window.h"
#include "render/device/device_lock.h"
#include "render/device/draw_device.h"

namespace vyr {
namespace {

int VendorId(const std::string& vendor) {
  if (vendor.find("Intel") != std::string::npos) return 32902;
  if (vendor.find("NVIDIA") != std::string::npos) return 4318;
  if (vendor.find("AMD") != std::string::npos || vendor.find("ATI") != std::string::npos)
    return 4098;
  return 0;
}

bool AtLeastGl33(const std::string& version) {
  int major = 0, minor = 0;
  if (std::sscanf(version.c_str(), "%d.%d", &major, &minor) != 2) return false;
  return major > 3 || (major == 3 && minor >= 3);
}

}  // namespace

T3DEngineGL& Engine3D() {
  static std::mutex creation;
  static T3DEngineGL* engine = nullptr;
  std::lock_guard guard(creation);
  if (!engine) engine = new T3DEngineGL();  // lives as long as the process
  return *engine;
}

std::vector<TAdapterMode> T3DEngineGL::Adapters() {
  std::vector<TAdapterMode> adapters;
  for (const TDisplayInfo& display : SdlDisplays()) {
    TAdapterMode mode;
    mode.monitor = TIntRect{display.left, display.top, display.right, display.bottom};
    mode.refreshRate = display.refreshRate > 0 ? display.refreshRate : 60;
    mode.format = display.bitsPerPixel == 16 ? TSurfaceFormat::R5G6B5 : TSurfaceFormat::X8R8G8B8;
    adapters.push_back(mode);
  }
  if (adapters.empty()) adapters.push_back(TAdapterMode{TIntRect{0, 0, 1920, 1080}});
  return adapters;
}

int T3DEngineGL::AdapterCount() { return static_cast<int>(Adapters().size()); }

bool T3DEngineGL::AdapterMode(int adapter, TAdapterMode& mode) {
  const auto adapters = Adapters();
  if (adapter < 0 || adapter >= static_cast<int>(adapters.size())) return false;
  mode = adapters[static_cast<size_t>(adapter)];
  return true;
}

const TGlCaps& T3DEngineGL::Caps() {
  std::lock_guard guard(capsLock_);
  if (!caps_) {
    // No renderer yet: look at a short-lived offscreen context of the same driver.
    TDeviceLock lock(DeviceMutex());
    ReleaseCurrentGlContext();
    if (auto probe = TEglHeadlessContext::Create(1, 1); probe && probe->MakeCurrent()) {
      caps_ = ReadGlCaps();
      probe->DoneCurrent();
    } else {
      return *(caps_ = TGlCaps{});
    }
  }
  return *caps_;
}

void T3DEngineGL::MaxFrameSize(int& width, int& height) {
  const TGlCaps& caps = Caps();
  const int side = std::min(caps.maxTextureSize, caps.maxRenderbufferSize);
  width = std::min(side, caps.maxViewportWidth);
  height = std::min(side, caps.maxViewportHeight);
}

int T3DEngineGL::CapsValue(const std::string& name, int adapter) {
  (void)adapter;
  const TGlCaps& caps = Caps();
  if (SameName(name, "pixelshaderversion")) return AtLeastGl33(caps.version) ? 0x300 : 0;
  if (SameName(name, "maxtexwidth") || SameName(name, "maxtexheight")) return caps.maxTextureSize;
  if (SameName(name, "maxanisotropy")) return static_cast<int>(caps.adapterMaxAnisotropy);
  if (SameName(name, "raster"))
    return (caps.anisotropy ? kRasterAnisotropy : 0) | (caps.lodBias ? kRasterMipLodBias : 0);
  if (SameName(name, "vendor")) return VendorId(caps.vendor);
  return 0;
}

std::string T3DEngineGL::CapsText(const std::string& name, int adapter) {
  (void)adapter;
  if (SameName(name, "vendor")) return Caps().renderer;
  return {};
}

void T3DEngineGL::SetVerticalSync(int setting) {
  VYR_ASSERT_MSG(setting >= 0 && setting <= 2, "Wrong vertical sync setting");
  verticalSync_ = setting;
}

TRef<T3DRenderer> T3DEngineGL::CreateRenderer(TDrawDevice& device, const TAdapterMode& mode) {
  TDeviceLock lock(DeviceMutex());
  const bool fullScreen = device.FullScreen() && !device.Headless();
  const bool exclusive = fullScreen && exclusiveAllowed_;
  if (exclusive) {
    WriteLine("T3DEngine9.InternalCreateRenderer - exclusive");
  } else {
    const TIntRect& r = device.Bounds();
    GlobalLog().WriteRect("T3DEngine9.InternalCreateRenderer: init windowed device: ", r.left,
                          r.top, r.right, r.bottom);
  }
  if (fullScreen) device.ApplyWindowMode(true, exclusive);
  TRef<TGlStore> store = TRef<TGlStore>::Share(device.FindDependent<TGlStore>());
  if (store && store->Released()) {
    device.RemoveDependent(store.Get());
    store.Reset();
  }
  if (!store) {
    store = TGlStore::Create(device);
    GlobalLog().WriteInteger("T3DEngine9.InternalCreateRenderer: create device res= ",
                             static_cast<int>(store ? TDeviceError::Ok : TDeviceError::Lost));
    if (!store) return nullptr;
    device.AddDependent(store);
  }
  if (!store->Bind()) return nullptr;
  {
    std::lock_guard guard(capsLock_);
    if (!caps_) caps_ = ReadGlCaps();
  }
  const bool paced = verticalSync_ != 1 && !device.Headless();
  return MakeRef<T3DRendererGL>(device, store, mode, exclusive, paced, *caps_);
}

}  // namespace vyr
