#include "package/container/package_trailer.h"

#include <cstring>

#include "package/container/package_layout.h"

namespace vyr {

namespace {

bool ReadAt(TStream& file, int64_t position, void* buffer, int64_t count) {
  file.Seek(position);
  auto* out = static_cast<uint8_t*>(buffer);
  int64_t done = 0;
  while (done < count) {
    const int64_t got = file.Read(out + done, count - done);
    if (got <= 0) return false;
    done += got;
  }
  return true;
}

bool MagicAt(TStream& file, int64_t position) {
  char magic[4];
  return ReadAt(file, position, magic, 4) && std::memcmp(magic, kTrailerMagic.data(), 4) == 0;
}

bool ReadInt64At(TStream& file, int64_t position, int64_t& value) {
  uint8_t bytes[8];
  if (!ReadAt(file, position, bytes, 8)) return false;
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | bytes[i];
  value = static_cast<int64_t>(v);
  return true;
}

}  // namespace

TPackageTrailer ReadPackageTrailer(TStream& file) {
  TPackageTrailer trailer;
  const int64_t size = file.Size();
  if (size >= kShortTrailerSize && MagicAt(file, size - 4)) {
    trailer.end = size;
  } else if (size >= kLongTrailerSize && MagicAt(file, size - 12)) {
    trailer.longForm = true;
    trailer.end = size - 8;
    int64_t v = 0;
    if (!ReadInt64At(file, size - 8, v)) return trailer;
    if (__builtin_sub_overflow(trailer.end, v, &trailer.base)) {
      trailer.status = TPackageTrailer::Status::Damaged;
      return trailer;
    }
  } else {
    return trailer;
  }
  int64_t s = 0;
  if (!ReadInt64At(file, trailer.end - 12, s)) return trailer;
  const int64_t directoryEnd = trailer.end - 12;
  if (__builtin_add_overflow(s, trailer.base, &trailer.directoryOffset) ||
      trailer.directoryOffset < 0 || trailer.directoryOffset > directoryEnd) {
    trailer.status = TPackageTrailer::Status::Damaged;
    return trailer;
  }
  trailer.directorySize = directoryEnd - trailer.directoryOffset;
  trailer.status = TPackageTrailer::Status::Found;
  return trailer;
}

}  // namespace vyr
