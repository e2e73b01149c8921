// The frame source on arbitrary bytes: opening (packet scan, decoder), the first frames, a
// jump back and the last frame.
#include <cstddef>
#include <cstdint>

#include "scene/video/video_picture.h"
#include "video/frame_source_factory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto stream = vyr::MakeRef<vyr::TMemoryStream>(std::vector<uint8_t>(data, data + size));
  const char* name = size > 0 && data[0] % 2 ? "f.gif" : "f.bin";
  vyr::TRef<vyr::TFrameSource> source = vyr::MakeFrameSource(stream, name, "");
  if (!source) return 0;
  const vyr::TVideoSourceInfo& p = source->Params();
  // Small frames only: the fuzzer's memory limit is not the subject here.
  if (static_cast<int64_t>(p.width) * p.height > 4096 * 4096) return 0;
  auto picture = vyr::MakeRef<vyr::TVideoPicture>(
      p.width, p.height, p.rgba ? vyr::TVideoKind::Rgba : vyr::TVideoKind::Yuv420);
  for (int i : {0, 1, 2, p.frameCount - 1, 0}) source->GetFrame(i, *picture);
  return 0;
}
