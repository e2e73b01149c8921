#include "export/export_pipeline.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>
#include <thread>

#include "export/frame_queue.h"
#include "export/safe_output.h"

namespace vyr::exporting {
namespace {

constexpr size_t kSoundBlock = 4410;

// The encoding half: frames from the queue, each followed by the sound up to its end.
class TEncoder {
 public:
  TEncoder(const TExportJob& job, TMediaWriter& writer) : job_(job), writer_(writer) {}

  void Run(TBoundedQueue<TVideoFrame>& queue) {
    while (std::optional<TVideoFrame> frame = queue.Pop()) {
      if (Failed()) continue;  // drain so that the drawing side never waits
      Check(Write(*frame));
      Recycle(std::move(*frame));
      const int64_t done = ++encoded_;
      PullSoundTo(SoundEnd(done));
    }
  }

  // A frame whose memory an encoded one left, or a new one.
  TVideoFrame Spare() {
    std::lock_guard lock(mutex_);
    if (spares_.empty()) return {};
    TVideoFrame frame = std::move(spares_.back());
    spares_.pop_back();
    return frame;
  }

  // The rest of the sound after the last frame, then the index.
  void Finish(bool complete) {
    if (complete) PullSoundTo(job_.soundFrames);
    if (!Failed()) Check(writer_.Finish());
  }

  bool Failed() const { return failed_.load(); }
  std::string Error() {
    std::lock_guard lock(mutex_);
    return error_;
  }
  int64_t Encoded() const { return encoded_.load(); }

 private:
  uint64_t SoundEnd(int64_t frames) const {
    const auto end = static_cast<uint64_t>(
        std::llround(static_cast<double>(frames) * TMediaWriter::kSoundRate / job_.shape.fps));
    return std::min(end, job_.soundFrames);
  }

  void PullSoundTo(uint64_t end) {
    if (!job_.pullSound) return;
    std::vector<int16_t> block(kSoundBlock * 2);
    while (!Failed() && soundDone_ < end) {
      const auto n = static_cast<size_t>(std::min<uint64_t>(kSoundBlock, end - soundDone_));
      job_.pullSound(block.data(), n);
      Check(writer_.WriteSound(block.data(), n));
      soundDone_ += n;
    }
  }

  std::string Write(const TVideoFrame& frame) {
    if (!frame.yuv420) return writer_.WriteVideo(frame.pixels.data(), frame.stride);
    const uint8_t* y = frame.pixels.data();
    const uint8_t* cb = y + static_cast<size_t>(frame.stride) * job_.shape.height;
    const uint8_t* cr = cb + static_cast<size_t>(frame.stride / 2) * (job_.shape.height / 2);
    const uint8_t* planes[3] = {y, cb, cr};
    const int strides[3] = {frame.stride, frame.stride / 2, frame.stride / 2};
    return writer_.WriteYuv420(planes, strides);
  }

  void Recycle(TVideoFrame frame) {
    std::lock_guard lock(mutex_);
    if (spares_.size() < job_.queueLength + 1) spares_.push_back(std::move(frame));
  }

  void Check(std::string error) {
    if (error.empty()) return;
    std::lock_guard lock(mutex_);
    if (error_.empty()) error_ = std::move(error);
    failed_ = true;
  }

  const TExportJob& job_;
  TMediaWriter& writer_;
  uint64_t soundDone_ = 0;
  std::atomic<int64_t> encoded_{0};
  std::atomic<bool> failed_{false};
  std::mutex mutex_;
  std::string error_;
  std::vector<TVideoFrame> spares_;
};

}  // namespace

TExportOutcome RunExport(const TExportJob& job) {
  TExportOutcome outcome;
  TSafeOutput output(job.outPath);
  if (std::string error = output.Begin(); !error.empty()) {
    outcome.error = error;
    return outcome;
  }
  TMediaWriter writer;
  if (std::string error =
          writer.Open(output.TemporaryPath(), job.format, job.shape, job.soundFrames > 0);
      !error.empty()) {
    outcome.error = error;
    return outcome;
  }
  TBoundedQueue<TVideoFrame> queue(job.queueLength);
  TEncoder encoder(job, writer);
  std::thread encoding([&] { encoder.Run(queue); });
  std::string drawError;
  int stop = 0;
  for (int64_t index = 0; index < job.frameCount && !encoder.Failed(); ++index) {
    if (job.stopRequest && (stop = job.stopRequest()) != 0) break;
    TVideoFrame frame = encoder.Spare();
    if (!job.draw(index, frame)) {
      drawError = "frame " + std::to_string(index) + " could not be drawn";
      break;
    }
    if (!queue.Push(std::move(frame))) break;
    if (job.progress) job.progress(encoder.Encoded(), job.frameCount);
  }
  // A stop that came while the last frame was drawn still counts.
  if (!stop && job.stopRequest) stop = job.stopRequest();
  queue.Close();
  encoding.join();
  if (!drawError.empty() || encoder.Failed()) {
    outcome.error = drawError.empty() ? encoder.Error() : drawError;
    return outcome;
  }
  const bool complete = encoder.Encoded() == job.frameCount;
  encoder.Finish(complete);
  outcome.framesWritten = encoder.Encoded();
  if (encoder.Failed()) {
    outcome.error = encoder.Error();
    return outcome;
  }
  if (job.progress) job.progress(outcome.framesWritten, job.frameCount);
  if (!complete) {
    output.Keep();
    outcome.kind = TExportOutcome::Kind::Stopped;
    outcome.partialPath = output.TemporaryPath();
    outcome.stopRequest = stop;
    return outcome;
  }
  if (std::string error = output.Commit(); !error.empty()) {
    outcome.error = error;
    return outcome;
  }
  outcome.kind = TExportOutcome::Kind::Done;
  return outcome;
}

}  // namespace vyr::exporting
