#include "imaging/bitmap/pixel_converter.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>

namespace vyr {

namespace {

// Same format: a plain copy.
class TDirectConvertor : public TPixelConverter {
 public:
  using TPixelConverter::TPixelConverter;
  void Convert(uint8_t* dest, const uint8_t* source, int count) const override {
    if (count > 0)
      std::memmove(dest, source, static_cast<size_t>(count) * source_->BytesPerPixel());
  }
};

class TRGBToRGBA : public TPixelConverter {
 public:
  using TPixelConverter::TPixelConverter;
  void Convert(uint8_t* dest, const uint8_t* source, int count) const override {
    for (int i = 0; i < count; ++i, dest += 4, source += 3) {
      dest[0] = source[0];
      dest[1] = source[1];
      dest[2] = source[2];
      dest[3] = 255;
    }
  }
};

class TRGBAToRGB : public TPixelConverter {
 public:
  using TPixelConverter::TPixelConverter;
  void Convert(uint8_t* dest, const uint8_t* source, int count) const override {
    for (int i = 0; i < count; ++i, dest += 3, source += 4) {
      dest[0] = source[0];
      dest[1] = source[1];
      dest[2] = source[2];
    }
  }
};

class TBGRAToPremulBGRA : public TPixelConverter {
 public:
  using TPixelConverter::TPixelConverter;
  void Convert(uint8_t* dest, const uint8_t* source, int count) const override {
    PremultiplyPixels(dest, source, count);
  }
};

class TR5G6B5ToBGR8 : public TPixelConverter {
 public:
  using TPixelConverter::TPixelConverter;
  void Convert(uint8_t* dest, const uint8_t* source, int count) const override {
    for (int i = 0; i < count; ++i, dest += 3, source += 2) {
      const unsigned v = source[0] | (source[1] << 8);
      dest[0] = static_cast<uint8_t>((v & 31) * 8);
      dest[1] = static_cast<uint8_t>(((v >> 5) & 63) * 4);
      dest[2] = static_cast<uint8_t>((v >> 11) * 8);
    }
  }
};

class TX1R5G5B5ToBGR8 : public TPixelConverter {
 public:
  using TPixelConverter::TPixelConverter;
  void Convert(uint8_t* dest, const uint8_t* source, int count) const override {
    for (int i = 0; i < count; ++i, dest += 3, source += 2) {
      const unsigned v = source[0] | (source[1] << 8);
      dest[0] = static_cast<uint8_t>((v & 31) * 8);
      dest[1] = static_cast<uint8_t>(((v >> 5) & 31) * 8);
      dest[2] = static_cast<uint8_t>(((v >> 10) & 31) * 8);
    }
  }
};

uint32_t LoadPixel(const uint8_t* p, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= uint32_t{p[i]} << (8 * i);
  return v;
}

void StorePixel(uint8_t* p, int bytes, uint32_t v) {
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// One byte (alpha or luminance) repeated into three bytes.
class TAYtoRGBConvertor : public TPixelConverter {
 public:
  using TPixelConverter::TPixelConverter;
  void Convert(uint8_t* dest, const uint8_t* source, int count) const override {
    const int size = dest_->BytesPerPixel();
    for (int i = 0; i < count; ++i, dest += size) {
      const uint8_t v = source[i];
      if (size == 3) {
        dest[0] = dest[1] = dest[2] = v;
        continue;
      }
      // 16-bit colour: the byte's top bits in every colour channel.
      uint32_t packed = 0;
      for (const auto& channel : dest_->Channels())
        if (channel.code != TChannelCode::X)
          packed |= (uint32_t{v} >> (8 - std::min(channel.bits, 8))) << channel.shift;
      StorePixel(dest, size, packed);
    }
  }
};

uint32_t MaskOf(int bits) { return bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1; }

// Channels moved by shifts and masks; a wider channel is filled by a left shift.
class TBitConvertor : public TPixelConverter {
 public:
  TBitConvertor(const TPixelFormat* source, const TPixelFormat* dest)
      : TPixelConverter(source, dest) {
    for (const auto& out : dest->Channels()) {
      if (out.code == TChannelCode::X) continue;
      Move move{0, 0, out.shift, out.bits, 0};
      if (const TPixelChannel* in = source->Channel(out.code)) {
        move.inShift = in->shift;
        move.inMask = MaskOf(in->bits);
        move.widen = out.bits - in->bits;
      } else if (out.code == TChannelCode::A) {
        constant_ |= MaskOf(out.bits) << out.shift;
        continue;
      } else {
        continue;
      }
      moves_.push_back(move);
    }
  }
  void Convert(uint8_t* dest, const uint8_t* source, int count) const override {
    const int inBytes = source_->BytesPerPixel();
    const int outBytes = dest_->BytesPerPixel();
    for (int i = 0; i < count; ++i, source += inBytes, dest += outBytes) {
      const uint32_t in = LoadPixel(source, inBytes);
      uint32_t out = constant_;
      for (const Move& m : moves_) {
        uint32_t v = (in >> m.inShift) & m.inMask;
        v = m.widen >= 0 ? v << m.widen : v >> -m.widen;
        out |= (v & MaskOf(m.outBits)) << m.outShift;
      }
      StorePixel(dest, outBytes, out);
    }
  }

 private:
  struct Move {
    int inShift;
    uint32_t inMask;
    int outShift;
    int outBits;
    int widen;
  };
  std::vector<Move> moves_;
  uint32_t constant_ = 0;
};

// Each destination byte taken from the source byte of the same channel.
class TByteConvertor : public TPixelConverter {
 public:
  TByteConvertor(const TPixelFormat* source, const TPixelFormat* dest)
      : TPixelConverter(source, dest) {
    for (const auto& out : dest->Channels()) {
      const TPixelChannel* in = out.code == TChannelCode::X ? nullptr : source->Channel(out.code);
      for (int b = 0; b < out.bits / 8; ++b) {
        const int outByte = out.shift / 8 + b;
        if (in) {
          // Bytes counted from the channel's most significant end.
          const int fromTop = out.bits / 8 - 1 - b;
          const int inFromTop = std::min(fromTop, in->bits / 8 - 1);
          picks_.push_back({outByte, in->shift / 8 + in->bits / 8 - 1 - inFromTop, 0});
        } else {
          picks_.push_back({outByte, -1, out.code == TChannelCode::A ? uint8_t{255} : uint8_t{0}});
        }
      }
    }
  }
  void Convert(uint8_t* dest, const uint8_t* source, int count) const override {
    const int inBytes = source_->BytesPerPixel();
    const int outBytes = dest_->BytesPerPixel();
    for (int i = 0; i < count; ++i, source += inBytes, dest += outBytes)
      for (const Pick& p : picks_) dest[p.out] = p.in >= 0 ? source[p.in] : p.fill;
  }

 private:
  struct Pick {
    int out;
    int in;
    uint8_t fill;
  };
  std::vector<Pick> picks_;
};

class TConverterTable {
 public:
  TConverterTable() {
    Add<TRGBToRGBA>("B8G8R8", "A8B8G8R8");
    Add<TRGBToRGBA>("R8G8B8", "A8R8G8B8");
    Add<TRGBToRGBA>("R8G8B8", "A8r8g8b8");
    Add<TRGBToRGBA>("B8G8R8", "A8b8g8r8");
    Add<TRGBAToRGB>("A8B8G8R8", "B8G8R8");
    Add<TRGBAToRGB>("A8R8G8B8", "R8G8B8");
    Add<TBGRAToPremulBGRA>("A8R8G8B8", "A8r8g8b8");
    Add<TBGRAToPremulBGRA>("A8B8G8R8", "A8b8g8r8");
    Add<TR5G6B5ToBGR8>("R5G6B5", "R8G8B8");
    Add<TX1R5G5B5ToBGR8>("X1R5G5B5", "R8G8B8");
    for (const char* from : {"A8", "Y8"})
      for (const char* to : {"B8G8R8", "R8G8B8", "B5G6R5", "B5G5R5X1"})
        Add<TAYtoRGBConvertor>(from, to);
  }

  const TPixelConverter* Get(const TPixelFormat* source, const TPixelFormat* dest) {
    const std::string key = source->Name() + "->" + dest->Name();
    std::lock_guard lock(lock_);
    const auto found = converters_.find(key);
    if (found != converters_.end()) return found->second.Get();
    TRef<TPixelConverter> made;
    if (source == dest)
      made = MakeRef<TDirectConvertor>(source, dest);
    else if (source->BitPacked() || dest->BitPacked())
      made = MakeRef<TBitConvertor>(source, dest);
    else
      made = MakeRef<TByteConvertor>(source, dest);
    const TPixelConverter* raw = made.Get();
    converters_.emplace(key, std::move(made));
    return raw;
  }

 private:
  template <class T>
  void Add(const char* source, const char* dest) {
    const TPixelFormat* from = PixelFormat(source);
    const TPixelFormat* to = PixelFormat(dest);
    converters_.emplace(from->Name() + "->" + to->Name(), MakeRef<T>(from, to));
  }

  std::mutex lock_;
  std::unordered_map<std::string, TRef<TPixelConverter>> converters_;
};

TConverterTable& Table() {
  static TConverterTable* table = new TConverterTable;  // lives for the process
  return *table;
}

}  // namespace

void PremultiplyPixels(uint8_t* dest, const uint8_t* source, int count) {
  for (int i = 0; i < count; ++i, dest += 4, source += 4) {
    const unsigned a = source[3];
    if (a == 0) {
      dest[0] = dest[1] = dest[2] = dest[3] = 0;
    } else if (a == 255) {
      std::memmove(dest, source, 4);
    } else {
      dest[0] = static_cast<uint8_t>(source[0] * a >> 8);
      dest[1] = static_cast<uint8_t>(source[1] * a >> 8);
      dest[2] = static_cast<uint8_t>(source[2] * a >> 8);
      dest[3] = static_cast<uint8_t>(a);
    }
  }
}

const TPixelConverter* GetPixelConverter(const TPixelFormat* source, const TPixelFormat* dest) {
  return Table().Get(source, dest);
}

}  // namespace vyr
