// Whole exports through libavcodec and libavformat, read back with ffprobe and ffmpeg:
// flat grey frames whose level gives their index, a tone that starts at a known sample.
#include "export/export_pipeline.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <set>

#include "export/media_probe.h"
#include "foundation/held_lock.h"

namespace vyr::exporting {
namespace {

constexpr int kWidth = 32, kHeight = 24, kFps = 10;
constexpr int kToneStart = 22050;  // 0.5 s
constexpr int kLevel = 8000;

int GreyOf(int64_t index) { return static_cast<int>(20 + 10 * index); }

TExportJob Job(const std::string& out, const std::string& codec, int64_t frames) {
  TExportJob job;
  job.outPath = out;
  job.format = ChooseOutputFormat(out, codec, std::nullopt);
  job.shape = {kWidth, kHeight, kFps};
  job.frameCount = frames;
  job.soundFrames = static_cast<uint64_t>(frames) * TMediaWriter::kSoundRate / kFps;
  job.draw = [](int64_t index, TVideoFrame& frame) {
    frame.stride = kWidth * 4;
    frame.pixels.assign(static_cast<size_t>(frame.stride) * kHeight,
                        static_cast<uint8_t>(GreyOf(index)));
    return true;
  };
  auto position = std::make_shared<uint64_t>(0);
  job.pullSound = [position](int16_t* out, size_t count) {
    for (size_t i = 0; i < count; ++i, ++*position) {
      const double s =
          *position < kToneStart ? 0 : 16000 * std::sin(2 * M_PI * 440 * *position / 44100.0);
      out[2 * i] = out[2 * i + 1] = static_cast<int16_t>(std::lround(s));
    }
  };
  return job;
}

// The mean red level of a decoded RGB frame.
double Mean(const std::string& rgb) {
  double sum = 0;
  for (size_t i = 0; i < rgb.size(); i += 3) sum += static_cast<uint8_t>(rgb[i]);
  return sum / static_cast<double>(rgb.size() / 3);
}

TEST(ExportPipeline, EveryContainerHoldsTheFramesInOrderAndTheSoundInStep) {
  struct Case {
    const char* name;
    const char* codec;
    const char* format;
    const char* video;
    const char* sound;
    int rate;
  };
  const Case cases[] = {
      {"a.mp4", "", "mov,mp4,m4a,3gp,3g2,mj2", "h264", "aac", 44100},
      {"a.mkv", "hevc", "matroska,webm", "hevc", "aac", 44100},
      {"a.webm", "vp9", "matroska,webm", "vp9", "opus", 48000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TTempDir dir;
    const std::string out = dir / c.name;
    const TExportOutcome outcome = RunExport(Job(out, c.codec, 20));
    ASSERT_EQ(outcome.kind, TExportOutcome::Kind::Done) << outcome.error;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);  // the temporary file is gone
    auto facts = test::Probe(out);
    ASSERT_EQ(facts["error"], "");
    EXPECT_EQ(facts["format.format_name"], c.format);
    EXPECT_NEAR(std::stod(facts["format.duration"]), 2.0, 0.1);
    EXPECT_EQ(facts["streams.stream.0.codec_name"], c.video);
    EXPECT_EQ(facts["streams.stream.0.width"], std::to_string(kWidth));
    EXPECT_EQ(facts["streams.stream.0.height"], std::to_string(kHeight));
    EXPECT_EQ(facts["streams.stream.0.r_frame_rate"], "10/1");
    EXPECT_EQ(facts["streams.stream.0.nb_read_frames"], "20");
    EXPECT_EQ(facts["streams.stream.0.color_space"], "bt709");
    EXPECT_EQ(facts["streams.stream.0.color_primaries"], "bt709");
    EXPECT_EQ(facts["streams.stream.0.color_transfer"], "bt709");
    EXPECT_EQ(facts["streams.stream.0.color_range"], "tv");
    EXPECT_EQ(facts["streams.stream.1.codec_name"], c.sound);
    EXPECT_EQ(facts["streams.stream.1.sample_rate"], std::to_string(c.rate));

    const auto frames = test::DecodeFrames(out, kWidth, kHeight);
    ASSERT_EQ(frames.size(), 20u);
    for (size_t k = 0; k < frames.size(); ++k)
      EXPECT_NEAR(Mean(frames[k]), GreyOf(static_cast<int64_t>(k)), 1.5) << "frame " << k;
    const auto sound = test::DecodeSound(out);
    EXPECT_NEAR(static_cast<double>(sound.size()), 88200, 2048);
    const int64_t start = test::FirstLoud(sound, kLevel) - test::SoundLead(facts);
    EXPECT_NEAR(static_cast<double>(start), kToneStart, 1024);
  }
}

TEST(ExportPipeline, KeyFramesEveryTwoSecondsAndIndexAtTheFront) {
  test::TTempDir dir;
  const std::string out = dir / "keys.mp4";
  ASSERT_EQ(RunExport(Job(out, "", 50)).kind, TExportOutcome::Kind::Done);
  const std::vector<double> keys = test::KeyFrameTimes(out);
  for (double every2s : {0.0, 2.0, 4.0})
    EXPECT_NE(std::find(keys.begin(), keys.end(), every2s), keys.end()) << every2s;
  // "+faststart": the index box comes before the media data.
  const std::string head = test::ReadFile(out).substr(0, 4096);
  const size_t moov = head.find("moov"), mdat = head.find("mdat");
  ASSERT_NE(moov, std::string::npos);
  EXPECT_TRUE(mdat == std::string::npos || moov < mdat);
}

TEST(ExportPipeline, AStopKeepsAPlayablePartUnderTheTemporaryName) {
  test::TTempDir dir;
  const std::string out = dir / "stopped.mp4";
  TExportJob job = Job(out, "", 40);
  int drawn = 0;
  const auto draw = job.draw;
  job.draw = [&](int64_t index, TVideoFrame& frame) { return ++drawn, draw(index, frame); };
  job.stopRequest = [&] { return drawn >= 15 ? 2 : 0; };
  const TExportOutcome outcome = RunExport(job);
  ASSERT_EQ(outcome.kind, TExportOutcome::Kind::Stopped) << outcome.error;
  EXPECT_EQ(outcome.stopRequest, 2);
  EXPECT_EQ(outcome.framesWritten, 15);
  EXPECT_FALSE(std::filesystem::exists(out));
  EXPECT_EQ(std::filesystem::path(outcome.partialPath).parent_path(), dir.Path());
  auto facts = test::Probe(outcome.partialPath);
  ASSERT_EQ(facts["error"], "");
  EXPECT_EQ(facts["streams.stream.0.nb_read_frames"], "15");
  EXPECT_NEAR(std::stod(facts["format.duration"]), 1.5, 0.1);
}

TEST(ExportPipeline, FailuresLeaveNothingBehind) {
  test::TTempDir dir;
  const TExportOutcome missing = RunExport(Job(dir / "no/such/folder/a.mp4", "", 5));
  EXPECT_EQ(missing.kind, TExportOutcome::Kind::Failed);
  EXPECT_NE(missing.error.find("cannot write"), std::string::npos) << missing.error;
  EXPECT_NE(missing.error.find("No such file or directory"), std::string::npos) << missing.error;

  TExportJob job = Job(dir / "b.mp4", "", 20);
  job.draw = [draw = job.draw](int64_t index, TVideoFrame& frame) {
    return index < 12 && draw(index, frame);
  };
  const TExportOutcome undrawn = RunExport(job);
  EXPECT_EQ(undrawn.kind, TExportOutcome::Kind::Failed);
  EXPECT_EQ(undrawn.error, "frame 12 could not be drawn");
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));

