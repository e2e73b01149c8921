#pragma once
// vyrviewer playing shows in a real window, driven as a user would, under X11 (Xvfb: keys,
// clicks and the wheel through xdotool, the window read back with ImageMagick's import) or
// under a headless Wayland compositor the fixture starts itself (sway: keys through wtype,
// the pointer through sway's seat commands, the window read back with grim). The ctest entry
// names the display system: VYR_TEST_COMPOSITOR=sway, else the X display of DISPLAY.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "imaging/decode/decoder_registry.h"
#include "package/package_fixture.h"
#include "run_program.h"

extern char** environ;

namespace vyr::test {

struct TColour {
  int r = 0, g = 0, b = 0;
};

inline bool Near(TColour a, TColour b, int tolerance = 12) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
         std::abs(a.b - b.b) <= tolerance;
}

inline std::ostream& operator<<(std::ostream& out, TColour c) {
  return out << "(" << c.r << "," << c.g << "," << c.b << ")";
}

constexpr TColour kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255};

// Slides of one box each in its colour, slideMs each, without transitions, plus what the test
// adds to [Main] and to each slide's box.
inline std::string Project(const std::string& caption, const std::vector<std::string>& colours,
                           const std::string& mainExtra = "",
                           const std::vector<std::string>& slideExtra = {}, int slideMs = 1000) {
  std::string text =
      "[Main]\r\nopt_scr_width=320\r\nopt_scr_height=240\r\nopt_scr_full=0\r\n"
      "opt_scr_caption=" +
      caption + "\r\nopt_repeat=stop\r\n" + mainExtra +
      "[Times]\r\nopt_slidescount=" + std::to_string(colours.size()) + "\r\n";
  for (size_t k = 0; k < colours.size(); ++k)
    text +=
        "opt_synchpos" + std::to_string(k + 1) + "=" + std::to_string((k + 1) * slideMs) + "\r\n";
  for (size_t k = 0; k < colours.size(); ++k) {
    text += "[Slide" + std::to_string(k + 1) +
            "]\r\nobject Root:Root\r\nobject box:Box\r\nSize=320,240\r\nColor1=" + colours[k] +
            "\r\n" + (k < slideExtra.size() ? slideExtra[k] : "") +
            "end\r\nend\r\nobject TheEffect:AnEffect\r\n  ref=none\r\n  time=0\r\nend\r\n";
  }
  return text;
}

inline std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// A headless sway of its own: as the user "nobody" when the tests run as root (sway refuses
// root), with its own runtime folder, every window floating at its own size without borders.
class TSway {
 public:
  ~TSway() { Stop(); }

  // Empty when it started, else why not.
  std::string Start(const std::string& scale = "1") {
    if (!std::filesystem::exists("/usr/bin/sway") || !std::filesystem::exists("/usr/bin/grim") ||
        !std::filesystem::exists("/usr/bin/wtype"))
      return "needs sway, grim and wtype (scripts/install-deps.sh installs them)";
    char pattern[] = "/tmp/vyr-sway-XXXXXX";
    if (!mkdtemp(pattern)) return "no runtime folder";
    runtime_ = pattern;
    WriteFile(runtime_ / "config",
              "output HEADLESS-1 resolution 1280x720 scale " + scale + "\n" +
                  "default_border none\ndefault_floating_border none\n"
                  "for_window [app_id=\".*\"] floating enable\nfocus_follows_mouse no\n");
    const bool root = ::geteuid() == 0;
    if (root && ::chown(runtime_.c_str(), 65534, 65534) != 0) return "cannot hand the folder over";
    ::chmod(runtime_.c_str(), 0700);
    ::chmod((runtime_ / "config").c_str(), 0644);
    std::vector<std::string> args;
    if (root) args = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    const std::string r = runtime_.string();
    const std::vector<std::string> command{"/usr/bin/env",         "-i",
                                           "PATH=/usr/bin:/bin",   "HOME=" + r,
                                           "XDG_RUNTIME_DIR=" + r, "WLR_BACKENDS=headless",
                                           "WLR_RENDERER=pixman",  "WLR_LIBINPUT_NO_DEVICES=1",
                                           "/usr/bin/sway",        "-c",
                                           r + "/config"};
    args.insert(args.end(), command.begin(), command.end());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const int spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return "sway does not start";
    for (int i = 0; i < 100; ++i) {
      for (const auto& entry : std::filesystem::directory_iterator(runtime_)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("sway-ipc.", 0) == 0) ipc_ = entry.path().string();
        if (name.rfind("wayland-", 0) == 0 && name.find('.') == std::string::npos)
          display_ = entry.path().string();
      }
      if (!ipc_.empty() && !display_.empty()) return "";
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return "sway made no display";
  }

