#include "platform/desktop/mpris_service.h"

#include <gio/gio.h>
#include <unistd.h>

#include <string>

#include "foundation/log.h"
#include "platform/clock.h"

namespace vyr {
namespace {

constexpr const char* kName = "org.mpris.MediaPlayer2.vyrviewer";
constexpr const char* kPath = "/org/mpris/MediaPlayer2";
constexpr const char* kRootInterface = "org.mpris.MediaPlayer2";
constexpr const char* kPlayerInterface = "org.mpris.MediaPlayer2.Player";
constexpr const char* kTrackId = "/org/vyrviewer/show";

constexpr const char* kIntrospection = R"(<node>
  <interface name="org.mpris.MediaPlayer2">
    <method name="Raise"/>
    <method name="Quit"/>
    <property name="CanQuit" type="b" access="read"/>
    <property name="CanRaise" type="b" access="read"/>
    <property name="HasTrackList" type="b" access="read"/>
    <property name="Identity" type="s" access="read"/>
    <property name="DesktopEntry" type="s" access="read"/>
    <property name="SupportedUriSchemes" type="as" access="read"/>
    <property name="SupportedMimeTypes" type="as" access="read"/>
  </interface>
  <interface name="org.mpris.MediaPlayer2.Player">
    <method name="Next"/>
    <method name="Previous"/>
    <method name="Pause"/>
    <method name="PlayPause"/>
    <method name="Stop"/>
    <method name="Play"/>
    <method name="Seek"><arg direction="in" name="Offset" type="x"/></method>
    <method name="SetPosition">
      <arg direction="in" name="TrackId" type="o"/>
      <arg direction="in" name="Position" type="x"/>
    </method>
    <method name="OpenUri"><arg direction="in" name="Uri" type="s"/></method>
    <signal name="Seeked"><arg name="Position" type="x"/></signal>
    <property name="PlaybackStatus" type="s" access="read"/>
    <property name="Rate" type="d" access="read"/>
    <property name="Metadata" type="a{sv}" access="read"/>
    <property name="Volume" type="d" access="read"/>
    <property name="Position" type="x" access="read"/>
    <property name="MinimumRate" type="d" access="read"/>
    <property name="MaximumRate" type="d" access="read"/>
    <property name="CanGoNext" type="b" access="read"/>
    <property name="CanGoPrevious" type="b" access="read"/>
    <property name="CanPlay" type="b" access="read"/>
    <property name="CanPause" type="b" access="read"/>
    <property name="CanSeek" type="b" access="read"/>
    <property name="CanControl" type="b" access="read"/>
  </interface>
</node>)";

const char* StatusText(TMprisState::TStatus status) {
  switch (status) {
    case TMprisState::TStatus::Playing:
      return "Playing";
    case TMprisState::TStatus::Paused:
      return "Paused";
    case TMprisState::TStatus::Stopped:
      break;
  }
  return "Stopped";
}

}  // namespace

bool TMprisState::SameApartFromPosition(const TMprisState& o) const {
  return status == o.status && lengthUs == o.lengthUs && title == o.title &&
         showFile == o.showFile && slide == o.slide && slideCount == o.slideCount &&
         canNavigate == o.canNavigate;
}

// Bus thread only, apart from its creation.
struct TMprisService::TState {
  std::function<void(const TMprisRequest&)> handler;
  GDBusConnection* connection = nullptr;
  GDBusNodeInfo* node = nullptr;
  guint objects[2] = {0, 0};
  guint owner = 0;
  bool triedInstanceName = false;
  TMprisState current;
  int64_t currentAtMs = 0;  // when the position was taken
  std::string url, artUrl;  // of the current show file

  ~TState() {
    if (node) g_dbus_node_info_unref(node);
    if (connection) g_object_unref(connection);
  }

  int64_t Position() const {
    int64_t us = current.positionUs;
    if (current.status == TMprisState::TStatus::Playing) us += (TickCount() - currentAtMs) * 1000;
    if (current.lengthUs > 0 && us > current.lengthUs) us = current.lengthUs;
    return us;
  }

  GVariant* Metadata() const {
    GVariantBuilder builder;
    g_variant_builder_init(&builder, G_VARIANT_TYPE("a{sv}"));
    g_variant_builder_add(&builder, "{sv}", "mpris:trackid", g_variant_new_object_path(kTrackId));
    if (current.lengthUs > 0)
      g_variant_builder_add(&builder, "{sv}", "mpris:length",
                            g_variant_new_int64(current.lengthUs));
    g_variant_builder_add(&builder, "{sv}", "xesam:title",
                          g_variant_new_string(current.title.c_str()));
    if (!url.empty())
      g_variant_builder_add(&builder, "{sv}", "xesam:url", g_variant_new_string(url.c_str()));
    if (!artUrl.empty())
      g_variant_builder_add(&builder, "{sv}", "mpris:artUrl", g_variant_new_string(artUrl.c_str()));
    // The slide is the track of the show: its number and the count.
    g_variant_builder_add(&builder, "{sv}", "xesam:trackNumber",
                          g_variant_new_int32(current.slide));
    g_variant_builder_add(&builder, "{sv}", "vyrviewer:slideCount",
                          g_variant_new_int32(current.slideCount));
    return g_variant_builder_end(&builder);
  }

