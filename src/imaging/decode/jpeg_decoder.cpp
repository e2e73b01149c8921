#include "imaging/decode/jpeg_decoder.h"

// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include <csetjmp>
#include <cstring>
#include <memory>
#include <optional>
#include <span>

#include "imaging/bitmap/bitmap_factory.h"
#include "imaging/colour/jpeg_profile.h"
#include "imaging/decode/picture_budget.h"
#include "imaging/decode/piece_reader.h"

namespace vyr {

namespace {

// A picture the data cannot possibly back is refused: even the most uniform JPEG spends a few
// bits per 8 x 8 block.
constexpr int64_t kMaxPixelsPerByte = 4096;
constexpr int64_t kPixelsFloor = int64_t{1} << 24;
constexpr int kGreyLevels = 236;
// libjpeg decodes at 1/1, 1/2, 1/4 and 1/8.
constexpr int kMaxScale = 3;

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

// libjpeg's input read from the stream in pieces. A stream that ends early gets an end-of-image
// marker, as libjpeg's own file source does; a decode told to stop fails.
struct TStreamSource {
  jpeg_source_mgr pub;
  std::optional<TPieceReader> reader;
  bool stopped = false;
};

constexpr JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInput(j_decompress_ptr cinfo) {
  auto* src = static_cast<TStreamSource*>(cinfo->client_data);
  const std::span<const uint8_t> piece = src->reader->NextPiece();
  if (piece.empty()) {
    if (!DecodeGoOn()) {
      src->stopped = true;
      cinfo->err->error_exit(reinterpret_cast<j_common_ptr>(cinfo));
    }
    src->pub.next_input_byte = kEndOfImage;
    src->pub.bytes_in_buffer = 2;
    return TRUE;
  }
  src->pub.next_input_byte = piece.data();
  src->pub.bytes_in_buffer = piece.size();
  return TRUE;
}

void SkipInput(j_decompress_ptr cinfo, long count) {
  auto* src = static_cast<TStreamSource*>(cinfo->client_data);
  if (count <= 0) return;
  const auto n = static_cast<size_t>(count);
  if (n <= src->pub.bytes_in_buffer) {
    src->pub.next_input_byte += n;
    src->pub.bytes_in_buffer -= n;
    return;
  }
  src->reader->Skip(static_cast<int64_t>(n - src->pub.bytes_in_buffer));
  src->pub.bytes_in_buffer = 0;
}

// Everything one decoding needs, on the heap so that a longjmp leaves it intact.
struct TJpegJob {
  jpeg_decompress_struct cinfo;
  TJpegError error;
  TProgress progress;
  TStreamSource source;
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

// The stream is put at start and read from there on.
void InitJob(TJpegJob& job, TStream& stream, int64_t start) {
  job.cinfo.err = jpeg_std_error(&job.error.pub);
  job.error.pub.error_exit = ErrorExit;
  job.error.pub.output_message = SilentMessage;
  jpeg_create_decompress(&job.cinfo);
  stream.Seek(start);
  job.source.reader.emplace(stream);
  jpeg_source_mgr& src = job.source.pub;
  src.init_source = InitSource;
  src.fill_input_buffer = FillInput;
  src.skip_input_data = SkipInput;
  src.resync_to_restart = jpeg_resync_to_restart;
  src.term_source = TermSource;
  src.next_input_byte = nullptr;
  src.bytes_in_buffer = 0;
  job.cinfo.src = &src;
  job.cinfo.client_data = &job.source;
}

// Decodes at scale 1 / denom; false with job.code set on a libjpeg error.
bool RunDecode(TJpegJob& job, TStream& stream, int64_t start, unsigned denom,
               const TProgressCallback& callback) {
  InitJob(job, stream, start);
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
    if (!DecodeGoOn()) {
      job.source.stopped = true;
      ErrorExit(reinterpret_cast<j_common_ptr>(&c));
    }
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

bool ReadHeader(TJpegJob& job, TStream& stream, int64_t start, THeader& header) {
  InitJob(job, stream, start);
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
                                   TRef<TStream> stream, int firstScale)
    : TSysBitmapStore(std::move(name), std::move(rotation), pf::B8G8R8(),
                      LevelSide(width, firstScale), LevelSide(height, firstScale)),
      grey_(grey),
      progressive_(progressive),
      stream_(std::move(stream)),
      start_(stream_->Position()),
      firstScale_(firstScale) {}

TStoreLevel TJpegBitmapStore::Decode(int level) {
  const int scale = level + firstScale_;
  if (level < 0 || scale > kMaxScale) return {};
  if (!failure_.empty()) throw EJPEG(failure_);
  auto job = std::make_unique<TJpegJob>();
  if (!RunDecode(*job, *stream_, start_, 1u << scale, progress_)) {
    if (job->source.stopped) throw EJPEG("JPEG decoding stopped");
    // Every scale reads the same entropy-coded data, so the refusal holds for all levels.
    failure_ = "JPEG error #" + std::to_string(job->code);
    throw EJPEG(failure_);
  }
  if (progress_) progress_(1.0f);
  return {job->bitmap, true, level};
}

TRef<TBitmapStore> ReadJpeg(const TRef<TStream>& stream, const std::string& name,
                            const TRotationHook& rotation) {
  const int64_t start = stream->Position();
  THeader header;
  bool read = false;
  try {
    auto job = std::make_unique<TJpegJob>();
    read = stream->Size() - start > 0 && ReadHeader(*job, *stream, start, header);
  } catch (const EStreamError&) {
    read = false;
  }
  const int64_t pixels = int64_t{header.width} * header.height;
  if (!read || header.width <= 0 || header.height <= 0 ||
      pixels > (stream->Size() - start) * kMaxPixelsPerByte + kPixelsFloor) {
    stream->Seek(start);
    return nullptr;
  }
  // Above the pixel budget the picture is taken at the first reduced scale that fits.
  int firstScale = 0;
  while (firstScale < kMaxScale && !WithinPictureBudget(LevelSide(header.width, firstScale),
                                                        LevelSide(header.height, firstScale)))
    ++firstScale;
  if (!FitsPictureBudget(LevelSide(header.width, firstScale), LevelSide(header.height, firstScale),
                         name) ||
      !FitsPictureFileBudget(stream->Size() - start, name)) {
    stream->Seek(start);
    return nullptr;
  }
  stream->Seek(start);
  TRef<TColorProfile> profile = ReadJpegProfile(*stream, name);
  stream->Seek(start);
  auto store = MakeRef<TJpegBitmapStore>(name, rotation, header.width, header.height, header.grey,
                                         header.progressive, stream, firstScale);
  store->SetProfile(std::move(profile));
  return store;
}

}  // namespace vyr
