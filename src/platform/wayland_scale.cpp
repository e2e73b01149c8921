#include "platform/wayland_scale.h"

#include <wayland-client.h>

#include <cstdlib>
#include <cstring>

#include "xdg-output-unstable-v1-client-protocol.h"

namespace vyr {
namespace {

struct TOutputState {
  wl_output* output = nullptr;
  zxdg_output_manager_v1* manager = nullptr;
  int modeWidth = 0;
  int integerScale = 1;
  int logicalWidth = 0;
};

const wl_output_listener kOutputListener = {
    [](void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*, const char*,
       int32_t) {},
    [](void* data, wl_output*, uint32_t flags, int32_t width, int32_t, int32_t) {
      if (flags & WL_OUTPUT_MODE_CURRENT) static_cast<TOutputState*>(data)->modeWidth = width;
    },
    [](void*, wl_output*) {},
    [](void* data, wl_output*, int32_t factor) {
      static_cast<TOutputState*>(data)->integerScale = factor > 0 ? factor : 1;
    },
#ifdef WL_OUTPUT_NAME_SINCE_VERSION
    [](void*, wl_output*, const char*) {},
    [](void*, wl_output*, const char*) {},
#endif
};

const zxdg_output_v1_listener kXdgOutputListener = {
    [](void*, zxdg_output_v1*, int32_t, int32_t) {},
    [](void* data, zxdg_output_v1*, int32_t width, int32_t) {
      static_cast<TOutputState*>(data)->logicalWidth = width;
    },
    [](void*, zxdg_output_v1*) {},
    [](void*, zxdg_output_v1*, const char*) {},
    [](void*, zxdg_output_v1*, const char*) {},
};

const wl_registry_listener kRegistryListener = {
    [](void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
      auto* state = static_cast<TOutputState*>(data);
      if (std::strcmp(interface, wl_output_interface.name) == 0 && !state->output) {
        state->output = static_cast<wl_output*>(
            wl_registry_bind(registry, name, &wl_output_interface, version < 2 ? version : 2));
        wl_output_add_listener(state->output, &kOutputListener, state);
      } else if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0) {
        state->manager = static_cast<zxdg_output_manager_v1*>(wl_registry_bind(
            registry, name, &zxdg_output_manager_v1_interface, version < 2 ? version : 2));
      }
    },
    [](void*, wl_registry*, uint32_t) {},
};

}  // namespace

std::optional<double> WaylandOutputScale() {
  const char* name = std::getenv("WAYLAND_DISPLAY");
  if (!name || !*name) return std::nullopt;
  wl_display* display = wl_display_connect(nullptr);
  if (!display) return std::nullopt;
  TOutputState state;
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &kRegistryListener, &state);
  wl_display_roundtrip(display);
  zxdg_output_v1* xdgOutput = nullptr;
  if (state.output && state.manager) {
    xdgOutput = zxdg_output_manager_v1_get_xdg_output(state.manager, state.output);
    zxdg_output_v1_add_listener(xdgOutput, &kXdgOutputListener, &state);
  }
  wl_display_roundtrip(display);
  std::optional<double> scale;
  if (state.output) {
    scale = state.integerScale;
    if (state.modeWidth > 0 && state.logicalWidth > 0)
      scale = static_cast<double>(state.modeWidth) / state.logicalWidth;
  }
  if (xdgOutput) zxdg_output_v1_destroy(xdgOutput);
  if (state.manager) zxdg_output_manager_v1_destroy(state.manager);
  if (state.output) wl_output_destroy(state.output);
  wl_registry_destroy(registry);
  wl_display_disconnect(display);
  return scale;
}

}  // namespace vyr