  GVariant* Property(const std::string& interface, const std::string& name) const {
    if (interface == kRootInterface) {
      if (name == "CanQuit" || name == "CanRaise") return g_variant_new_boolean(TRUE);
      if (name == "HasTrackList") return g_variant_new_boolean(FALSE);
      if (name == "Identity") return g_variant_new_string("VyrViewer");
      if (name == "DesktopEntry") return g_variant_new_string("org.vyrviewer.VyrViewer");
      if (name == "SupportedUriSchemes") {
        const gchar* schemes[] = {"file", nullptr};
        return g_variant_new_strv(schemes, -1);
      }
      if (name == "SupportedMimeTypes") {
        const gchar* types[] = {"application/x-vyrviewer-show", "application/x-vyrviewer-project",
                                nullptr};
        return g_variant_new_strv(types, -1);
      }
      return nullptr;
    }
    if (name == "PlaybackStatus") return g_variant_new_string(StatusText(current.status));
    if (name == "Rate" || name == "Volume" || name == "MinimumRate" || name == "MaximumRate")
      return g_variant_new_double(1.0);
    if (name == "Metadata") return Metadata();
    if (name == "Position") return g_variant_new_int64(Position());
    if (name == "CanControl") return g_variant_new_boolean(TRUE);
    if (name == "CanGoNext" || name == "CanGoPrevious" || name == "CanPlay" || name == "CanPause" ||
        name == "CanSeek")
      return g_variant_new_boolean(current.canNavigate);
    return nullptr;
  }

  void Call(const std::string& method, GVariant* parameters, GDBusMethodInvocation* invocation) {
    using K = TMprisRequest::TKind;
    TMprisRequest request;
    if (method == "OpenUri") {
      g_dbus_method_invocation_return_dbus_error(
          invocation, "org.mpris.MediaPlayer2.Error.NotSupported", "shows open from their window");
      return;
    }
    if (method == "Seek") {
      request = {K::Seek, 0};
      g_variant_get(parameters, "(x)", &request.us);
    } else if (method == "SetPosition") {
      const gchar* track = nullptr;
      request = {K::SetPosition, 0};
      g_variant_get(parameters, "(&ox)", &track, &request.us);
      // A position for another track, or outside the show, is ignored.
      if (std::string(track) != kTrackId || request.us < 0 ||
          (current.lengthUs > 0 && request.us > current.lengthUs)) {
        g_dbus_method_invocation_return_value(invocation, nullptr);
        return;
      }
    } else {
      static const struct {
        const char* name;
        K kind;
      } kMethods[] = {{"Play", K::Play},   {"Pause", K::Pause}, {"PlayPause", K::PlayPause},
                      {"Stop", K::Stop},   {"Next", K::Next},   {"Previous", K::Previous},
                      {"Raise", K::Raise}, {"Quit", K::Quit}};
      bool found = false;
      for (const auto& m : kMethods)
        if (method == m.name) {
          request.kind = m.kind;
          found = true;
        }
      if (!found) {
        g_dbus_method_invocation_return_dbus_error(
            invocation, "org.freedesktop.DBus.Error.UnknownMethod", method.c_str());
        return;
      }
    }
    g_dbus_method_invocation_return_value(invocation, nullptr);
    handler(request);
  }

