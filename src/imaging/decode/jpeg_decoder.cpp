#include "imaging/decode/jpeg_decoder.h"

// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include <csetjmp>
#include <cstring>
#include <memory>

#include "imaging/bitmap/bitmap_factory.h"
#include "imaging/colour/jpeg_profile.h"

namespace vyr {

namespace {

// A picture the data cannot possibly back is refused: even the most uniform JPEG spends a few
// bits per 8 x 8 block.
constexpr int64_t kMaxPixelsPerByte = 4096;
constexpr int64_t kPixelsFloor = int64_t{1} << 24;
constexpr int kGreyLevels = 236;

struct TJpegError {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<TJpegError*>(cinfo->err)->jump, 1);
}
void SilentMessage(j_common_ptr) {}

struct TProgress {
  jpeg_progress_mgr pub;
  const TProgressCallback* callback;
};

void OnProgress(j_common_ptr cinfo) {
  auto* p = reinterpret_cast<TProgress*>(cinfo->progress);
  if (!p->callback || !*p->callback || p->pub.total_passes <= 0) return;
  const double pass = p->pub.pass_limit > 0 ? static_cast<double>(p->pub.pass_counter) /
                                                  static_cast<double>(p->pub.pass_limit)
                                            : 0.0;
  const double percent = (p->pub.completed_passes + pass) * 100.0 / p->pub.total_passes;
  (*p->callback)(static_cast<float>(percent * 0.01));
}

// Everything one decoding needs, on the heap so that a longjmp leaves it intact.
struct TJpegJob {
  jpeg_decompress_struct cinfo;
  TJpegError error;
  TProgress progress;
  TRef<TBitmap> bitmap;
  std::vector<uint8_t> row;
  int code = 0;
};

// Four components come as CMYK (libjpeg turns YCCK into CMYK); Adobe files store it inverted.
void CmykToBgr(const uint8_t* in, uint8_t* out, JDIMENSION width, bool inverted) {
  for (JDIMENSION x = 0; x < width; ++x, in += 4, out += 3) {
    unsigned c = in[0], m = in[1], y = in[2], k = in[3];
    if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
    out[0] = static_cast<uint8_t>((y * k + 127) / 255);
    out[1] = static_cast<uint8_t>((m * k + 127) / 255);
    out[2] = static_cast<uint8_t>((c * k + 127) / 255);
  }
}

void InitJob(TJpegJob& job, const std::vector<uint8_t>& data) {
  job.cinfo.err = jpeg_std_error(&job.error.pub);
  job.error.pub.error_exit = ErrorExit;
  job.error.pub.output_message = SilentMessage;
  jpeg_create_decompress(&job.cinfo);
  jpeg_mem_src(&job.cinfo, data.data(), static_cast<unsigned long>(data.size()));
}

// Decodes at scale 1 / denom; false with job.code set on a libjpeg error.
bool RunDecode(TJpegJob& job, const std::vector<uint8_t>& data, unsigned denom,
               const TProgressCallback& callback) {
  InitJob(job, data);
  if (setjmp(job.error.jump)) {
    job.code = job.error.pub.msg_code;
    jpeg_destroy_decompress(&job.cinfo);
    return false;
  }
  jpeg_decompress_struct& c = job.cinfo;
  job.progress.pub.progress_monitor = OnProgress;
  job.progress.callback = &callback;
  c.progress = &job.progress.pub;
  jpeg_read_header(&c, TRUE);
  c.scale_num = 1;
  c.scale_denom = denom;
  c.dct_method = JDCT_ISLOW;
  c.do_fancy_upsampling = TRUE;
  c.do_block_smoothing = FALSE;
  c.buffered_image = FALSE;
  const bool grey = c.num_components == 1;
  const bool cmyk = c.jpeg_color_space == JCS_CMYK || c.jpeg_color_space == JCS_YCCK;
  if (grey) {
    c.out_color_space = JCS_GRAYSCALE;
    c.quantize_colors = TRUE;
    c.desired_number_of_colors = kGreyLevels;
    c.two_pass_quantize = FALSE;
    c.dither_mode = JDITHER_FS;
  } else if (cmyk) {
    c.out_color_space = JCS_CMYK;
  } else {
    c.out_color_space = JCS_EXT_BGR;
  }
  jpeg_start_decompress(&c);
  try {
    job.bitmap =
        CreateBitmap(static_cast<int32_t>(c.output_width), static_cast<int32_t>(c.output_height),
                     pf::R8G8B8(), nullptr, nullptr, TBitmapClass::SysBitmap);
    job.row.resize(static_cast<size_t>(c.output_width) * c.output_components);
  } catch (...) {
    jpeg_destroy_decompress(&c);
    throw;
  }
  while (c.output_scanline < c.output_height) {
    const JDIMENSION y = c.output_scanline;
    uint8_t* out = job.bitmap->Row(static_cast<int32_t>(y));
    JSAMPROW target = (grey || cmyk) ? job.row.data() : out;
    if (jpeg_read_scanlines(&c, &target, 1) != 1) break;
    if (cmyk) {
      CmykToBgr(job.row.data(), out, c.output_width, c.saw_Adobe_marker);
    } else if (grey) {
      const JSAMPLE* map = c.colormap[0];
      for (JDIMENSION x = 0; x < c.output_width; ++x)
        out[x * 3] = out[x * 3 + 1] = out[x * 3 + 2] = map[job.row[x]];
      if (callback)
        callback(0.5f + 0.5f * static_cast<float>(y) / static_cast<float>(c.output_height));
    }
  }
  jpeg_finish_decompress(&c);
  jpeg_destroy_decompress(&c);
  return true;
}

struct THeader {
  int32_t width = 0;
  int32_t height = 0;
  bool grey = false;
  bool progressive = false;
};

bool ReadHeader(TJpegJob& job, const std::vector<uint8_t>& data, THeader& header) {
  InitJob(job, data);
  if (setjmp(job.error.jump)) {
    jpeg_destroy_decompress(&job.cinfo);
    return false;
  }
  jpeg_read_header(&job.cinfo, TRUE);
  header.width = static_cast<int32_t>(job.cinfo.image_width);
  header.height = static_cast<int32_t>(job.cinfo.image_height);
  header.grey = job.cinfo.num_components == 1;
  header.progressive = jpeg_has_multiple_scans(&job.cinfo);
  jpeg_destroy_decompress(&job.cinfo);
  return true;
}

}  // namespace