  // A full disk, as a file size limit: writes beyond it fail (SIGXFSZ ignored).
  rlimit before{};
  ::getrlimit(RLIMIT_FSIZE, &before);
  rlimit small = before;
  small.rlim_cur = 16384;
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  ::setrlimit(RLIMIT_FSIZE, &small);
  const TExportOutcome full = RunExport(Job(dir / "full.mp4", "", 40));
  ::setrlimit(RLIMIT_FSIZE, &before);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(full.kind, TExportOutcome::Kind::Failed);
  EXPECT_NE(full.error.find("File too large"), std::string::npos) << full.error;
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

// An output name that is a folder fails before a frame is drawn, not at the rename after
// the whole encode.
TEST(ExportPipeline, AFolderAsOutputFailsBeforeTheFirstFrame) {
  test::TTempDir dir;
  std::filesystem::create_directory(dir / "taken.mp4");
  TExportJob job = Job(dir / "taken.mp4", "", 40);
  int drawn = 0;
  job.draw = [&](int64_t, TVideoFrame&) { return ++drawn, false; };
  const TExportOutcome outcome = RunExport(job);
  EXPECT_EQ(outcome.kind, TExportOutcome::Kind::Failed);
  EXPECT_NE(outcome.error.find("Is a directory"), std::string::npos) << outcome.error;
  EXPECT_EQ(drawn, 0);
  EXPECT_TRUE(std::filesystem::is_directory(dir / "taken.mp4"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

// Partial files beside the output: a killed export's (its lock file held by nobody) go with the
// next export to the same name; a stopped export's (no lock file), a running one's (its lock
// held) and those of other names stay.
TEST(ExportPipeline, TheNextExportCleansWhatKilledExportsToTheSameNameLeft) {
  test::TTempDir dir;
  const auto file = [&](const std::string& name) { test::WriteFile(dir / name, "part"); };
  for (const char* name :
       {"b.partial-4000001.mp4", "b.partial-4000001.mp4.lock", "b.partial-4000002.mp4",
        "b.partial-4000003.mp4", "b.partial-4000003.mp4.lock", "c.partial-4000004.mp4",
        "c.partial-4000004.mp4.lock", "b.partial-x.mp4", "b.partial-x.mp4.lock"})
    file(name);
  const int running = ::open((dir / "b.partial-4000003.mp4.lock").c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_EQ(::flock(running, LOCK_EX | LOCK_NB), 0);

  TExportJob job = Job(dir / "b.mp4", "", 5);
  const std::string ownLock = dir / ("b.partial-" + std::to_string(::getpid()) + ".mp4.lock");
  bool heldWhileWriting = false;
  const auto draw = job.draw;
  job.draw = [&](int64_t index, TVideoFrame& frame) {
    // Our own lock is there and taken while the export runs.
    heldWhileWriting = std::filesystem::exists(ownLock) && TakeAbandonedLock(ownLock) < 0;
    return draw(index, frame);
  };
  const TExportOutcome outcome = RunExport(job);
  ::close(running);
  ASSERT_EQ(outcome.kind, TExportOutcome::Kind::Done) << outcome.error;
  EXPECT_TRUE(heldWhileWriting);
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
    names.insert(entry.path().filename().string());
  EXPECT_EQ(names, (std::set<std::string>{"b.mp4", "b.partial-4000002.mp4", "b.partial-4000003.mp4",
                                          "b.partial-4000003.mp4.lock", "c.partial-4000004.mp4",
                                          "c.partial-4000004.mp4.lock", "b.partial-x.mp4",
                                          "b.partial-x.mp4.lock"}));
}

}  // namespace
}  // namespace vyr::exporting

// libx265 keeps one allocation of its own for the life of the process.
extern "C" const char* __lsan_default_suppressions() { return "leak:libx265.so\n"; }