  // The headless seat has no keyboard, so no window would get the focus (a show pauses
  // while its window is inactive): a virtual keyboard of wtype's stays on the seat. It is
  // renewed before each player starts: SDL 2.26 crashes on joining a seat whose last keyboard
  // (that of a finished wtype) is gone. WAYLAND_DISPLAY names this compositor by then.
  void HoldKeyboard() {
    ReleaseKeyboard();
    const char* argv[] = {"/usr/bin/wtype", "-s", "3600000", nullptr};
    posix_spawn(&keyboard_, argv[0], nullptr, nullptr, const_cast<char**>(argv), environ);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }

  void ReleaseKeyboard() {
    if (keyboard_ <= 0) return;
    ::kill(keyboard_, SIGKILL);
    ::waitpid(keyboard_, nullptr, 0);
    keyboard_ = 0;
  }

  void Stop() {
    ReleaseKeyboard();
    if (pid_ > 0) {
      // sway may linger on SIGTERM while it is still starting.
      ::kill(pid_, SIGTERM);
      for (int i = 0; i < 50 && ::waitpid(pid_, nullptr, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      if (::waitpid(pid_, nullptr, WNOHANG) == 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
      }
      pid_ = 0;
    }
    if (!runtime_.empty()) std::filesystem::remove_all(runtime_);
    runtime_.clear();
  }

  // The compositor's socket, for WAYLAND_DISPLAY.
  const std::string& Display() const { return display_; }

  TRunResult Msg(const std::vector<std::string>& args) const {
    std::vector<std::string> all{"-s", ipc_};
    all.insert(all.end(), args.begin(), args.end());
    return RunProgram("/usr/bin/swaymsg", all);
  }

  // The title of a window of the process; empty when it has none.
  std::string TitleOf(pid_t pid) const {
    const std::string tree = Msg({"-t", "get_tree"}).out;
    const size_t at = tree.find("\"pid\": " + std::to_string(pid) + ",");
    const std::string key = "\"name\": \"";
    const size_t name = at == std::string::npos ? at : tree.rfind(key, at);
    if (name == std::string::npos) return {};
    std::string title;
    for (size_t i = name + key.size(); i < tree.size() && tree[i] != '"'; ++i)
      title += tree[i] == '\\' && i + 1 < tree.size() ? tree[++i] : tree[i];
    return title;
  }

  // The rectangle of a window of the process on the desktop (x, y, width, height).
  std::optional<std::array<int, 4>> WindowOf(pid_t pid) const {
    const std::string tree = Msg({"-t", "get_tree"}).out;
    const std::string key = "\"pid\": " + std::to_string(pid) + ",";
    const size_t at = tree.find(key);
    if (at == std::string::npos) return std::nullopt;
    const size_t rect = tree.rfind("\"rect\": {", at);
    if (rect == std::string::npos) return std::nullopt;
    std::array<int, 4> r{};
    const char* names[] = {"\"x\": ", "\"y\": ", "\"width\": ", "\"height\": "};
    for (int i = 0; i < 4; ++i) {
      const size_t field = tree.find(names[i], rect);
      if (field == std::string::npos || field > at) return std::nullopt;
      r[i] = std::atoi(tree.c_str() + field + std::strlen(names[i]));
    }
    if (r[2] <= 0 || r[3] <= 0) return std::nullopt;
    return r;
  }

 private:
  pid_t pid_ = 0, keyboard_ = 0;
  std::filesystem::path runtime_;
  std::string ipc_, display_;
};

class TShowWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("VYR_AUDIO", "null", 1);
    if (Env("VYR_TEST_COMPOSITOR") == "sway") {
      sway_.emplace();
      if (const std::string why = sway_->Start(); !why.empty()) {
        sway_.reset();
        GTEST_SKIP() << why;
      }
      savedDisplay_ = Env("DISPLAY");
      savedRuntime_ = Env("XDG_RUNTIME_DIR");
      ::unsetenv("DISPLAY");
      ::setenv("WAYLAND_DISPLAY", sway_->Display().c_str(), 1);
      // GTK's Wayland backend wants a runtime folder of the user's own, as a session has.
      std::filesystem::create_directories(dir_ / "runtime");
      ::chmod((dir_ / "runtime").c_str(), 0700);
      ::setenv("XDG_RUNTIME_DIR", (dir_ / "runtime").c_str(), 1);
      return;
    }
    if (Env("DISPLAY").empty()) GTEST_SKIP() << "needs a display (runs under xvfb-run)";
  }
  void TearDown() override {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (sway_) {
      sway_.reset();
      ::unsetenv("WAYLAND_DISPLAY");
      if (!savedDisplay_.empty()) ::setenv("DISPLAY", savedDisplay_.c_str(), 1);
      if (savedRuntime_.empty())
        ::unsetenv("XDG_RUNTIME_DIR");
      else
        ::setenv("XDG_RUNTIME_DIR", savedRuntime_.c_str(), 1);
    }
  }
  bool Wayland() const { return sway_.has_value(); }

