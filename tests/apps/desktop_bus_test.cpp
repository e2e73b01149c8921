// vyrviewer on the desktop's session bus (the ctest entry runs these inside dbus-run-session,
// under Xvfb): the media controls driven with gdbus and busctl as a desktop widget or a media
// key would, and the screen-saver inhibition seen by a screen-saver service on the same bus.
#include <gio/gio.h>

#include <map>
#include <mutex>
#include <regex>

#include "show_window.h"

namespace vyr {
namespace {

using namespace test;

// A screen-saver service on the test's bus (the desktop's is not there): it hands out
// cookies and records who holds one.
class TScreenSaverService {
 public:
  struct TInhibit {
    std::string application, reason;
  };

  TScreenSaverService() {
    context_ = g_main_context_new();
    loop_ = g_main_loop_new(context_, FALSE);
    thread_ = std::thread([this] { Run(); });
    std::unique_lock lock(lock_);
    ready_.wait(lock, [this] { return state_ != 0; });
  }
  ~TScreenSaverService() {
    g_main_context_invoke(
        context_,
        [](gpointer loop) -> gboolean {
          g_main_loop_quit(static_cast<GMainLoop*>(loop));
          return G_SOURCE_REMOVE;
        },
        loop_);
    thread_.join();
    g_main_loop_unref(loop_);
    g_main_context_unref(context_);
  }
  bool Owned() const { return state_ == 1; }
  std::vector<TInhibit> Held() const {
    std::lock_guard guard(lock_);
    std::vector<TInhibit> held;
    for (const auto& [cookie, inhibit] : held_) held.push_back(inhibit);
    return held;
  }
  int Released() const {
    std::lock_guard guard(lock_);
    return released_;
  }
  // Whether the player's own inhibition is held (SDL may hold one of its own beside it).
  bool PlayerHolds() const {
    for (const TInhibit& inhibit : Held())
      if (inhibit.application == "VyrViewer" && inhibit.reason == "Playing a slide show")
        return true;
    return false;
  }

 private:
  void Run() {
    g_main_context_push_thread_default(context_);
    GError* error = nullptr;
    GDBusConnection* connection = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(
        "<node><interface name='org.freedesktop.ScreenSaver'>"
        "<method name='Inhibit'><arg direction='in' type='s'/><arg direction='in' type='s'/>"
        "<arg direction='out' type='u'/></method>"
        "<method name='UnInhibit'><arg direction='in' type='u'/></method>"
        "</interface></node>",
        nullptr);
    static const GDBusInterfaceVTable vtable = {
        [](GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method,
           GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data) {
          static_cast<TScreenSaverService*>(data)->Call(method, parameters, invocation);
        },
        nullptr,
        nullptr,
        {}};
    guint object = 0, owner = 0;
    if (connection) {
      object =
          g_dbus_connection_register_object(connection, "/org/freedesktop/ScreenSaver",
                                            node->interfaces[0], &vtable, this, nullptr, nullptr);
      owner = g_bus_own_name_on_connection(
          connection, "org.freedesktop.ScreenSaver", G_BUS_NAME_OWNER_FLAGS_NONE,
          [](GDBusConnection*, const gchar*, gpointer data) {
            static_cast<TScreenSaverService*>(data)->Ready(1);
          },
          [](GDBusConnection*, const gchar*, gpointer data) {
            static_cast<TScreenSaverService*>(data)->Ready(2);
          },
          this, nullptr);
    } else {
      Ready(2);
    }
    g_main_loop_run(loop_);
    if (owner) g_bus_unown_name(owner);
    if (object) g_dbus_connection_unregister_object(connection, object);
    if (connection) {
      g_dbus_connection_flush_sync(connection, nullptr, nullptr);
      g_object_unref(connection);
    }
    g_dbus_node_info_unref(node);
    if (error) g_error_free(error);
    while (g_main_context_iteration(context_, FALSE)) {
    }
    g_main_context_pop_thread_default(context_);
  }
  void Ready(int state) {
    std::lock_guard guard(lock_);
    if (state_ == 0) state_ = state;
    ready_.notify_all();
  }
  void Call(const std::string& method, GVariant* parameters, GDBusMethodInvocation* invocation) {
    std::lock_guard guard(lock_);
    if (method == "Inhibit") {
      const gchar *application = nullptr, *reason = nullptr;
      g_variant_get(parameters, "(&s&s)", &application, &reason);
      held_[++cookie_] = {application, reason};
      g_dbus_method_invocation_return_value(invocation, g_variant_new("(u)", cookie_));
    } else {
      guint32 cookie = 0;
      g_variant_get(parameters, "(u)", &cookie);
      released_ += held_.erase(cookie) ? 1 : 0;
      g_dbus_method_invocation_return_value(invocation, nullptr);
    }
  }

