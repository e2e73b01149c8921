#include "platform/screen_profile.h"

#include <X11/Xlib.h>
#include <gio/gio.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace vyr {
namespace {

bool Set(const char* variable) {
  const char* value = std::getenv(variable);
  return value && *value;
}

constexpr int kBusTimeoutMs = 1000;
constexpr const char* kColord = "org.freedesktop.ColorManager";

// One property of a colord object; null when colord does not answer.
GVariant* ColordProperty(GDBusConnection* bus, const char* path, const char* interface,
                         const char* name) {
  GError* error = nullptr;
  GVariant* reply =
      g_dbus_connection_call_sync(bus, kColord, path, "org.freedesktop.DBus.Properties", "Get",
                                  g_variant_new("(ss)", interface, name), G_VARIANT_TYPE("(v)"),
                                  G_DBUS_CALL_FLAGS_NO_AUTO_START, kBusTimeoutMs, nullptr, &error);
  g_clear_error(&error);
  if (!reply) return nullptr;
  GVariant* value = nullptr;
  g_variant_get(reply, "(v)", &value);
  g_variant_unref(reply);
  return value;
}

// The first display device's first (default) profile file; empty when there is none.
std::string ColordProfileFile(GDBusConnection* bus) {
  GError* error = nullptr;
  GVariant* devices = g_dbus_connection_call_sync(
      bus, kColord, "/org/freedesktop/ColorManager", kColord, "GetDevicesByKind",
      g_variant_new("(s)", "display"), G_VARIANT_TYPE("(ao)"), G_DBUS_CALL_FLAGS_NO_AUTO_START,
      kBusTimeoutMs, nullptr, &error);
  g_clear_error(&error);
  if (!devices) return {};
  std::string file;
  GVariantIter* paths = nullptr;
  g_variant_get(devices, "(ao)", &paths);
  const char* device = nullptr;
  if (g_variant_iter_next(paths, "&o", &device)) {
    if (GVariant* profiles =
            ColordProperty(bus, device, "org.freedesktop.ColorManager.Device", "Profiles")) {
      if (g_variant_is_of_type(profiles, G_VARIANT_TYPE("ao")) &&
          g_variant_n_children(profiles) > 0) {
        const char* profile = nullptr;
        g_variant_get_child(profiles, 0, "&o", &profile);
        if (GVariant* name =
                ColordProperty(bus, profile, "org.freedesktop.ColorManager.Profile", "Filename")) {
          if (g_variant_is_of_type(name, G_VARIANT_TYPE_STRING))
            file = g_variant_get_string(name, nullptr);
          g_variant_unref(name);
        }
      }
      g_variant_unref(profiles);
    }
  }
  g_variant_iter_free(paths);
  g_variant_unref(devices);
  return file;
}

}  // namespace

std::vector<uint8_t> X11ScreenIccProfile(const std::string& displayName) {
  Display* display = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
  if (!display) return {};
  std::vector<uint8_t> bytes;
  // Only an atom that exists can name a property that is set.
  const Atom atom = XInternAtom(display, "_ICC_PROFILE", True);
  if (atom != None) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, DefaultRootWindow(display), atom, 0, LONG_MAX / 4, False,
                           AnyPropertyType, &type, &format, &count, &after, &data) == Success &&
        data && format == 8)
      bytes.assign(data, data + count);
    if (data) XFree(data);
  }
  XCloseDisplay(display);
  return bytes;
}

std::vector<uint8_t> ColordScreenIccProfile() {
  GError* error = nullptr;
  GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SYSTEM, nullptr, &error);
  g_clear_error(&error);
  if (!bus) return {};
  const std::string file = ColordProfileFile(bus);
  g_object_unref(bus);
  if (file.empty()) return {};
  std::ifstream in(file, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> ReadScreenIccProfile() {
  if (Set("WAYLAND_DISPLAY")) return ColordScreenIccProfile();
  if (Set("DISPLAY")) return X11ScreenIccProfile();
  return {};
}

}  // namespace vyr