  std::string Pack(const std::string& project) {
    WriteFile(dir_ / "show/Project.vyr", project);
    const std::string package = dir_ / "show.vyshow";
    EXPECT_EQ(RunProgram(VYRPACK_PATH, {"create", package, dir_ / "show/Project.vyr"}).exitCode, 0);
    return package;
  }

  // Starts the player and waits for its window; false when none came.
  bool Launch(const std::vector<std::string>& args, const std::string& program = VYRVIEWER_PATH) {
    Spawn(args, program);
    return FindWindow();
  }
  void Spawn(const std::vector<std::string>& args, const std::string& program = VYRVIEWER_PATH) {
    if (Wayland()) sway_->HoldKeyboard();
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    const std::string err = dir_ / "stderr";
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
  }
  // Waits up to 30 s (a sanitizer build starts slowly) for a visible window of the player's
  // process and focuses it.
  bool FindWindow() {
    const std::string pid = std::to_string(pid_);
    for (int i = 0; i < 300; ++i) {
      if (Wayland()) {
        if (sway_->WindowOf(pid_)) {
          sway_->Msg({"[pid=" + pid + "]", "focus"});
          return true;
        }
      } else {
        const TRunResult found =
            RunProgram("/usr/bin/xdotool", {"search", "--onlyvisible", "--pid", pid});
        if (found.exitCode == 0 && !found.out.empty()) {
          window_ = found.out.substr(0, found.out.find('\n'));
          RunProgram("/usr/bin/xdotool", {"windowfocus", "--sync", window_});
          return true;
        }
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    // What the player was doing: its threads' stacks.
    const std::string stacks =
        std::filesystem::exists("/usr/bin/gdb")
            ? RunProgram("/usr/bin/gdb", {"-p", pid, "-batch", "-ex", "thread apply all bt 12"}).out
            : std::string();
    const std::string windows = Wayland()
                                    ? sway_->Msg({"-t", "get_tree"}).out
                                    : RunProgram("/usr/bin/xdotool", {"search", "--pid", pid}).out;
    ADD_FAILURE() << "no window; the player said: " << Stderr() << "\nthe windows: " << windows
                  << "\nits threads:\n"
                  << stacks;
    return false;
  }
  std::string Stderr() const { return ReadFile(dir_ / "stderr"); }
  std::string WindowName() const {
    if (Wayland()) return sway_->TitleOf(pid_);
    std::string name = RunProgram("/usr/bin/xdotool", {"getwindowname", window_}).out;
    if (!name.empty() && name.back() == '\n') name.pop_back();
    return name;
  }

  // A key by its X keysym name ("space", "Right", "Return").
  void Key(const std::string& key) {
    if (Wayland()) {
      RunProgram("/usr/bin/wtype", {"-k", key});
    } else {
      RunProgram("/usr/bin/xdotool", {"windowfocus", "--sync", window_, "key", key});
    }
  }
  // Answers the message box on screen with its one button. Under Wayland GTK takes no keys
  // from wtype's virtual keyboard, so the button is clicked: at the foot of the box, centred.
  void DismissMessage() {
    if (!Wayland()) return Key("Return");
    if (const auto r = sway_->WindowOf(pid_)) Click((*r)[2] / 2, (*r)[3] - 20);
  }
  // A click of a button at a point of the window.
  void Click(int x, int y, int button = 1) {
    if (Wayland()) {
      Pointer(x, y, "click", button);
    } else {
      RunProgram("/usr/bin/xdotool",
                 {"windowfocus", "--sync", window_, "mousemove", "--window", window_,
                  std::to_string(x), std::to_string(y), "click", std::to_string(button)});
    }
  }
  // One wheel notch (up: away from the user) at a point of the window, with Ctrl held or not.
  void Wheel(int x, int y, bool up, bool ctrl = false) {
    if (!Wayland()) {
      std::vector<std::string> args{"windowfocus", "--sync", window_,           "mousemove",
                                    "--window",    window_,  std::to_string(x), std::to_string(y)};
      const std::vector<std::string> notch{"click", up ? "4" : "5"};
      if (ctrl) args.push_back("keydown"), args.push_back("ctrl");
      args.insert(args.end(), notch.begin(), notch.end());
      if (ctrl) args.push_back("keyup"), args.push_back("ctrl");
      RunProgram("/usr/bin/xdotool", args);
      return;
    }
    pid_t holder = 0;
    if (ctrl) {
      // wtype holds Ctrl on its keyboard while the notch turns.
      const char* argv[] = {"/usr/bin/wtype", "-M", "ctrl", "-s", "1500", "-m", "ctrl", nullptr};
      posix_spawn(&holder, argv[0], nullptr, nullptr, const_cast<char**>(argv), environ);
      Wait(400);
    }
    Pointer(x, y, "wheel", up ? 1 : -1);
    if (holder > 0) ::waitpid(holder, nullptr, 0);
  }
  static void Wait(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

  // The exit status, or -1 when the player is still running after timeoutMs.
  int WaitExit(int timeoutMs = 5000) {
    for (int waited = 0; waited < timeoutMs; waited += 20) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
      }
      Wait(20);
    }
    return -1;
  }

  static TColour Centre(const std::string& png) {
    TRef<TImage> image = OpenPicture(png);
    if (!image || !image->Bitmap()) return {-1, -1, -1};
    const TBitmap& bitmap = *image->Bitmap();
    const TRef<TBitmap> rgb = MakeRef<TDirectBitmap>(1, 1, pf::A8R8G8B8());
    rgb->CopyRect(TRect{0, 0, 1, 1}, bitmap, TPoint{bitmap.Width() / 2, bitmap.Height() / 2});
    const uint8_t* p = rgb->Row(0);
    return TColour{p[2], p[1], p[0]};
  }
  // What the window shows now.
  TColour Screen() {
    const std::string shot = dir_ / "shot.png";
    std::filesystem::remove(shot);
    if (Wayland()) {
      const auto r = sway_->WindowOf(pid_);
      if (!r) return {-1, -1, -1};
      RunProgram("/usr/bin/grim", {"-g",
                                   std::to_string((*r)[0]) + "," + std::to_string((*r)[1]) + " " +
                                       std::to_string((*r)[2]) + "x" + std::to_string((*r)[3]),
                                   shot});
    } else {
      RunProgram("/usr/bin/import", {"-window", window_, shot});
    }
    return Centre(shot);
  }
  // What the player renders at a show time.
  TColour Frame(const std::string& show, int ms) {
    const std::string out = dir_ / "frame.png";
    RunProgram(VYRVIEWER_PATH,
               {"--frame", std::to_string(ms), "--out", out, "--size", "320x240", show});
    return Centre(out);
  }
  // Polls the window until it shows the colour (the engine takes a few frames to seek).
  bool Shows(TColour want, int timeoutMs = 3000) {
    for (int waited = 0; waited < timeoutMs; waited += 100) {
      if (Near(Screen(), want)) return true;
      Wait(100);
    }
    ADD_FAILURE() << "the window shows " << Screen() << ", not " << want;
    return false;
  }

  TTempDir dir_;
  pid_t pid_ = 0;
  std::string window_;
  std::optional<TSway> sway_;
  std::string savedDisplay_, savedRuntime_;

 private:
  void Pointer(int x, int y, const std::string& gesture, int amount) {
    const auto r = sway_->WindowOf(pid_);
    if (!r) return;
    RunProgram(VYR_TEST_POINTER_PATH,
               {"1280x720", std::to_string((*r)[0] + x), std::to_string((*r)[1] + y), gesture,
                std::to_string(amount)});
  }
};

}  // namespace vyr::test
