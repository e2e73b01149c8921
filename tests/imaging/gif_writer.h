#pragma once
// A tiny GIF writer from the GIF format for cases no tool writes on purpose (a clear code
// before every pixel keeps the LZW trivial).

#include <cstdint>
#include <vector>

namespace vyr::testing {

class TGifWriter {
 public:
  TGifWriter(int width, int height, std::vector<uint32_t> palette, int background = 0,
             const char* version = "89a") {
    bytes_.insert(bytes_.end(), {'G', 'I', 'F'});
    bytes_.insert(bytes_.end(), version, version + 3);
    Put16(width);
    Put16(height);
    bytes_.push_back(static_cast<uint8_t>(0x80 | 0x70 | 7));  // 256-entry global table
    bytes_.push_back(static_cast<uint8_t>(background));
    bytes_.push_back(0);
    palette.resize(256, 0);
    for (uint32_t c : palette) Rgb(c);
  }
  void Loop(int repeat) {
    bytes_.insert(bytes_.end(), {0x21, 0xFF, 11});
    const char id[] = "NETSCAPE2.0";
    bytes_.insert(bytes_.end(), id, id + 11);
    bytes_.insert(bytes_.end(), {3, 1});
    Put16(repeat);
    bytes_.push_back(0);
  }
  void Control(int disposal, int delay, int transparent = -1) {
    bytes_.insert(bytes_.end(), {0x21, 0xF9, 4});
    bytes_.push_back(static_cast<uint8_t>(disposal << 2 | (transparent >= 0 ? 1 : 0)));
    Put16(delay);
    bytes_.push_back(static_cast<uint8_t>(transparent >= 0 ? transparent : 0));
    bytes_.push_back(0);
  }
  // Indices row by row; codes replaces the LZW stream when given.
  void Image(int left, int top, int width, int height, const std::vector<uint8_t>& indices,
             const std::vector<int>& codes = {}) {
    bytes_.push_back(0x2C);
    Put16(left);
    Put16(top);
    Put16(width);
    Put16(height);
    bytes_.push_back(0);
    bytes_.push_back(8);  // minimum code size
    std::vector<int> stream = codes;
    if (stream.empty()) {
      for (uint8_t i : indices) stream.insert(stream.end(), {256, i});
      stream.push_back(257);
    }
    std::vector<uint8_t> packed;
    uint32_t bits = 0;
    int count = 0;
    for (int code : stream) {
      bits |= static_cast<uint32_t>(code) << count;
      count += 9;
      while (count >= 8) {
        packed.push_back(static_cast<uint8_t>(bits));
        bits >>= 8;
        count -= 8;
      }
    }
    if (count > 0) packed.push_back(static_cast<uint8_t>(bits));
    for (size_t at = 0; at < packed.size(); at += 255) {
      const size_t n = std::min<size_t>(255, packed.size() - at);
      bytes_.push_back(static_cast<uint8_t>(n));
      bytes_.insert(bytes_.end(), packed.begin() + static_cast<long>(at),
                    packed.begin() + static_cast<long>(at + n));
    }
    bytes_.push_back(0);
  }
  std::vector<uint8_t> Finish() {
    bytes_.push_back(0x3B);
    return bytes_;
  }

 private:
  void Put16(int v) {
    bytes_.push_back(static_cast<uint8_t>(v));
    bytes_.push_back(static_cast<uint8_t>(v >> 8));
  }
  void Rgb(uint32_t c) {
    bytes_.insert(bytes_.end(), {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8),
                                 static_cast<uint8_t>(c)});
  }
  std::vector<uint8_t> bytes_;
};

}  // namespace vyr::testing