  GMainContext* context_ = nullptr;
  GMainLoop* loop_ = nullptr;
  std::thread thread_;
  mutable std::mutex lock_;
  std::condition_variable ready_;
  int state_ = 0;  // 1 owns the name, 2 failed
  std::map<guint32, TInhibit> held_;
  guint32 cookie_ = 0;
  int released_ = 0;
};

class DesktopBus : public TShowWindowTest {
 protected:
  void SetUp() override {
    if (Env("DBUS_SESSION_BUS_ADDRESS").empty())
      GTEST_SKIP() << "needs a session bus (runs under dbus-run-session)";
    TShowWindowTest::SetUp();
  }

  static bool Until(const std::function<bool()>& condition, int timeoutMs = 5000) {
    for (int waited = 0; waited < timeoutMs; waited += 50) {
      if (condition()) return true;
      Wait(50);
    }
    return condition();
  }

  static TRunResult Media(const std::string& method, const std::vector<std::string>& args = {},
                          const std::string& name = "org.mpris.MediaPlayer2.vyrviewer") {
    std::vector<std::string> all{"call",     "--session",     "--dest",
                                 name,       "--object-path", "/org/mpris/MediaPlayer2",
                                 "--method", method};
    all.insert(all.end(), args.begin(), args.end());
    return RunProgram("/usr/bin/gdbus", all);
  }
  static std::string Property(const std::string& name) {
    return Media("org.freedesktop.DBus.Properties.Get", {"org.mpris.MediaPlayer2.Player", name})
        .out;
  }
  static int64_t PositionUs() {
    std::smatch match;
    const std::string text = Property("Position");
    return std::regex_search(text, match, std::regex("int64 (-?[0-9]+)"))
               ? std::stoll(match[1].str())
               : -1;
  }
  static std::string BusNames() {
    return RunProgram("/usr/bin/gdbus",
                      {"call", "--session", "--dest", "org.freedesktop.DBus", "--object-path",
                       "/org/freedesktop/DBus", "--method", "org.freedesktop.DBus.ListNames"})
        .out;
  }
};

TEST_F(DesktopBus, MediaControlsPauseStepSeekAndPlay) {
  const std::string show =
      Pack(Project("MediaShow", {"255,0,0", "0,255,0", "0,0,255", "255,255,255"}));
  // A file manager's thumbnail of the show (named by the MD5 of its URI) is its art.
  const std::string cache = dir_ / "cache";
  ::setenv("XDG_CACHE_HOME", cache.c_str(), 1);
  gchar* uri = g_filename_to_uri(show.c_str(), nullptr, nullptr);
  gchar* md5 = g_compute_checksum_for_string(G_CHECKSUM_MD5, uri, -1);
  const std::string thumbnail = cache + "/thumbnails/large/" + md5 + ".png";
  g_free(md5);
  g_free(uri);
  WriteFile(thumbnail, "picture");
  const bool launched = Launch({show});
  ::unsetenv("XDG_CACHE_HOME");
  ASSERT_TRUE(launched);
  ASSERT_TRUE(Shows(kRed));
  ASSERT_TRUE(
      Until([] { return Property("PlaybackStatus").find("'Playing'") != std::string::npos; }));
  const std::string metadata = Property("Metadata");
  EXPECT_NE(metadata.find("'xesam:title': <'MediaShow'>"), std::string::npos) << metadata;
  EXPECT_NE(metadata.find("'mpris:length': <int64 4000000>"), std::string::npos) << metadata;
  EXPECT_NE(metadata.find("'vyrviewer:slideCount': <4>"), std::string::npos) << metadata;
  EXPECT_NE(metadata.find("'mpris:artUrl': <'file://" + thumbnail + "'>"), std::string::npos)
      << metadata;

  ASSERT_EQ(Media("org.mpris.MediaPlayer2.Player.Pause").exitCode, 0);
  ASSERT_TRUE(
      Until([] { return Property("PlaybackStatus").find("'Paused'") != std::string::npos; }));
  // Paused in slide 1; the next slide starts at 1000 ms, and a paused show holds its time.
  ASSERT_EQ(Media("org.mpris.MediaPlayer2.Player.Next").exitCode, 0);
  EXPECT_TRUE(Shows(Frame(show, 1001)));
  EXPECT_TRUE(Shows(kGreen));
  EXPECT_NEAR(PositionUs(), 1001000, 20000);
  Wait(300);
  EXPECT_NEAR(PositionUs(), 1001000, 20000);
  EXPECT_NE(Property("Metadata").find("'xesam:trackNumber': <2>"), std::string::npos);

  ASSERT_EQ(Media("org.mpris.MediaPlayer2.Player.Seek", {"1000000"}).exitCode, 0);
  EXPECT_TRUE(Shows(kBlue));
  EXPECT_NEAR(PositionUs(), 2001000, 20000);
  // A call with the wrong argument type is refused by the bus layer; the show goes on.
  const TRunResult wrong =
      RunProgram("/usr/bin/busctl",
                 {"--user", "call", "org.mpris.MediaPlayer2.vyrviewer", "/org/mpris/MediaPlayer2",
                  "org.mpris.MediaPlayer2.Player", "Seek", "s", "soon"});
  EXPECT_NE(wrong.exitCode, 0);
  EXPECT_NEAR(PositionUs(), 2001000, 20000);

  ASSERT_EQ(Media("org.mpris.MediaPlayer2.Player.Play").exitCode, 0);
  EXPECT_TRUE(Shows(kWhite));  // slide 4 from 3000 ms on
  EXPECT_GT(PositionUs(), 3000000);
  // Stop: back at the start, paused, until played again.
  ASSERT_EQ(Media("org.mpris.MediaPlayer2.Player.Stop").exitCode, 0);
  EXPECT_TRUE(
      Until([] { return Property("PlaybackStatus").find("'Stopped'") != std::string::npos; }));
  EXPECT_TRUE(Shows(kRed));
  EXPECT_NEAR(PositionUs(), 0, 20000);
  ASSERT_EQ(Media("org.mpris.MediaPlayer2.Quit").exitCode, 0);
  EXPECT_EQ(WaitExit(), 0);
}

TEST_F(DesktopBus, ShowThatForbidsSteeringOffersNoControls) {
  const std::string show =
      Pack(Project("LockedShow", {"255,0,0", "0,255,0"}, "opt_synchpermitcontrol=0\r\n", {}, 4000));
  ASSERT_TRUE(Launch({show}));
  ASSERT_TRUE(Shows(kRed));
  ASSERT_TRUE(Until([] { return Property("CanGoNext").find("false") != std::string::npos; }));
  Media("org.mpris.MediaPlayer2.Player.Next");
  Media("org.mpris.MediaPlayer2.Player.Pause");
  Wait(500);
  EXPECT_NE(Property("PlaybackStatus").find("'Playing'"), std::string::npos);
  EXPECT_TRUE(Near(Screen(), kRed));
  Key("Escape");
  EXPECT_EQ(WaitExit(), 0) << Stderr();
}

TEST_F(DesktopBus, SecondPlayerTakesAnInstanceName) {
  const std::string show = Pack(Project("TwoShow", {"255,0,0"}, "", {}, 10000));
  ASSERT_TRUE(Launch({show}));
  ASSERT_TRUE(Until(
      [] { return BusNames().find("'org.mpris.MediaPlayer2.vyrviewer'") != std::string::npos; }));
  const pid_t first = pid_;
  Spawn({show});
  const std::string instance = "org.mpris.MediaPlayer2.vyrviewer.instance" + std::to_string(pid_);
  EXPECT_TRUE(Until([&] { return BusNames().find("'" + instance + "'") != std::string::npos; }))
      << BusNames();
  EXPECT_EQ(Media("org.mpris.MediaPlayer2.Quit", {}, instance).exitCode, 0);
  EXPECT_EQ(WaitExit(), 0);
  pid_ = first;
  EXPECT_EQ(Media("org.mpris.MediaPlayer2.Quit").exitCode, 0);
  EXPECT_EQ(WaitExit(), 0);
}

TEST_F(DesktopBus, ScreenSaverHeldOffWhilePlayingOnly) {
  auto service = std::make_unique<TScreenSaverService>();
  ASSERT_TRUE(service->Owned());
  const std::string show = Pack(Project("AwakeShow", {"255,0,0", "0,255,0"}, "", {}, 10000));
  ASSERT_TRUE(Launch({show}));
  ASSERT_TRUE(Shows(kRed));
  EXPECT_TRUE(Until([&] { return service->PlayerHolds(); }));
  Key("space");  // pause
  EXPECT_TRUE(Until([&] { return service->Held().empty(); })) << service->Held().size();
  Key("space");
  EXPECT_TRUE(Until([&] { return service->PlayerHolds(); }));
  // The service goes away and comes back: the playing show asks the new one.
  service.reset();
  service = std::make_unique<TScreenSaverService>();
  ASSERT_TRUE(service->Owned());
  EXPECT_TRUE(Until([&] { return service->PlayerHolds(); }));
  Key("Escape");
  EXPECT_EQ(WaitExit(), 0);
  // Released by the player itself, not by its connection going away.
  EXPECT_TRUE(Until([&] { return service->Held().empty(); }));
  EXPECT_GE(service->Released(), 1);
}

}  // namespace
}  // namespace vyr
