// vyrviewer --export: generated shows exported to video files and read back with ffprobe
// and ffmpeg; the frames are compared with --frame at the same show times, the sound with
// vyrpack music of the same span.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "export/media_probe.h"
#include "imaging/decode/decoder_registry.h"
#include "package/package_fixture.h"
#include "program_output.h"
#include "run_program.h"
#include "stereo_wav.h"
#include "video/clip_fixtures.h"

namespace vyr {
namespace {

using test::TRunResult;
using test::WriteFile;

constexpr int kRate = 44100;
constexpr int kToneStartMs = 1200;

TRunResult Vyrviewer(const std::vector<std::string>& args) {
  return test::RunProgram(VYRVIEWER_PATH, args);
}

// Stereo 16-bit WAV: silence until startMs, then a 440 Hz tone to totalMs.
std::string LateToneWav(int startMs, int totalMs) {
  const uint32_t start = static_cast<uint32_t>(startMs) * kRate / 1000;
  return test::StereoWav(kRate, static_cast<uint32_t>(totalMs) * kRate / 1000, [&](uint32_t f) {
    return f < start ? int16_t{0}
                     : static_cast<int16_t>(
                           std::lround(12000 * std::sin(2 * M_PI * 440 * (f - start) / kRate)));
  });
}

struct TShowShape {
  int width = 64, height = 48;
  bool repeats = false;
  int slideMs = 2000;  // the first two slides; the third lasts 1000 ms
};

// Red, blue (its end a pause barrier) and yellow slides joined by 1000 ms dissolves, green
// around the slide, over music that starts sounding at 1200 ms.
std::string WriteShow(const test::TTempDir& dir, const std::string& name, const TShowShape& shape) {
  const std::string folder = dir / name;
  const int a = shape.slideMs, b = 2 * shape.slideMs, c = 2 * shape.slideMs + 1000;
  std::string text = "[Main]\r\nopt_scr_width=" + std::to_string(shape.width) +
                     "\r\nopt_scr_height=" + std::to_string(shape.height) +
                     "\r\nopt_scr_hidercolor=65280\r\n" +
                     (shape.repeats ? "" : "opt_repeat=Stop\r\n") +
                     "object M:Music\r\nobject T1:TMusicTrack\r\nobject A:TMusicItem\r\n"
                     "FileName=tone.wav\r\nDuration=" +
                     std::to_string(c + 2000) +
                     "\r\nend\r\nend\r\nend\r\n"
                     "[Times]\r\nopt_slidescount=3\r\nopt_synchpos1=" +
                     std::to_string(a) + "\r\nopt_synchpos2=" + std::to_string(b) +
                     "\r\nopt_synchpos3=" + std::to_string(c) + "\r\n";
  const char* colours[3] = {"255,0,0", "0,0,255", "255,255,0"};
  for (int k = 1; k <= 3; ++k)
    text += "[Slide" + std::to_string(k) + "]\r\n" + (k == 2 ? "Pers_EndAction=pause\r\n" : "") +
            "object Root:Root\r\nobject box:Box\r\nSize=" + std::to_string(shape.width) + "," +
            std::to_string(shape.height) + "\r\nColor1=" + colours[k - 1] +
            "\r\nend\r\nend\r\nobject TheEffect:AnEffect\r\n  ref=dissolve\r\n  "
            "time=1000\r\nend\r\n";
  WriteFile(folder + "/Project.vyr", text);
  WriteFile(folder + "/tone.wav", LateToneWav(kToneStartMs, c + 2000));
  const std::string package = dir / (name + ".vyshow");
  EXPECT_EQ(test::RunProgram(VYRPACK_PATH, {"create", package, folder + "/Project.vyr"}).exitCode,
            0);
  return package;
}

enum class TCompare {
  Rgb,
  // For sharp edges between saturated colours, which no 4:2:0 chroma holds.
  Luma,
};

// Decoded frames at the given indexes match what the frame renderer draws at
// FROM + k x 1000 / fps (one --frames run over the same grid of show times).
void ExpectFramesMatch(const std::string& video, const std::string& show, int width, int height,
                       double from, int fps, const std::vector<int>& indexes,
                       const std::vector<std::string>& extra = {},
                       TCompare compare = TCompare::Rgb) {
  test::TTempDir dir;
  const bool luma = compare == TCompare::Luma;
  const auto frames =
      luma ? test::DecodeLuma(video, width, height) : test::DecodeFrames(video, width, height);
  const double step = 1000.0 / fps;
  const int last = *std::max_element(indexes.begin(), indexes.end());
  std::vector<std::string> args{
      "--frames",
      std::to_string(from) + ":" + std::to_string(from + last * step) + ":" + std::to_string(step),
      "--out", dir / "frames"};
  args.insert(args.end(), extra.begin(), extra.end());
  args.push_back(show);
  const TRunResult run = Vyrviewer(args);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  for (int k : indexes) {
    ASSERT_LT(static_cast<size_t>(k), frames.size());
    const double ms = from + k * step;
    char name[64];
    std::snprintf(name, sizeof name, "frames/frame_%08lld.png", std::llround(ms));
    const std::string drawn = test::RgbOf(dir / name);
    EXPECT_GE(test::Psnr(frames[k], luma ? test::LumaOf(drawn) : drawn), 40.0)
        << "frame " << k << " at " << ms << " ms";
  }
}

// The tone's first loud sample in the export and in vyrpack music of the same span.
void ExpectSoundInStep(const std::string& video, const std::string& show, double from, double to,
                       int codecFrame) {
  test::TTempDir dir;
  const std::string wav = dir / "music.wav";
  const TRunResult music = test::RunProgram(
      VYRPACK_PATH, {"music", "--out", wav, "--from", std::to_string(std::lround(from)), "--to",
                     std::to_string(std::lround(to)), show});
  ASSERT_EQ(music.exitCode, 0) << music.err;
  const auto reference = test::DecodeSound(wav);
  const auto exported = test::DecodeSound(video);
  auto facts = test::Probe(video);
  EXPECT_NEAR(static_cast<double>(exported.size()), static_cast<double>(reference.size()),
              2.0 * codecFrame);
  const int64_t want = test::FirstLoud(reference, 6000);
  const int64_t got = test::FirstLoud(exported, 6000) - test::SoundLead(facts);
  ASSERT_GE(want, 0);
  EXPECT_NEAR(static_cast<double>(got), static_cast<double>(want), codecFrame);
}

class VyrviewerExport : public ::testing::Test {
 protected:
  test::TTempDir dir_;
};

TEST_F(VyrviewerExport, WholeShowIsFrameExactWithItsMusicAndPassesThePause) {
  const std::string show = WriteShow(dir_, "show", {});
  const std::string out = dir_ / "show.mp4";
  const TRunResult run = Vyrviewer({"--export", out, "--fps", "10", show});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");  // no progress line when standard error is no terminal
  auto facts = test::Probe(out);
  ASSERT_EQ(facts["error"], "");
  EXPECT_EQ(facts["format.format_name"], "mov,mp4,m4a,3gp,3g2,mj2");
  EXPECT_EQ(facts["streams.stream.0.codec_name"], "h264");
  EXPECT_EQ(facts["streams.stream.0.width"], "64");
  EXPECT_EQ(facts["streams.stream.0.height"], "48");
  EXPECT_EQ(facts["streams.stream.0.r_frame_rate"], "10/1");
  EXPECT_EQ(facts["streams.stream.0.nb_read_frames"], "50");  // 0 to 5000 ms
  EXPECT_EQ(facts["streams.stream.0.color_space"], "bt709");
  EXPECT_EQ(facts["streams.stream.0.color_range"], "tv");
  EXPECT_EQ(facts["streams.stream.1.codec_name"], "aac");
  EXPECT_NEAR(std::stod(facts["format.duration"]), 5.0, 0.1);
  // Red, half way into blue, blue held at the pause barrier's time, half way into yellow.
  ExpectFramesMatch(out, show, 64, 48, 0, 10, {0, 25, 37, 45, 49});
  ExpectSoundInStep(out, show, 0, 5000, 1024);
}

TEST_F(VyrviewerExport, RangeRepeatingShowAndOddSize) {
  const std::string show = WriteShow(dir_, "show", {});
  const std::string range = dir_ / "range.mp4";
  TRunResult run =
      Vyrviewer({"--export", range, "--fps", "10", "--from", "1500", "--to", "3500", show});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  auto facts = test::Probe(range);
  EXPECT_EQ(facts["streams.stream.0.nb_read_frames"], "20");
  EXPECT_NEAR(std::stod(facts["format.duration"]), 2.0, 0.1);
  ExpectFramesMatch(range, show, 64, 48, 1500, 10, {0, 10, 19});
  ExpectSoundInStep(range, show, 1500, 3500, 1024);

  // Once round: to the end of the last slide's visibility, its dissolve into the first.
  const std::string repeating = WriteShow(dir_, "repeating", {.repeats = true});
  const std::string round = dir_ / "round.mp4";
  run = Vyrviewer({"--export", round, "--fps", "10", repeating});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  facts = test::Probe(round);
  EXPECT_EQ(facts["streams.stream.0.nb_read_frames"], "60");
  ExpectFramesMatch(round, repeating, 64, 48, 0, 10, {55});

  const std::string odd = WriteShow(dir_, "odd", {.width = 67, .height = 49});
  const std::string even = dir_ / "odd.mp4";
  run = Vyrviewer({"--export", even, "--fps", "5", "--to", "3000", odd});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  facts = test::Probe(even);
  EXPECT_EQ(facts["streams.stream.0.width"], "66");
  EXPECT_EQ(facts["streams.stream.0.height"], "48");
  ExpectFramesMatch(even, odd, 66, 48, 0, 5, {0, 12}, {"--size", "66x48"});
}

TEST_F(VyrviewerExport, WebmWithVp9AndOpus) {
  const std::string show = WriteShow(dir_, "show", {});
  const std::string out = dir_ / "show.webm";
  const TRunResult run = Vyrviewer({"--export", out, "--fps", "10", "--to", "3000", show});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  auto facts = test::Probe(out);
  EXPECT_EQ(facts["format.format_name"], "matroska,webm");
  EXPECT_EQ(facts["streams.stream.0.codec_name"], "vp9");
  EXPECT_EQ(facts["streams.stream.0.nb_read_frames"], "30");
  EXPECT_EQ(facts["streams.stream.1.codec_name"], "opus");
  EXPECT_EQ(facts["streams.stream.1.sample_rate"], "48000");
  ExpectFramesMatch(out, show, 64, 48, 0, 10, {5, 25});
  ExpectSoundInStep(out, show, 0, 3000, 960 * kRate / 48000);
}

TEST_F(VyrviewerExport, AVideoClipShowsItsExactFrames) {
  // 25 fps clip frames under a 10 fps export: frame k at 1010 + 100 k ms shows the clip frame
  // nearest to 10 + 100 k ms into the clip, (30 + 100 k) / 40; no time falls half way.
  ASSERT_TRUE(test::MakeClip(dir_ / "clip/clip.mp4", 150, "25",
                             "-c:v libx264 -pix_fmt yuv420p -g 30 -bf 2"));
  WriteFile(dir_ / "clip/Project.vyr", test::ClipOnSlideProject("clip.mp4"));
  const std::string show = dir_ / "clip.vyshow";
  ASSERT_EQ(test::RunProgram(VYRPACK_PATH, {"create", show, dir_ / "clip/Project.vyr"}).exitCode,
            0);
  const std::string out = dir_ / "clip.mp4";
  const TRunResult run =
      Vyrviewer({"--export", out, "--fps", "10", "--from", "1010", "--to", "4010", show});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const auto frames = test::DecodeFrames(out, 320, 192);
  ASSERT_EQ(frames.size(), 30u);
  for (int k = 0; k < 30; ++k) {
    const std::string& rgb = frames[static_cast<size_t>(k)];
    const int shown = test::ShownIndexIn(test::kClipWidth, test::kClipHeight, [&](int x, int y) {
      return static_cast<uint8_t>(rgb[((48 + y) * 320 + 80 + x) * 3 + 1]);
    });
    EXPECT_EQ(shown, (30 + 100 * k) / 40) << "frame " << k;
  }
  // The grey clip stands on a green slide over a blue shadow.
  ExpectFramesMatch(out, show, 320, 192, 1010, 10, {0, 9, 17, 29}, {}, TCompare::Luma);
}

// An export of show to out started in the background (standard error into err), waited for
// until its partial file holds about a second of sound; its process id.
pid_t StartLongExport(const std::string& show, const std::string& out, const std::string& err) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::vector<std::string> args{VYRVIEWER_PATH, "--export", out,       "--fps",
                                "10",           "--size",   "160x120", show};
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, VYRVIEWER_PATH, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return 0;
  const std::filesystem::path path(out);
  const std::string partial =
      (path.parent_path() /
       (path.stem().string() + ".partial-" + std::to_string(pid) + path.extension().string()))
          .string();
  for (int waited = 0; waited < 600; ++waited) {
    std::error_code error;
    if (std::filesystem::file_size(partial, error) > 30000 && !error) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return pid;
}

TEST_F(VyrviewerExport, FfmpegIsOpenedOnlyWhenAShowNeedsIt) {
  // The dynamic loader names every library it opens (LD_DEBUG=files).
  auto framesLoadingFfmpeg = [&](const std::string& show, const std::string& time) {
    const std::string out = dir_ / ("frame" + time + ".png");
    const TRunResult run = test::RunProgram(
        "/usr/bin/env", {"LD_DEBUG=files", VYRVIEWER_PATH, "--frame=" + time, "--out", out, show});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(std::filesystem::exists(out));
    return run.err.find("file=libavcodec.so") != std::string::npos;
  };
  EXPECT_FALSE(framesLoadingFfmpeg(WriteShow(dir_, "show", {}), "1000"));
  ASSERT_TRUE(test::MakeClip(dir_ / "clip/clip.mp4", 50, "25", "-c:v libx264 -pix_fmt yuv420p"));
  WriteFile(dir_ / "clip/Project.vyr", test::ClipOnSlideProject("clip.mp4"));
  EXPECT_TRUE(framesLoadingFfmpeg(dir_ / "clip/Project.vyr", "1500"));
}

TEST_F(VyrviewerExport, SignalsKeepAPlayablePartUnderTheTemporaryName) {
  // A show long enough that the signal comes half way.
  const std::string show = WriteShow(dir_, "long", {.slideMs = 30000});
  for (const auto& [signal, status] :
       {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}, std::pair{SIGHUP, 129}}) {
    SCOPED_TRACE(status);
    const std::string out = dir_ / "long.mp4";
    const std::string err = dir_ / "err.txt";
    const pid_t pid = StartLongExport(show, out, err);
    ASSERT_GT(pid, 0);
    const std::string partial = dir_ / ("long.partial-" + std::to_string(pid) + ".mp4");
    ::kill(pid, signal);
    int wstatus = 0;
    ::waitpid(pid, &wstatus, 0);
    ASSERT_TRUE(WIFEXITED(wstatus));
    EXPECT_EQ(WEXITSTATUS(wstatus), status);
    EXPECT_NE(test::ReadFile(err).find(partial), std::string::npos) << test::ReadFile(err);
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_FALSE(std::filesystem::exists(partial + ".lock"));
    auto facts = test::Probe(partial);
    ASSERT_EQ(facts["error"], "");
    const int frames = std::stoi(facts["streams.stream.0.nb_read_frames"]);
    EXPECT_GT(frames, 0);
    EXPECT_LT(frames, 610);
    EXPECT_EQ(test::DecodeFrames(partial, 160, 120).size(), static_cast<size_t>(frames));
    std::filesystem::remove(partial);
  }
}

// An export killed outright leaves its partial file; the next export to the same name removes
// it, and keeps the part a stopped export left.
TEST_F(VyrviewerExport, TheNextExportCleansAKilledExportsPartialFile) {
  const std::string show = WriteShow(dir_, "long", {.slideMs = 30000});
  const std::string out = dir_ / "long.mp4";
  const std::string stopped = dir_ / "long.partial-4000001.mp4";
  WriteFile(stopped, "the part a stopped export kept");
  const pid_t pid = StartLongExport(show, out, dir_ / "err.txt");
  ASSERT_GT(pid, 0);
  const std::string partial = dir_ / ("long.partial-" + std::to_string(pid) + ".mp4");
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
  ASSERT_TRUE(std::filesystem::exists(partial));

  const TRunResult run = Vyrviewer({"--export", out, "--fps", "5", "--to", "1000", show});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(std::filesystem::exists(out));
  EXPECT_FALSE(std::filesystem::exists(partial));
  EXPECT_FALSE(std::filesystem::exists(partial + ".lock"));
  EXPECT_EQ(test::ReadFile(stopped), "the part a stopped export kept");
}

TEST_F(VyrviewerExport, BadOutputsFailClearlyAndLeaveNothing) {
  const std::string show = WriteShow(dir_, "show", {});
  WriteFile(dir_ / "plain", "a file, not a folder");
  struct Case {
    std::string out;
    int status;
    std::string message;
  };
  std::vector<Case> cases = {
      {dir_ / "missing/a.mp4", 1, "No such file or directory"},
      {dir_ / "plain/a.mp4", 1, "Not a directory"},
      {dir_ / "a.avi", 2, "must end in .mp4, .mkv or .webm"},
  };
  if (::geteuid() != 0) {
    std::filesystem::create_directory(dir_ / "locked");
    std::filesystem::permissions(
        dir_ / "locked", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    cases.push_back({dir_ / "locked/a.mp4", 1, "Permission denied"});
  }
  for (const Case& c : cases) {
    const TRunResult run = Vyrviewer({"--export", c.out, "--fps", "5", "--to", "1000", show});
    EXPECT_EQ(run.exitCode, c.status) << c.out;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(c.out));
  }
  EXPECT_EQ(Vyrviewer({"--export", dir_ / "b.mp4", "--codec", "vp9", show}).exitCode, 2);
  EXPECT_EQ(Vyrviewer({"--export", dir_ / "b.mp4", "--frame", "5", show}).exitCode, 2);
  EXPECT_EQ(Vyrviewer({"--export", dir_ / "b.mp4", "--from", "9000", show}).exitCode, 2);
}

}  // namespace
}  // namespace vyr
