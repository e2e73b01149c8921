#include "package/container/deflate_writer.h"

#include <zlib.h>

#include <vector>

#include "package/container/package_errors.h"

namespace vyr {

namespace {
constexpr int64_t kChunk = 65536;

class TDeflater {
 public:
  TDeflater() {
    if (deflateInit2(&zs_, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
      throw EStreamWriteError("deflate could not start");
  }
  ~TDeflater() { deflateEnd(&zs_); }
  TDeflater(const TDeflater&) = delete;
  TDeflater& operator=(const TDeflater&) = delete;
  z_stream& Stream() { return zs_; }

 private:
  z_stream zs_{};
};
}  // namespace

int64_t DeflateRaw(TStream& source, TStream& target) {
  TDeflater deflater;
  z_stream& zs = deflater.Stream();
  std::vector<uint8_t> input(kChunk), output(kChunk);
  int64_t written = 0;
  int flush = Z_NO_FLUSH;
  while (flush != Z_FINISH) {
    const int64_t got = source.Read(input.data(), kChunk);
    flush = got <= 0 ? Z_FINISH : Z_NO_FLUSH;
    zs.next_in = input.data();
    zs.avail_in = static_cast<uInt>(got > 0 ? got : 0);
    do {
      zs.next_out = output.data();
      zs.avail_out = static_cast<uInt>(kChunk);
      deflate(&zs, flush);
      const int64_t produced = kChunk - zs.avail_out;
      target.WriteBuffer(output.data(), produced);
      written += produced;
    } while (zs.avail_out == 0);
  }
  return written;
}

}  // namespace vyr
