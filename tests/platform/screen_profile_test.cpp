// The screen's profile under Wayland: colord's default profile of its first display, asked
// over the system bus. A private bus (dbus-daemon) stands in for the system bus, and a small
// colord on it answers with a profile file; without colord on the bus there is no profile.
#include <gio/gio.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/screen_profile.h"

namespace vyr {
namespace {

constexpr const char* kIntrospection =
    "<node>"
    " <interface name='org.freedesktop.ColorManager'>"
    "  <method name='GetDevicesByKind'>"
    "   <arg type='s' name='kind' direction='in'/><arg type='ao' name='devices' direction='out'/>"
    "  </method>"
    " </interface>"
    " <interface name='org.freedesktop.ColorManager.Device'>"
    "  <property type='ao' name='Profiles' access='read'/>"
    " </interface>"
    " <interface name='org.freedesktop.ColorManager.Profile'>"
    "  <property type='s' name='Filename' access='read'/>"
    " </interface>"
    "</node>";

// colord as far as the player asks it: one display device with one profile file.
class TFakeColord {
 public:
  TFakeColord(std::string address, std::string profileFile)
      : address_(std::move(address)), file_(std::move(profileFile)) {
    thread_ = std::thread([this] { Serve(); });
    std::unique_lock guard(lock_);
    ready_.wait(guard, [this] { return started_; });
  }
  ~TFakeColord() {
    g_main_loop_quit(loop_);
    thread_.join();
  }
  bool Owned() const { return owned_; }

 private:
  static void MethodCall(GDBusConnection*, const char*, const char*, const char*, const char*,
                         GVariant*, GDBusMethodInvocation* invocation, gpointer) {
    const char* devices[] = {"/org/freedesktop/ColorManager/devices/screen", nullptr};
    g_dbus_method_invocation_return_value(invocation,
                                          g_variant_new("(^ao)", const_cast<char**>(devices)));
  }
  static GVariant* Property(GDBusConnection*, const char*, const char*, const char*,
                            const char* name, GError**, gpointer self) {
    if (std::string(name) == "Profiles") {
      const char* profiles[] = {"/org/freedesktop/ColorManager/profiles/screen", nullptr};
      return g_variant_new_objv(profiles, -1);
    }
    return g_variant_new_string(static_cast<TFakeColord*>(self)->file_.c_str());
  }

  void Serve() {
    GMainContext* context = g_main_context_new();
    g_main_context_push_thread_default(context);
    loop_ = g_main_loop_new(context, FALSE);
    GDBusConnection* bus = g_dbus_connection_new_for_address_sync(
        address_.c_str(),
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, nullptr);
    GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
    if (bus && node) {
      static const GDBusInterfaceVTable vtable = {MethodCall, Property, nullptr, {}};
      const struct {
        const char* path;
        int interface;
      } objects[] = {{"/org/freedesktop/ColorManager", 0},
                     {"/org/freedesktop/ColorManager/devices/screen", 1},
                     {"/org/freedesktop/ColorManager/profiles/screen", 2}};
      for (const auto& o : objects)
        g_dbus_connection_register_object(bus, o.path, node->interfaces[o.interface], &vtable, this,
                                          nullptr, nullptr);
      GVariant* reply = g_dbus_connection_call_sync(
          bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
          "RequestName", g_variant_new("(su)", "org.freedesktop.ColorManager", 0u),
          G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, nullptr);
      owned_ = reply != nullptr;
      if (reply) g_variant_unref(reply);
    }
    {
      std::lock_guard guard(lock_);
      started_ = true;
    }
    ready_.notify_all();
    g_main_loop_run(loop_);
    if (node) g_dbus_node_info_unref(node);
    if (bus) {
      g_dbus_connection_close_sync(bus, nullptr, nullptr);
      g_object_unref(bus);
    }
    g_main_loop_unref(loop_);
    g_main_context_pop_thread_default(context);
    g_main_context_unref(context);
  }

  std::string address_, file_;
  std::thread thread_;
  GMainLoop* loop_ = nullptr;
  std::mutex lock_;
  std::condition_variable ready_;
  bool started_ = false;
  bool owned_ = false;
};

// A bus of our own, ended with the test.
class TPrivateBus {
 public:
  TPrivateBus() {
    FILE* out = ::popen("dbus-daemon --session --fork --print-address=1 --print-pid=1", "r");
    if (!out) return;
    char line[512];
    if (std::fgets(line, sizeof line, out)) address_ = line;
    if (std::fgets(line, sizeof line, out)) pid_ = std::atoi(line);
    ::pclose(out);
    while (!address_.empty() && (address_.back() == '\n' || address_.back() == '\r'))
      address_.pop_back();
  }
  ~TPrivateBus() {
    if (pid_ > 0) ::kill(pid_, SIGTERM);
  }
  const std::string& Address() const { return address_; }

 private:
  std::string address_;
  int pid_ = 0;
};

TEST(ScreenProfile, ColordsProfileUnderWayland) {
  if (std::system("command -v dbus-daemon >/dev/null 2>&1") != 0) GTEST_SKIP() << "no dbus-daemon";
  TPrivateBus bus;
  ASSERT_FALSE(bus.Address().empty());
  // The system bus of this process is the private one (GLib reads this once).
  ::setenv("DBUS_SYSTEM_BUS_ADDRESS", bus.Address().c_str(), 1);
  ::setenv("WAYLAND_DISPLAY", "vyr-test-none", 1);

  // Nobody answers for colord: no profile, and no waiting for one.
  EXPECT_TRUE(ColordScreenIccProfile().empty());

  const std::string file = (std::filesystem::temp_directory_path() /
                            ("vyr_screen_" + std::to_string(::getpid()) + ".icc"))
                               .string();
  const std::vector<uint8_t> icc = {'a', 'c', 's', 'p', 0, 1, 2, 255};
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(icc.data()), static_cast<std::streamsize>(icc.size()));
  {
    TFakeColord colord(bus.Address(), file);
    ASSERT_TRUE(colord.Owned());
    EXPECT_EQ(ColordScreenIccProfile(), icc);
    EXPECT_EQ(ReadScreenIccProfile(), icc) << "a Wayland session asks colord";
  }
  std::filesystem::remove(file);
  ::unsetenv("WAYLAND_DISPLAY");
}

}  // namespace
}  // namespace vyr
