#include "package/container/crypt_stream.h"

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

#include "foundation/exceptions.h"

namespace vyr {

namespace {
constexpr int64_t kBlock = 4096;

// Sixteen bytes at a time through whole words: the compiler vectorises a plain byte loop only
// at -O3, and the build users run is -O2. memcpy keeps the unaligned loads well defined.
void XorBlock(uint8_t* __restrict data, const uint8_t* __restrict key, int64_t count) {
  int64_t i = 0;
  for (; i + 16 <= count; i += 16) {
    uint64_t d[2], k[2];
    std::memcpy(d, data + i, 16);
    std::memcpy(k, key + i, 16);
    d[0] ^= k[0];
    d[1] ^= k[1];
    std::memcpy(data + i, d, 16);
  }
  for (; i < count; ++i) data[i] ^= key[i];
}

// For keys whose length divides kStride the key lines up the same way with every stride, so
// its bytes stay in registers and the data is the only memory traffic. Returns the bytes done
// (whole strides).
constexpr int64_t kStride = 64;
#if defined(__SSE2__)
int64_t XorStrides(uint8_t* data, const uint8_t* key, int64_t count) {
  const auto load = [](const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  };
  const auto store = [](uint8_t* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
  };
  const __m128i k0 = load(key), k1 = load(key + 16), k2 = load(key + 32), k3 = load(key + 48);
  int64_t i = 0;
  for (; i + kStride <= count; i += kStride) {
    uint8_t* d = data + i;
    store(d, _mm_xor_si128(load(d), k0));
    store(d + 16, _mm_xor_si128(load(d + 16), k1));
    store(d + 32, _mm_xor_si128(load(d + 32), k2));
    store(d + 48, _mm_xor_si128(load(d + 48), k3));
  }
  return i;
}

// The same with 32-byte registers, chosen at run time: the build targets plain x86-64.
__attribute__((target("avx2"))) int64_t XorStridesAvx2(uint8_t* data, const uint8_t* key,
                                                       int64_t count) {
  const __m256i k0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(key));
  const __m256i k1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(key + 32));
  int64_t i = 0;
  for (; i + kStride <= count; i += kStride) {
    auto* d = reinterpret_cast<__m256i*>(data + i);
    _mm256_storeu_si256(d, _mm256_xor_si256(_mm256_loadu_si256(d), k0));
    _mm256_storeu_si256(d + 1, _mm256_xor_si256(_mm256_loadu_si256(d + 1), k1));
  }
  return i;
}

int64_t XorStridesBest(uint8_t* data, const uint8_t* key, int64_t count) {
  static const bool avx2 = __builtin_cpu_supports("avx2");
  return avx2 ? XorStridesAvx2(data, key, count) : XorStrides(data, key, count);
}
#else
int64_t XorStrides(uint8_t* data, const uint8_t* key, int64_t count) {
  const int64_t whole = count / kStride * kStride;
  for (int64_t i = 0; i < whole; i += kStride) XorBlock(data + i, key, kStride);
  return whole;
}
int64_t XorStridesBest(uint8_t* data, const uint8_t* key, int64_t count) {
  return XorStrides(data, key, count);
}
#endif
}  // namespace

TKeyStream::TKeyStream(std::string_view key) : keyLength_(key.size()) {
  VYR_ASSERT_MSG(!key.empty(), "Empty crypt key");
  while (pattern_.size() < static_cast<size_t>(kBlock) + keyLength_) pattern_.append(key);
}

void TKeyStream::Apply(uint8_t* data, int64_t count, int64_t position) const {
  size_t offset = static_cast<size_t>(position % static_cast<int64_t>(keyLength_));
  const auto* pattern = reinterpret_cast<const uint8_t*>(pattern_.data());
  if (kStride % static_cast<int64_t>(keyLength_) == 0) {
    const int64_t done = XorStridesBest(data, pattern + offset, count);
    // Whole strides leave the key where it was.
    XorBlock(data + done, pattern + offset, count - done);
    return;
  }
  while (count > 0) {
    const int64_t n = std::min(count, kBlock);
    XorBlock(data, pattern + offset, n);
    data += n;
    count -= n;
    offset = (offset + static_cast<size_t>(n)) % keyLength_;
  }
}

TCryptStream::TCryptStream(TRef<TStream> inner, std::string_view key)
    : inner_(std::move(inner)), key_(key) {
  VYR_ASSERT(inner_);
}

int64_t TCryptStream::Read(void* buffer, int64_t count) {
  // One read for the whole request (the window reads its chunks itself), then the key.
  // XORing piece by piece as the pieces arrive was measured slower than one pass.
  const int64_t position = inner_->Position();
  const int64_t got = inner_->Read(buffer, count);
  if (got > 0) key_.Apply(static_cast<uint8_t*>(buffer), got, position);
  return std::max<int64_t>(got, 0);
}

int64_t TCryptStream::Write(const void* buffer, int64_t count) {
  const auto* in = static_cast<const uint8_t*>(buffer);
  std::vector<uint8_t> copy(static_cast<size_t>(std::clamp<int64_t>(count, 0, 65536)));
  int64_t done = 0;
  while (done < count) {
    const int64_t n = std::min<int64_t>(count - done, static_cast<int64_t>(copy.size()));
    std::memcpy(copy.data(), in + done, static_cast<size_t>(n));
    key_.Apply(copy.data(), n, inner_->Position());
    const int64_t put = inner_->Write(copy.data(), n);
    if (put > 0) done += put;
    if (put < n) break;
  }
  return done;
}

}  // namespace vyr
