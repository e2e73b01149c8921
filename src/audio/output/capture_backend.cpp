#include "audio/output/capture_backend.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "foundation/stream_opener.h"

namespace vyr {

namespace {

void PutLe(uint8_t* p, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

std::vector<uint8_t> WavHeader(uint32_t dataBytes) {
  std::vector<uint8_t> h(44);
  const TWaveFormat f = MixingFormat();
  std::memcpy(h.data(), "RIFF", 4);
  PutLe(h.data() + 4, 36 + dataBytes, 4);
  std::memcpy(h.data() + 8, "WAVEfmt ", 8);
  PutLe(h.data() + 16, 16, 4);
  PutLe(h.data() + 20, f.formatTag, 2);
  PutLe(h.data() + 22, f.channels, 2);
  PutLe(h.data() + 24, f.samplesPerSec, 4);
  PutLe(h.data() + 28, f.avgBytesPerSec, 4);
  PutLe(h.data() + 32, f.blockAlign, 2);
  PutLe(h.data() + 34, f.bitsPerSample, 2);
  std::memcpy(h.data() + 36, "data", 4);
  PutLe(h.data() + 40, dataBytes, 4);
  return h;
}

}  // namespace

TCaptureBackend::TCaptureBackend() : clock_(MakeRef<TVirtualClock>()) {}

TCaptureBackend::~TCaptureBackend() { Stop(); }

bool TCaptureBackend::Start(TSoftMixer& mixer) {
  mixer_ = &mixer;
  return true;
}

void TCaptureBackend::Stop() {
  stop_ = true;
  if (puller_.joinable()) puller_.join();
  FinishFile();
}

void TCaptureBackend::Pull(int16_t* out, size_t frames) {
  if (!mixer_) return;
  size_t done = 0;
  clock_->Settle();
  while (done < frames) {
    const double deadline = clock_->NextDeadline();
    uint64_t limit = std::numeric_limits<uint64_t>::max();
    if (std::isfinite(deadline))
      limit = static_cast<uint64_t>(std::max(0.0, std::ceil(deadline * kMixingRate / 1000.0)));
    const uint64_t pulled = pulled_.load();
    const size_t n = limit <= pulled
                         ? 0
                         : static_cast<size_t>(std::min<uint64_t>(frames - done, limit - pulled));
    if (n == 0) {
      clock_->AdvanceTo(deadline);
      continue;
    }
    mixer_->Mix(out + done * 2, n);
    done += n;
    pulled_ += n;
    clock_->AdvanceTo(static_cast<double>(pulled + n) * 1000.0 / kMixingRate);
  }
  if (file_) {
    file_->WriteBuffer(out, static_cast<int64_t>(frames) * kMixingFrameBytes);
    fileBytes_ += static_cast<int64_t>(frames) * kMixingFrameBytes;
  }
}

bool TCaptureBackend::WriteToFile(const std::string& path) {
  FinishFile();
  file_ = CreateStreamByName(path);
  if (!file_) return false;
  const auto header = WavHeader(0);
  file_->WriteBuffer(header.data(), static_cast<int64_t>(header.size()));
  fileBytes_ = 0;
  return true;
}

void TCaptureBackend::FinishFile() {
  if (!file_) return;
  const auto header =
      WavHeader(static_cast<uint32_t>(std::min<int64_t>(fileBytes_, UINT32_MAX - 36)));
  file_->Seek(0);
  file_->WriteBuffer(header.data(), static_cast<int64_t>(header.size()));
  file_.Reset();
}

void TCaptureBackend::PullContinuously() {
  stop_ = false;
  puller_ = std::thread([this] {
    std::vector<int16_t> block(441 * 2);
    while (!stop_) {
      if (mixer_ && mixer_->AnyPlaying())
        Pull(block.data(), 441);
      else
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  });
}

}  // namespace vyr
