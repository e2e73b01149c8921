// Every sound format a show may carry, made by sox and ffmpeg: decoded like ffmpeg decodes
// it (by correlation: ffmpeg resamples, scales and trims encoder delay differently) and
// played through a channel of the sound engine on the capture backend.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "audio/decode/converter_factory.h"
#include "audio/output/capture_backend.h"
#include "audio/output/soft_wave_out.h"
#include "audio/player/channel_music.h"
#include "audio/player/music_player_class.h"
#include "sound_fixtures.h"

namespace vyr {
namespace {

using test::RunTool;

// Left channel of interleaved stereo.
std::vector<double> Left(const std::vector<int16_t>& stereo) {
  std::vector<double> left;
  for (size_t i = 0; i < stereo.size(); i += 2) left.push_back(stereo[i]);
  return left;
}

double Rms(const std::vector<double>& s, size_t first, size_t count) {
  double sum = 0;
  for (size_t i = first; i < first + count && i < s.size(); ++i) sum += s[i] * s[i];
  return std::sqrt(sum / static_cast<double>(count));
}

// Normalised correlation of b against a's window [first, first + count) at b's lag.
double Correlation(const std::vector<double>& a, const std::vector<double>& b, size_t first,
                   size_t count, int lag) {
  double ab = 0, aa = 0, bb = 0;
  for (size_t i = first; i < first + count; ++i) {
    const auto j = static_cast<ptrdiff_t>(i) + lag;
    const double y = j >= 0 && static_cast<size_t>(j) < b.size() ? b[static_cast<size_t>(j)] : 0;
    ab += a[i] * y;
    aa += a[i] * a[i];
    bb += y * y;
  }
  return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0;
}

// The best correlation of 50 ms of the sweep within 2500 frames of lag (coarse, then fine).
double BestCorrelation(const std::vector<double>& reference, const std::vector<double>& ours) {
  const size_t first = 22050, count = 2205;
  if (reference.size() < first + count) return 0;
  int best = 0;
  double top = -1;
  for (int lag = -2500; lag <= 2500; lag += 4) {
    const double c = Correlation(reference, ours, first, count, lag);
    if (c > top) top = c, best = lag;
  }
  for (int lag = best - 4; lag <= best + 4; ++lag)
    top = std::max(top, Correlation(reference, ours, first, count, lag));
  return top;
}

constexpr double kSweepRms = 0.5 * 32767 / M_SQRT2;

struct TFormatCase {
  std::string name;
  std::string command;  // makes {}: a 2 s sweep from 200 to 4000 Hz
  double minCorrelation;
  double level;  // RMS of the left channel
};

class SoundFormats : public ::testing::Test {
 protected:
  std::string Make(const TFormatCase& c) {
    std::string command = c.command;
    const std::string path = dir / c.name;
    command.replace(command.find("{}"), 2, "'" + path + "'");
    EXPECT_TRUE(RunTool(command)) << command;
    return path;
  }
  test::TSoundDir dir;
};

// ffmpeg's own sweep is mono, spread over two channels 3 dB lower.
const std::string kLavfi =
    "ffmpeg -y -v error -f lavfi -i 'aevalsrc=0.5*sin(2*PI*(200+950*t)*t):s=44100:d=2' -ac 2 ";

TEST_F(SoundFormats, EveryFormatDecodesLikeFfmpegAndPlaysThroughAChannel) {
  const std::string sox = "sox -n -r ";
  const std::string sweep = " {} synth 2 sine 200-4000 vol 0.5";
  const double lavfiLevel = kSweepRms / M_SQRT2;
  const TFormatCase cases[] = {
      {"u8_mono_22050.wav", sox + "22050 -c 1 -b 8 -e unsigned" + sweep, 0.98, kSweepRms},
      {"s16_stereo_48000.wav", sox + "48000 -c 2 -b 16" + sweep, 0.99, kSweepRms},
      {"s16_mono_44100.wav", sox + "44100 -c 1 -b 16" + sweep, 0.999, kSweepRms},
      {"s24_stereo_44100.wav", sox + "44100 -c 2 -b 24" + sweep, 0.999, kSweepRms},
      {"f32_mono_48000.wav", sox + "48000 -c 1 -e floating-point -b 32" + sweep, 0.99, kSweepRms},
      {"adpcm_stereo_22050.wav", sox + "22050 -c 2 -e ms-adpcm" + sweep, 0.97, kSweepRms},
      {"cbr_id3.mp3", kLavfi + "-c:a libmp3lame -b:a 128k -id3v2_version 3 -metadata title=T {}",
       0.9, lavfiLevel},
      {"vbr_xing.mp3", kLavfi + "-c:a libmp3lame -q:a 4 {}", 0.9, lavfiLevel},
      {"layer2.mp2", kLavfi + "-c:a mp2 -b:a 192k {}", 0.9, lavfiLevel},
      {"vorbis.ogg", kLavfi + "-c:a libvorbis {}", 0.9, lavfiLevel},
      {"wmav2.wma", kLavfi + "-c:a wmav2 -b:a 128k {}", 0.9, lavfiLevel},
  };
  auto backend = std::make_unique<TCaptureBackend>();
  TCaptureBackend& capture = *backend;
  auto device = MakeRef<TSoftWaveOutDevice>(std::move(backend));
  auto engine = TMusicPlayerClass::Create(device);
  ASSERT_TRUE(engine);
  for (const TFormatCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = Make(c);
    const auto reference = Left(test::FfmpegS16(path, 2, 44100));
    ASSERT_GT(reference.size(), 66150u);

    auto converter = OpenSoundConverter(path);
    ASSERT_TRUE(converter);
    converter->SetOutputFormat(MixingFormat());
    const auto decoded = Left(test::DecodeAll(*converter, 1 << 24));
    EXPECT_GT(BestCorrelation(reference, decoded), c.minCorrelation);

    auto channel = engine->CreateChannel(path, -1);
    ASSERT_TRUE(channel);
    EXPECT_NEAR(channel->GetLength(), 2000, 100);
    channel->Play(10);
    std::vector<int16_t> mix(44100 * 2);
    capture.Pull(mix.data(), 44100);
    const auto played = Left(mix);
    EXPECT_GT(BestCorrelation(reference, played), c.minCorrelation);
    EXPECT_NEAR(Rms(played, 22050, 22050), c.level, 0.1 * c.level);
    channel->Stop(10);
    std::vector<int16_t> rest(4410 * 2);
    capture.Pull(rest.data(), 4410);
  }
}

}  // namespace
}  // namespace vyr
