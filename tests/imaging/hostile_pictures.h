#pragma once
// Small files that claim enormous pictures, made by code from the formats: each passes the
// decoders' old data-versus-size checks, so only the pixel budget stops it.

#include <zlib.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "gif_writer.h"

namespace vyr::testing {

inline void Put16Le(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Put32Le(std::vector<uint8_t>& out, uint32_t v) {
  Put16Le(out, v & 0xFFFF);
  Put16Le(out, v >> 16);
}
inline void Put16Be(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v >> 8));
  out.push_back(static_cast<uint8_t>(v));
}
inline void Put32Be(std::vector<uint8_t>& out, uint32_t v) {
  Put16Be(out, v >> 16);
  Put16Be(out, v & 0xFFFF);
}

inline std::vector<uint8_t> RawDeflate(const std::vector<uint8_t>& in) {
  z_stream z{};
  deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
  std::vector<uint8_t> out(deflateBound(&z, in.size()));
  z.next_in = const_cast<Bytef*>(in.data());
  z.avail_in = static_cast<uInt>(in.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

// A picture container ("QZGF"): the fields, then the payload.
inline std::vector<uint8_t> Container(
    const std::vector<std::pair<std::string, std::string>>& fields,
    const std::vector<uint8_t>& payload) {
  std::vector<uint8_t> c = {'Q', 'Z', 'G', 'F', static_cast<uint8_t>(fields.size()), 0};
  auto text = [&](const std::string& s) {
    Put16Le(c, static_cast<uint32_t>(s.size()));
    c.insert(c.end(), s.begin(), s.end());
  };
  for (const auto& [name, value] : fields) {
    text(name);
    text(value);
  }
  c.insert(c.end(), payload.begin(), payload.end());
  return c;
}

// One image of width x height whose LZW data is `codes` clear codes (a megabyte of them
// backs 2^32 pixels at LZW's best ratio).
inline std::vector<uint8_t> HugeGif(int width, int height, size_t codes = 1000000) {
  TGifWriter gif(width, height, {0xFF0000});
  gif.Image(0, 0, width, height, {}, std::vector<int>(codes, 256));
  return gif.Finish();
}

// An animation of `frames` one-pixel frames.
inline std::vector<uint8_t> TinyFramesGif(int frames) {
  TGifWriter gif(1, 1, {0xFF0000});
  gif.Loop(0);
  for (int i = 0; i < frames; ++i) gif.Image(0, 0, 1, 1, {0});
  return gif.Finish();
}

// An 8-bit run-length BMP of width x height with `bytes` of runs.
inline std::vector<uint8_t> RleBmp(int32_t width, int32_t height, uint32_t bytes) {
  std::vector<uint8_t> b = {'B', 'M'};
  const uint32_t offset = 14 + 40 + 256 * 4;
  Put32Le(b, offset + bytes);
  Put32Le(b, 0);
  Put32Le(b, offset);
  for (uint32_t v : {40u, static_cast<uint32_t>(width), static_cast<uint32_t>(height)})
    Put32Le(b, v);
  Put16Le(b, 1);                                                 // planes
  Put16Le(b, 8);                                                 // bits
  for (uint32_t v : {1u, bytes, 0u, 0u, 0u, 0u}) Put32Le(b, v);  // RLE8, sizes, colours
  b.resize(offset, 0);
  for (uint32_t i = 0; i < bytes / 2; ++i) b.insert(b.end(), {255, 1});
  return b;
}

// A PNG of width x height (8-bit RGBA) holding one compressed row, padded out by an ancillary
// chunk of `padding` bytes.
inline std::vector<uint8_t> PaddedPng(uint32_t width, uint32_t height, uint32_t padding) {
  std::vector<uint8_t> p = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  auto chunk = [&](const char* type, const std::vector<uint8_t>& data) {
    Put32Be(p, static_cast<uint32_t>(data.size()));
    const size_t start = p.size();
    p.insert(p.end(), type, type + 4);
    p.insert(p.end(), data.begin(), data.end());
    Put32Be(p, static_cast<uint32_t>(crc32(0, &p[start], static_cast<uInt>(p.size() - start))));
  };
  std::vector<uint8_t> header;
  Put32Be(header, width);
  Put32Be(header, height);
  header.insert(header.end(), {8, 6, 0, 0, 0});
  chunk("IHDR", header);
  std::vector<uint8_t> row(1 + size_t{width} * 4, 0);
  std::vector<uint8_t> idat(compressBound(static_cast<uLong>(row.size())));
  uLongf size = static_cast<uLongf>(idat.size());
  compress(idat.data(), &size, row.data(), static_cast<uLong>(row.size()));
  idat.resize(size);
  chunk("IDAT", idat);
  chunk("zzPd", std::vector<uint8_t>(padding, 0));
  chunk("IEND", {});
  return p;
}

// The header of a grey baseline JPEG of width x height (what libjpeg reads before decoding),
// then `dataBytes` of scan data and the end marker. A component table other than 0 names one the
// file does not define: the header reads, and libjpeg refuses the data when decoding starts.
inline std::vector<uint8_t> JpegHeader(uint16_t width, uint16_t height, size_t dataBytes,
                                       uint8_t componentTable = 0) {
  std::vector<uint8_t> j = {0xFF, 0xD8, 0xFF, 0xDB};
  Put16Be(j, 67);
  j.push_back(0);
  j.insert(j.end(), 64, 1);  // quantisation table 0
  j.insert(j.end(), {0xFF, 0xC0});
  Put16Be(j, 11);
  j.push_back(8);
  Put16Be(j, height);
  Put16Be(j, width);
  j.insert(j.end(), {1, 1, 0x11, componentTable});  // one component, no subsampling
  j.insert(j.end(), {0xFF, 0xDA});
  Put16Be(j, 8);
  j.insert(j.end(), {1, 1, 0x00, 0, 63, 0});
  j.insert(j.end(), dataBytes, 0);
  j.insert(j.end(), {0xFF, 0xD9});
  return j;
}

}  // namespace vyr::testing
