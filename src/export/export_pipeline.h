#pragma once
// An export: frames drawn on the calling thread, handed through a small bounded queue to
// an encoding thread that also pulls the sound up to each frame's end, written under a
// temporary name and renamed when complete. Encoded frames go back to the drawing side, so
// their memory is reused rather than faulted in afresh frame after frame.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "export/media_writer.h"
#include "export/output_format.h"

namespace vyr::exporting {

struct TVideoFrame {
  // BGRA rows stride bytes apart; with yuv420 the planes Y, Cb and Cr one after the other,
  // rows stride and stride / 2 bytes apart (BgraToYuv420 makes them).
  std::vector<uint8_t> pixels;
  int stride = 0;
  bool yuv420 = false;
};

struct TExportJob {
  std::string outPath;
  TOutputFormat format;
  TVideoShape shape;
  int64_t frameCount = 0;
  uint64_t soundFrames = 0;  // at TMediaWriter::kSoundRate; 0: no sound track
  // Draws frame index into frame (width x height); false when it cannot be drawn. The frame
  // may hold the pixels of an earlier one (its memory is reused).
  std::function<bool(int64_t index, TVideoFrame& frame)> draw;
  // The next frames of sound (16-bit stereo); called on the encoding thread.
  std::function<void(int16_t* out, size_t frames)> pullSound;
  // Polled between frames: a nonzero value ends the export early, keeping what is done.
  std::function<int()> stopRequest;
  // Frames encoded so far; called on the calling thread.
  std::function<void(int64_t done, int64_t total)> progress;
  size_t queueLength = 3;
};

struct TExportOutcome {
  enum class Kind { Done, Stopped, Failed };
  Kind kind = Kind::Failed;
  std::string error;        // Failed: the reason
  std::string partialPath;  // Stopped: the playable part written so far
  int stopRequest = 0;      // Stopped: what stopRequest returned
  int64_t framesWritten = 0;
};

TExportOutcome RunExport(const TExportJob& job);

}  // namespace vyr::exporting
