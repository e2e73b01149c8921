#include "platform/desktop/screen_saver_inhibitor.h"

#include <gio/gio.h>

#include <string>

#include "foundation/log.h"

namespace vyr {
namespace {

constexpr const char* kService = "org.freedesktop.ScreenSaver";
constexpr const char* kPath = "/org/freedesktop/ScreenSaver";

}  // namespace

// Bus thread only, apart from its creation.
struct TScreenSaverInhibitor::TState : std::enable_shared_from_this<TState> {
  GDBusConnection* connection = nullptr;
  bool wanted = false;
  bool asking = false;  // an Inhibit call is under way
  guint32 cookie = 0;   // held while nonzero
  guint watch = 0;

  ~TState() {
    if (connection) g_object_unref(connection);
  }

  void Update() {
    if (!connection) return;
    if (wanted && !cookie && !asking) {
      Inhibit();
    } else if (!wanted && cookie) {
      g_dbus_connection_call(connection, kService, kPath, kService, "UnInhibit",
                             g_variant_new("(u)", cookie), nullptr, G_DBUS_CALL_FLAGS_NONE, 2000,
                             nullptr, nullptr, nullptr);
      WriteLine("Desktop: screen saver allowed again (cookie " + std::to_string(cookie) + ")");
      cookie = 0;
    }
  }

  void Inhibit() {
    asking = true;
    auto* self = new std::shared_ptr<TState>(shared_from_this());
    g_dbus_connection_call(
        connection, kService, kPath, kService, "Inhibit",
        g_variant_new("(ss)", "VyrViewer", "Playing a slide show"), G_VARIANT_TYPE("(u)"),
        G_DBUS_CALL_FLAGS_NO_AUTO_START, 2000, nullptr,
        [](GObject* source, GAsyncResult* result, gpointer data) {
          std::shared_ptr<TState> state = *static_cast<std::shared_ptr<TState>*>(data);
          delete static_cast<std::shared_ptr<TState>*>(data);
          state->Answered(G_DBUS_CONNECTION(source), result);
        },
        self);
  }

  void Answered(GDBusConnection* source, GAsyncResult* result) {
    asking = false;
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_finish(source, result, &error);
    if (!reply) {
      WriteLine(std::string("Desktop: the screen saver service refused to hold off (") +
                (error ? error->message : "unknown") + ")");
      if (error) g_error_free(error);
      return;
    }
    g_variant_get(reply, "(u)", &cookie);
    g_variant_unref(reply);
    WriteLine("Desktop: screen saver held off (cookie " + std::to_string(cookie) + ")");
    Update();  // paused meanwhile: let go at once
  }

  void Watch() {
    auto* self = new std::shared_ptr<TState>(shared_from_this());
    watch = g_bus_watch_name_on_connection(
        connection, kService, G_BUS_NAME_WATCHER_FLAGS_NONE,
        [](GDBusConnection*, const gchar*, const gchar*, gpointer data) {
          TState& state = **static_cast<std::shared_ptr<TState>*>(data);
          state.Update();
        },
        [](GDBusConnection*, const gchar*, gpointer data) {
          // The service is gone and its inhibitions with it.
          TState& state = **static_cast<std::shared_ptr<TState>*>(data);
          state.cookie = 0;
        },
        self, [](gpointer data) { delete static_cast<std::shared_ptr<TState>*>(data); });
  }
};

TScreenSaverInhibitor::TScreenSaverInhibitor(TSessionBus& bus)
    : bus_(bus), state_(std::make_shared<TState>()) {
  bus_.Invoke([state = state_](GDBusConnection* connection) {
    if (!connection) return;
    state->connection = G_DBUS_CONNECTION(g_object_ref(connection));
    state->Watch();
  });
}

TScreenSaverInhibitor::~TScreenSaverInhibitor() {
  bus_.Invoke([state = state_](GDBusConnection*) {
    state->wanted = false;
    state->Update();
    if (state->watch) g_bus_unwatch_name(state->watch);
    state->watch = 0;
  });
}

void TScreenSaverInhibitor::SetActive(bool active) {
  if (active == active_) return;
  active_ = active;
  bus_.Invoke([state = state_, active](GDBusConnection*) {
    state->wanted = active;
    state->Update();
  });
}

}  // namespace vyr
