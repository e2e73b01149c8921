#include "package/container/inflate_stream.h"

#include <algorithm>
#include <climits>
#include <string>

#include "package/container/package_errors.h"

namespace vyr {

namespace {

// What zlib says about a failure; zlib's own gz reader words a premature end this way.
std::string ZlibMessage(const z_stream& zs, int code) {
  if (zs.msg) return zs.msg;
  if (code == Z_BUF_ERROR) return "unexpected end of file";
  return zError(code);
}

}  // namespace

TInflateStream::TInflateStream(TRef<TStream> source, int64_t size)
    : source_(std::move(source)), size_(size), input_(kInputBufferSize) {
  VYR_ASSERT(source_);
  const int code = inflateInit2(&zs_, -15);
  if (code != Z_OK) throw EInflateError(ZlibMessage(zs_, code));
}

TInflateStream::~TInflateStream() { inflateEnd(&zs_); }

bool TInflateStream::Refill() {
  if (sourceEnded_) return false;
  const int64_t got = source_->Read(input_.data(), kInputBufferSize);
  if (got <= 0) {
    sourceEnded_ = true;
    return false;
  }
  zs_.next_in = input_.data();
  zs_.avail_in = static_cast<uInt>(got);
  return true;
}

int64_t TInflateStream::Read(void* buffer, int64_t count) {
  auto* out = static_cast<uint8_t*>(buffer);
  int64_t done = 0;
  while (done < count && !finished_) {
    if (zs_.avail_in == 0 && !Refill()) throw EInflateError(ZlibMessage(zs_, Z_BUF_ERROR));
    zs_.next_out = out + done;
    zs_.avail_out = static_cast<uInt>(std::min<int64_t>(count - done, UINT_MAX));
    const uInt before = zs_.avail_out;
    const int code = inflate(&zs_, Z_NO_FLUSH);
    done += before - zs_.avail_out;
    if (code == Z_STREAM_END) {
      finished_ = true;
    } else if (code != Z_OK && code != Z_BUF_ERROR) {
      throw EInflateError(ZlibMessage(zs_, code));
    }
  }
  position_ += done;
  return done;
}

int64_t TInflateStream::Seek(int64_t position) {
  if (position != position_) throw EZStreamError(kInvalidZStreamOperation);
  return position_;
}

int64_t TInflateStream::Write(const void*, int64_t) {
  throw EZStreamError(kInvalidZStreamOperation);
}

void TInflateStream::SetSize(int64_t) { throw EZStreamError(kInvalidZStreamOperation); }

TRef<TBlockStream> InflateToMemory(TRef<TStream> source, int64_t limit) {
  const int64_t compressed = std::max<int64_t>(source->Size() - source->Position(), 0);
  auto inflater = MakeRef<TInflateStream>(std::move(source));
  auto block = MakeRef<TBlockStream>();
  // A first guess from the compressed size; growth follows what really inflates.
  limit = std::max<int64_t>(limit, 1);
  int64_t capacity = compressed < limit / 4 ? compressed * 4 : limit;
  capacity = std::min<int64_t>(std::max<int64_t>(capacity, 4096), limit);
  int64_t used = 0;
  for (;;) {
    uint8_t* data = block->Reserve(capacity);
    used += inflater->Read(data + used, capacity - used);
    if (inflater->Finished()) break;
    if (capacity >= limit) {
      // One byte more tells an exact fit from an overflow.
      uint8_t probe = 0;
      if (inflater->Read(&probe, 1) == 0 && inflater->Finished()) break;
      throw EInflateError("Inflated data larger than " + std::to_string(limit) + " bytes");
    }
    capacity = capacity > limit / 2 ? limit : capacity * 2;
  }
  block->SetUsed(used);
  return block;
}

}  // namespace vyr
