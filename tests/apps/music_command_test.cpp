// vyrpack music: the soundtrack of a packed show with two music tracks, a slide comment
// and a clip sound read from disk, checked where each sound starts and stops.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "package/package_fixture.h"
#include "run_program.h"
#include "stereo_wav.h"

namespace vyr {
namespace {

using test::ReadFile;
using test::TRunResult;
using test::WriteFile;

constexpr int kRate = 44100;
constexpr double kFull = 0.3 * 32767;  // amplitude of every tone
constexpr int kWindow = 441;           // 10 ms: every tone is a whole number of cycles

TRunResult Vyrpack(const std::vector<std::string>& args) {
  return test::RunProgram(VYRPACK_PATH, args);
}

// 16-bit stereo WAV at 44,100 Hz: a sine of frequency for toneMs, then silence to totalMs.
std::string ToneWav(double frequency, int toneMs, int totalMs) {
  const uint32_t toneFrames = static_cast<uint32_t>(toneMs) * kRate / 1000;
  return test::StereoWav(kRate, static_cast<uint32_t>(totalMs) * kRate / 1000, [&](uint32_t f) {
    return f < toneFrames ? static_cast<int16_t>(
                                std::lround(kFull * std::sin(2 * M_PI * frequency * f / kRate)))
                          : int16_t{0};
  });
}

// The left channel of a WAV in the mixing format.
std::vector<int16_t> LeftChannel(const std::string& wav) {
  std::vector<int16_t> left;
  for (size_t at = 44; at + 4 <= wav.size(); at += 4)
    left.push_back(static_cast<int16_t>(static_cast<uint8_t>(wav[at]) |
                                        (static_cast<uint8_t>(wav[at + 1]) << 8)));
  return left;
}

// Amplitude of a frequency in the 10 ms window starting at ms (Goertzel).
double Amplitude(const std::vector<int16_t>& left, double frequency, int ms) {
  const size_t first = static_cast<size_t>(ms) * kRate / 1000;
  if (first + kWindow > left.size()) return -1;
  const double c = 2 * std::cos(2 * M_PI * frequency / kRate);
  double s1 = 0, s2 = 0;
  for (size_t i = first; i < first + kWindow; ++i) {
    const double s0 = left[i] + c * s1 - s2;
    s2 = s1;
    s1 = s0;
  }
  return 2 * std::sqrt(std::max(s1 * s1 + s2 * s2 - c * s1 * s2, 0.0)) / kWindow;
}

struct TSpan {
  double frequency;
  int begin, end;  // ms of the output file where the tone sounds
};

// Every 10 ms window more than 15 ms inside a span holds its tone at full level; every
// window more than 15 ms away from it holds none of it, except near another span's ends,
// where the clicks of starts and stops spread over all frequencies.
void ExpectSpans(const std::vector<int16_t>& left, const std::vector<TSpan>& spans) {
  const int lengthMs = static_cast<int>(left.size() * 1000 / kRate);
  auto nearAnEnd = [&](int ms) {
    for (const TSpan& span : spans)
      for (int edge : {span.begin, span.end})
        if (ms + 10 > edge - 15 && ms < edge + 15) return true;
    return false;
  };
  for (const TSpan& span : spans) {
    for (int ms = 0; ms + 10 <= lengthMs; ms += 5) {
      const double a = Amplitude(left, span.frequency, ms);
      if (ms >= span.begin + 15 && ms + 10 <= span.end - 15) {
        ASSERT_GT(a, 0.9 * kFull) << span.frequency << " Hz at " << ms << " ms";
      } else if (!nearAnEnd(ms)) {
        ASSERT_LT(a, 0.01 * kFull) << span.frequency << " Hz at " << ms << " ms";
      }
    }
  }
}

// Two slides of 3 s in sync mode. Track 1 plays 400 Hz from 0 to 2000; track 2 waits
// 1000 ms, then plays 1000 Hz for 2500 ms. Slide 2's comment sounds 2500 Hz for its first
// second and is 1500 ms long. Slide 1's clip is read from disk at 500 ms for 1000 ms.
class MusicCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(
        dir_ / "show/Project.vyr",
        "[Main]\nopt_repeat=Stop\nopt_syncmode=1\n"
        "object M:Music\n"
        "object T1:TMusicTrack\nobject A:TMusicItem\nFileName=a.wav\nDuration=2000\nend\nend\n"
        "object T2:TMusicTrack\nobject B:TMusicItem\nFileName=b.wav\nDuration=2500\n"
        "CrossMode=1\nPause=1000\nend\nend\n"
        "end\n"
        "[Times]\nopt_slidescount=2\nopt_synchpos1=3000\nopt_synchpos2=6000\n"
        "[Slide1]\nobject V:Video\nFileName=d.wav\nStartVYRTime=500\nStartVideoTime=0\n"
        "Duration=1000\nLoadFromDisk=1\nend\n"
        "[Slide2]\nobject SM:Music\nobject C:TSoundComment\nFileName=c.wav\n"
        "Duration=1500\nend\nend\n");
    WriteFile(dir_ / "show/a.wav", ToneWav(400, 5000, 5000));
    WriteFile(dir_ / "show/b.wav", ToneWav(1000, 5000, 5000));
    WriteFile(dir_ / "show/c.wav", ToneWav(2500, 1000, 3000));
    WriteFile(dir_ / "show/d.wav", ToneWav(700, 3000, 3000));
    ASSERT_EQ(Vyrpack({"create", Package(), dir_ / "show/Project.vyr"}).exitCode, 0);
    // The clip on disk next to the package differs from the one packed.
    WriteFile(dir_ / "d.wav", ToneWav(1600, 3000, 3000));
  }