  void Register() {
    GError* error = nullptr;
    node = g_dbus_node_info_new_for_xml(kIntrospection, &error);
    static const GDBusInterfaceVTable vtable = {
        [](GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method,
           GVariant* parameters, GDBusMethodInvocation* invocation,
           gpointer data) { static_cast<TState*>(data)->Call(method, parameters, invocation); },
        [](GDBusConnection*, const gchar*, const gchar*, const gchar* interface, const gchar* name,
           GError** error, gpointer data) -> GVariant* {
          GVariant* value = static_cast<TState*>(data)->Property(interface, name);
          if (!value)
            g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_PROPERTY, "no property %s", name);
          return value;
        },
        nullptr,
        {}};
    for (int i = 0; i < 2; ++i) {
      objects[i] = g_dbus_connection_register_object(connection, kPath, node->interfaces[i],
                                                     &vtable, this, nullptr, &error);
      if (!objects[i]) {
        WriteLine(std::string("Desktop: media controls not offered (") + error->message + ")");
        g_clear_error(&error);
        return;
      }
    }
    Own(kName);
  }

  void Own(const std::string& name) {
    owner = g_bus_own_name_on_connection(
        connection, name.c_str(), G_BUS_NAME_OWNER_FLAGS_DO_NOT_QUEUE,
        [](GDBusConnection*, const gchar* owned, gpointer) {
          WriteLine(std::string("Desktop: media controls as ") + owned);
        },
        [](GDBusConnection*, const gchar* lost, gpointer data) {
          static_cast<TState*>(data)->NameLost(lost);
        },
        this, nullptr);
  }

  void NameLost(const std::string& name) {
    g_bus_unown_name(owner);
    owner = 0;
    if (triedInstanceName) {
      WriteLine("Desktop: the bus refused the name " + name + "; no media controls");
      return;
    }
    // Another player holds the plain name.
    triedInstanceName = true;
    Own(std::string(kName) + ".instance" + std::to_string(getpid()));
  }

  void Unregister() {
    if (owner) g_bus_unown_name(owner);
    owner = 0;
    for (guint& id : objects)
      if (id) g_dbus_connection_unregister_object(connection, id);
    objects[0] = objects[1] = 0;
  }

  void Emit(const char* member, GVariant* parameters) {
    if (!connection || !objects[1]) return;
    g_dbus_connection_emit_signal(
        connection, nullptr, kPath,
        member == std::string("Seeked") ? kPlayerInterface : "org.freedesktop.DBus.Properties",
        member, parameters, nullptr);
  }

  // The file's URI, and the thumbnail a file manager made of it (the first slide), if any.
  void NameFile(const std::string& file) {
    url.clear();
    artUrl.clear();
    gchar* uri = file.empty() ? nullptr : g_filename_to_uri(file.c_str(), nullptr, nullptr);
    if (!uri) return;
    url = uri;
    gchar* md5 = g_compute_checksum_for_string(G_CHECKSUM_MD5, uri, -1);
    const std::string name = std::string(md5) + ".png";
    g_free(md5);
    g_free(uri);
    for (const char* size : {"large", "normal", "x-large", "xx-large"}) {
      gchar* path =
          g_build_filename(g_get_user_cache_dir(), "thumbnails", size, name.c_str(), nullptr);
      if (g_file_test(path, G_FILE_TEST_IS_REGULAR)) {
        gchar* art = g_filename_to_uri(path, nullptr, nullptr);
        if (art) artUrl = art;
        g_free(art);
      }
      g_free(path);
      if (!artUrl.empty()) return;
    }
  }

  void Changed(const TMprisState& next, int64_t atMs) {
    const TMprisState before = current;
    current = next;
    currentAtMs = atMs;
    if (before.showFile != next.showFile) NameFile(next.showFile);
    GVariantBuilder changed;
    g_variant_builder_init(&changed, G_VARIANT_TYPE("a{sv}"));
    bool any = false;
    auto add = [&](const char* name) {
      g_variant_builder_add(&changed, "{sv}", name, Property(kPlayerInterface, name));
      any = true;
    };
    if (before.status != next.status) add("PlaybackStatus");
    if (before.title != next.title || before.slide != next.slide ||
        before.slideCount != next.slideCount || before.lengthUs != next.lengthUs ||
        before.showFile != next.showFile)
      add("Metadata");
    if (before.canNavigate != next.canNavigate)
      for (const char* name : {"CanGoNext", "CanGoPrevious", "CanPlay", "CanPause", "CanSeek"})
        add(name);
    if (!any) {
      g_variant_builder_clear(&changed);
      return;
    }
    Emit("PropertiesChanged", g_variant_new("(sa{sv}as)", kPlayerInterface, &changed, nullptr));
  }
};

TMprisService::TMprisService(TSessionBus& bus, std::function<void(const TMprisRequest&)> handler)
    : bus_(bus), state_(std::make_shared<TState>()) {
  state_->handler = std::move(handler);
  bus_.Invoke([state = state_](GDBusConnection* connection) {
    if (!connection) return;
    state->connection = G_DBUS_CONNECTION(g_object_ref(connection));
    state->Register();
  });
}

TMprisService::~TMprisService() {
  bus_.Invoke([state = state_](GDBusConnection*) {
    if (state->connection) state->Unregister();
  });
}

void TMprisService::Publish(const TMprisState& state) {
  const int64_t now = TickCount();
  // The position goes out twice a second; clients extrapolate it in between.
  if (publishedAtMs_ >= 0 && state.SameApartFromPosition(published_) && now - publishedAtMs_ < 500)
    return;
  published_ = state;
  publishedAtMs_ = now;
  bus_.Invoke([shared = state_, state, now](GDBusConnection*) { shared->Changed(state, now); });
}

void TMprisService::Seeked(int64_t positionUs) {
  published_.positionUs = positionUs;
  publishedAtMs_ = TickCount();
  bus_.Invoke(
      [shared = state_, state = published_, now = publishedAtMs_, positionUs](GDBusConnection*) {
        shared->Changed(state, now);
        shared->Emit("Seeked", g_variant_new("(x)", positionUs));
      });
}

}  // namespace vyr
