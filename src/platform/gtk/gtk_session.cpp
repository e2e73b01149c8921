#include "platform/gtk/gtk_session.h"

#include <SDL.h>
#include <gdk/gdkx.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <string>

#include "platform/dpi.h"

namespace vyr {
namespace {

constexpr const char* kCompactClass = "vyr-compact";

// Themes give buttons and entries minimum heights and paddings larger than the layout's.
// The dialog font of the layouts' design: text lines fit the 16-pixel labels.
constexpr const char* kCompactCss =
    ".vyr-compact { font-size: 9pt; }"
    ".vyr-compact button, .vyr-compact entry, .vyr-compact checkbutton,"
    ".vyr-compact label {"
    "  min-height: 0; min-width: 0; padding: 0; margin: 0; }"
    ".vyr-compact entry { padding-left: 2px; padding-right: 2px; }"
    ".vyr-compact button, .vyr-compact entry { border-width: 1px; }";

std::mutex pumpLock;
std::function<void()> customPump;

gboolean PumpOnce(gpointer) {
  std::function<void()> pump;
  {
    std::lock_guard lock(pumpLock);
    pump = customPump;
  }
  if (pump)
    pump();
  else if (SDL_WasInit(SDL_INIT_VIDEO))
    SDL_PumpEvents();
  return G_SOURCE_CONTINUE;
}

bool OnMainThread() { return syscall(SYS_gettid) == getpid(); }

bool HasDisplay() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 && *x11) || (wayland && *wayland);
}

// GDK opens the windowing system SDL uses, so a dialog can belong to the show window.
void FollowSdlBackend() {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver) return;
  const std::string name = driver;
  if (name == "x11" || name == "wayland") gdk_set_allowed_backends(name.c_str());
}

int GtkScaleFactor() {
  GdkDisplay* display = gdk_display_get_default();
  if (!display) return 1;
  GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
  if (!monitor && gdk_display_get_n_monitors(display) > 0)
    monitor = gdk_display_get_monitor(display, 0);
  return monitor ? std::max(1, gdk_monitor_get_scale_factor(monitor)) : 1;
}

bool StartGtk() {
  FollowSdlBackend();
  if (!gtk_init_check(nullptr, nullptr)) return false;
  // GTK's fonts follow the same logical DPI as the layouts (in 1/1024 dpi, per GTK pixel).
  g_object_set(gtk_settings_get_default(), "gtk-xft-dpi", ScreenDpi() * 1024 / GtkScaleFactor(),
               nullptr);
  GtkCssProvider* css = gtk_css_provider_new();
  gtk_css_provider_load_from_data(css, kCompactCss, -1, nullptr);
  gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(css),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(css);
  return true;
}

}  // namespace

void SetDialogEventPump(std::function<void()> pump) {
  std::lock_guard lock(pumpLock);
  customPump = std::move(pump);
}

bool DialogsAvailable() {
  if (!OnMainThread() || !HasDisplay()) return false;
  static const bool started = StartGtk();
  return started;
}

int TDialogScale::Pixels(int lengthAt96) const {
  const double scaled = std::round(lengthAt96 * dpi / 96.0);
  return static_cast<int>(std::lround(scaled / std::max(1, gtkScale)));
}

TDialogScale CurrentDialogScale() { return {ScreenDpi(), GtkScaleFactor()}; }

void UseCompactStyle(GtkWidget* window) {
  gtk_style_context_add_class(gtk_widget_get_style_context(window), kCompactClass);
}

void SetTransientForOwner(GtkWindow* window, TDialogOwner owner) {
  if (!owner.x11Window) return;
  GdkDisplay* display = gtk_widget_get_display(GTK_WIDGET(window));
  if (!GDK_IS_X11_DISPLAY(display)) return;
  gtk_widget_realize(GTK_WIDGET(window));
  GdkWindow* parent = gdk_x11_window_foreign_new_for_display(display, owner.x11Window);
  if (!parent) return;
  gdk_window_set_transient_for(gtk_widget_get_window(GTK_WIDGET(window)), parent);
  // The dialog's window keeps its parent referenced while it needs it.
  g_object_set_data_full(G_OBJECT(window), "vyr-owner-window", parent, g_object_unref);
}

TDialogPumpScope::TDialogPumpScope() : source_(g_timeout_add(10, PumpOnce, nullptr)) {}

TDialogPumpScope::~TDialogPumpScope() { g_source_remove(source_); }

int RunModalDialog(GtkDialog* dialog, TDialogOwner owner) {
  gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
  gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
  SetTransientForOwner(GTK_WINDOW(dialog), owner);
  TDialogPumpScope pump;
  return gtk_dialog_run(dialog);
}

}  // namespace vyr
