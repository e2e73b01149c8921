#include "audio/decode/pcm_resampler.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "foundation/exceptions.h"

namespace vyr {

namespace {

int Interpolate(double x0, double x1, double x2, double t) {
  const double y = x0 * (t - 1) * (t - 2) + 2 * x1 * t * (2 - t) + x2 * t * (t - 1);
  const double v = std::trunc(y / 2);
  return static_cast<int>(std::clamp(v, -32768.0, 32767.0));
}

int16_t Le16(const uint8_t* b) { return static_cast<int16_t>(b[0] | (b[1] << 8)); }

}  // namespace

bool TPcmResampler::CanConvert(const TWaveFormat& in, const TWaveFormat& out) {
  const int bits = in.bitsPerSample;
  const bool inOk =
      in.formatTag == kWaveFormatFloat
          ? bits == 32 && (in.channels == 1 || in.channels == 2)
          : (bits == 8 || bits == 16 || bits == 24 || bits == 32) &&
                (in.channels == 1 || in.channels == 2 || (in.channels == 6 && bits == 16));
  const bool outOk = (out.bitsPerSample == 8 || out.bitsPerSample == 16) &&
                     (out.channels == 1 || out.channels == 2);
  return inOk && outOk && in.samplesPerSec > 0 && out.samplesPerSec > 0;
}

TPcmResampler::TPcmResampler(const TWaveFormat& input, const TWaveFormat& output)
    : in_(input), out_(output) {
  VYR_ASSERT_MSG(CanConvert(input, output), "Unsupported resampler format");
  inFrame_ = in_.FrameBytes();
  outFrame_ = out_.FrameBytes();
  step_ = static_cast<double>(in_.samplesPerSec) / out_.samplesPerSec;
}

void TPcmResampler::Reset() {
  position_ = 0;
  prevLeft_[0] = prevLeft_[1] = prevRight_[0] = prevRight_[1] = 0;
}

void TPcmResampler::ReadFrame(const TWaveFormat& f, const uint8_t* p, int& left, int& right) {
  auto sample = [&](int channel) -> int {
    switch (f.bitsPerSample) {
      case 8:
        return (p[channel] - 128) * 256;
      case 16:
        return Le16(p + channel * 2);
      case 24: {
        const uint8_t* s = p + channel * 3;
        const int32_t v = static_cast<int32_t>((uint32_t{s[0]} << 8) | (uint32_t{s[1]} << 16) |
                                               (uint32_t{s[2]} << 24)) >>
                          8;
        return v >> 8;
      }
      default: {
        const uint8_t* s = p + channel * 4;
        if (f.formatTag == kWaveFormatFloat) {
          float v;
          std::memcpy(&v, s, 4);
          if (!std::isfinite(v)) return 0;
          return static_cast<int>(std::lround(std::clamp(v * 32767.0, -1e9, 1e9)));
        }
        int32_t v;
        std::memcpy(&v, s, 4);
        return v >> 16;
      }
    }
  };
  if (f.channels == 1) {
    left = right = sample(0);
  } else if (f.channels == 6) {
    left = sample(0) + sample(1) + sample(3) + sample(5);
    right = sample(1) + sample(2) + sample(4) + sample(5);
  } else {
    left = sample(0);
    right = sample(1);
  }
}

size_t TPcmResampler::OutputSize(size_t inputBytes) const {
  const size_t frames = inputBytes / static_cast<size_t>(inFrame_);
  double o = position_;
  size_t count = 0;
  for (size_t k = 1; k <= frames; ++k) {
    while (static_cast<double>(k) > o) {
      ++count;
      o += step_;
    }
  }
  return count * static_cast<size_t>(outFrame_);
}

size_t TPcmResampler::Convert(const uint8_t* input, size_t inputBytes, uint8_t* out) {
  const size_t frames = inputBytes / static_cast<size_t>(inFrame_);
  uint8_t* w = out;
  for (size_t k = 1; k <= frames; ++k) {
    int l, r;
    ReadFrame(in_, input + (k - 1) * static_cast<size_t>(inFrame_), l, r);
    while (static_cast<double>(k) > position_) {
      const double t = position_ + 2 - static_cast<double>(k);
      int left = Interpolate(prevLeft_[0], prevLeft_[1], l, t);
      int right = in_.channels == 1 ? left : Interpolate(prevRight_[0], prevRight_[1], r, t);
      if (out_.channels == 1) left = right = (left + right) / 2;
      for (int c = 0; c < out_.channels; ++c) {
        const int v = c == 0 ? left : right;
        if (out_.bitsPerSample == 8) {
          *w++ = static_cast<uint8_t>(v / 256 + 128);
        } else {
          *w++ = static_cast<uint8_t>(v & 0xFF);
          *w++ = static_cast<uint8_t>((v >> 8) & 0xFF);
        }
      }
      position_ += step_;
    }
    prevLeft_[0] = prevLeft_[1];
    prevLeft_[1] = l;
    prevRight_[0] = prevRight_[1];
    prevRight_[1] = r;
  }
  position_ -= static_cast<double>(frames);
  return static_cast<size_t>(w - out);
}

}  // namespace vyr