  std::string Package() const { return dir_ / "show.vyshow"; }
  test::TTempDir dir_;
};

TEST_F(MusicCommand, WholeShowPlacesEveryTrackCommentAndClip) {
  const std::string out = dir_ / "all.wav";
  const TRunResult run = Vyrpack({"music", "--out", out, Package()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, out + ": 0-6000 ms, 264600 frames\n");
  const std::string wav = ReadFile(out);
  ASSERT_EQ(wav.size(), 44u + 264600u * 4);
  EXPECT_EQ(wav.substr(0, 4), "RIFF");
  const auto left = LeftChannel(wav);
  ExpectSpans(left, {{400, 0, 2000},
                     {1000, 1000, 3500},
                     {2500, 3000, 4000},
                     {1600, 500, 1500},
                     {700, -100, -100}});
  // After the comment's end nothing sounds at all.
  for (size_t f = 4520 * 44.1; f < left.size(); ++f) ASSERT_EQ(left[f], 0) << f;
}

TEST_F(MusicCommand, RangeStartsMidwayWithEverySoundAtItsOffset) {
  const std::string out = dir_ / "part.wav";
  const TRunResult run =
      Vyrpack({"music", "--out", out, "--from", "3200", "--to", "4200", Package()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const auto left = LeftChannel(ReadFile(out));
  ASSERT_EQ(left.size(), 44100u);
  // Output time 0 is show time 3200: track 2 ends at 300, the comment's tone at 800.
  ExpectSpans(left, {{1000, 0, 300}, {2500, 0, 800}, {400, -100, -100}});
}

TEST_F(MusicCommand, BadArgumentsAndShowsFail) {
  EXPECT_EQ(Vyrpack({"music"}).exitCode, 2);
  EXPECT_EQ(Vyrpack({"music", "--from", "soon", Package()}).exitCode, 2);
  EXPECT_EQ(Vyrpack({"music", "--from", "5000", "--to", "4000", "--out", dir_ / "x.wav", Package()})
                .exitCode,
            2);
  const TRunResult missing = Vyrpack({"music", "--out", dir_ / "x.wav", dir_ / "none.vyshow"});
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_EQ(missing.err, "vyrpack: Slideshow File not Found\n");
}

}  // namespace
}  // namespace vyr
