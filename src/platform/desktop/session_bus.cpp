#include "platform/desktop/session_bus.h"

#include <gio/gio.h>

#include <thread>

#include "foundation/log.h"

namespace vyr {

struct TSessionBus::TState {
  GMainContext* context = g_main_context_new();
  GMainLoop* loop = g_main_loop_new(context, FALSE);
  GDBusConnection* connection = nullptr;
  std::thread thread;

  ~TState() {
    g_main_loop_unref(loop);
    g_main_context_unref(context);
  }

  void Run() {
    g_main_context_push_thread_default(context);
    GError* error = nullptr;
    // Its own connection: GTK's shared one is served by another context.
    gchar* address = g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    if (address) {
      connection = g_dbus_connection_new_for_address_sync(
          address,
          static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                            G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
          nullptr, nullptr, &error);
      g_free(address);
    }
    if (connection) {
      g_dbus_connection_set_exit_on_close(connection, FALSE);
    } else {
      WriteLine(std::string("Desktop: no session bus, no media controls or screen-saver "
                            "inhibition (") +
                (error ? error->message : "unknown") + ")");
    }
    if (error) g_error_free(error);
    g_main_loop_run(loop);
    if (connection) {
      g_dbus_connection_flush_sync(connection, nullptr, nullptr);
      g_object_unref(connection);
      connection = nullptr;
    }
    // Sources still attached (late replies) go with the context.
    while (g_main_context_iteration(context, FALSE)) {
    }
    g_main_context_pop_thread_default(context);
  }
};

TSessionBus::TSessionBus() : state_(std::make_unique<TState>()) {
  state_->thread = std::thread([state = state_.get()] { state->Run(); });
}

TSessionBus::~TSessionBus() {
  // Queued behind every task: the loop ends once they have run.
  g_main_context_invoke(
      state_->context,
      [](gpointer loop) -> gboolean {
        g_main_loop_quit(static_cast<GMainLoop*>(loop));
        return G_SOURCE_REMOVE;
      },
      state_->loop);
  state_->thread.join();
}

void TSessionBus::Invoke(std::function<void(GDBusConnection*)> task) {
  struct TCall {
    TState* state;
    std::function<void(GDBusConnection*)> task;
  };
  auto* call = new TCall{state_.get(), std::move(task)};
  g_main_context_invoke_full(
      state_->context, G_PRIORITY_DEFAULT,
      [](gpointer data) -> gboolean {
        auto* c = static_cast<TCall*>(data);
        c->task(c->state->connection);
        return G_SOURCE_REMOVE;
      },
      call, [](gpointer data) { delete static_cast<TCall*>(data); });
}

}  // namespace vyr