TJpegBitmapStore::TJpegBitmapStore(std::string name, TRotationHook rotation, int32_t width,
                                   int32_t height, bool grey, bool progressive,
                                   std::vector<uint8_t> data)
    : TSysBitmapStore(std::move(name), std::move(rotation), pf::B8G8R8(), width, height),
      grey_(grey),
      progressive_(progressive),
      data_(std::move(data)) {}

TStoreLevel TJpegBitmapStore::Decode(int level) {
  if (level < 0 || level > 3) return {};
  auto job = std::make_unique<TJpegJob>();
  if (!RunDecode(*job, data_, 1u << level, progress_))
    throw EJPEG("JPEG error #" + std::to_string(job->code));
  if (progress_) progress_(1.0f);
  return {job->bitmap, true, level};
}

TRef<TBitmapStore> ReadJpeg(TStream& stream, const std::string& name,
                            const TRotationHook& rotation) {
  const int64_t start = stream.Position();
  std::vector<uint8_t> data;
  try {
    data = stream.ReadRest();
  } catch (const EStreamError&) {
    stream.Seek(start);
    return nullptr;
  }
  auto job = std::make_unique<TJpegJob>();
  THeader header;
  const bool read = !data.empty() && ReadHeader(*job, data, header);
  const int64_t pixels = int64_t{header.width} * header.height;
  if (!read || header.width <= 0 || header.height <= 0 ||
      pixels > static_cast<int64_t>(data.size()) * kMaxPixelsPerByte + kPixelsFloor) {
    stream.Seek(start);
    return nullptr;
  }
  TRef<TColorProfile> profile = ReadJpegProfile(data, name);
  auto store = MakeRef<TJpegBitmapStore>(name, rotation, header.width, header.height, header.grey,
                                         header.progressive, std::move(data));
  store->SetProfile(std::move(profile));
  return store;
}

}  // namespace vyr
