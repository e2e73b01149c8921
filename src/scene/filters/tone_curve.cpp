#include "scene/filters/tone_curve.h"

#include <cmath>
#include <initializer_list>

#include "foundation/stream.h"

namespace vyr {

namespace {

struct TPresetCurve {
  const char* name;
  std::initializer_list<TCurveGridPoint> points;
};

const TPresetCurve kPresets[TCurvesData::kPresetCount] = {
    {"Linear", {{0, 0}, {255, 255}}},
    {"Cone", {{0, 0}, {128, 255}, {255, 0}}},
    {"Cone - Inverted", {{0, 255}, {128, 0}, {255, 255}}},
    {"Cove - Deep", {{1, 63}, {148, 110}, {192, 255}}},
    {"Cove - Shallow", {{0, 127}, {83, 174}, {128, 255}}},
    {"Gaussian", {{0, 0}, {63, 11}, {113, 63}, {146, 194}, {191, 241}, {255, 255}}},
    {"Half Round", {{0, 0}, {27, 84}, {81, 178}, {173, 236}, {255, 255}}},
    {"Ring", {{0, 0}, {86, 255}, {172, 0}, {255, 255}}},
    {"Ring - Double", {{0, 0}, {48, 255}, {105, 0}, {158, 253}, {214, 1}, {255, 255}}},
    {"Tooth", {{0, 0}, {64, 127}, {128, 1}, {193, 127}, {255, 0}}},
};

void PutWord(std::vector<uint8_t>& out, int v) {
  out.push_back(static_cast<uint8_t>(v >> 8));
  out.push_back(static_cast<uint8_t>(v));
}

// A preset in its stored form: 32-bit little-endian name length, the name, the curve data.
std::vector<uint8_t> PresetBytes(const TPresetCurve& preset) {
  std::vector<uint8_t> out;
  const std::string name = preset.name;
  const auto len = static_cast<uint32_t>(name.size());
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(len >> (8 * i)));
  out.insert(out.end(), name.begin(), name.end());
  PutWord(out, static_cast<int>(preset.points.size()));
  for (const TCurveGridPoint& p : preset.points) {
    PutWord(out, p.x);
    PutWord(out, p.y);
  }
  return out;
}

bool ReadWord(TStream& stream, int& value) {
  uint8_t b[2];
  if (stream.Read(b, 2) != 2) return false;
  value = (b[0] << 8) | b[1];
  return true;
}

bool ReadGridPoint(TStream& stream, TCurveGridPoint& p) {
  return ReadWord(stream, p.x) && ReadWord(stream, p.y) && p.x <= 255 && p.y <= 255;
}

int ClampByte(double v) {
  const double r = std::nearbyint(v);
  return r < 0 ? 0 : (r > 255 ? 255 : static_cast<int>(r));
}

}  // namespace

void TCurvesData::Reset() {
  first_ = {0, 0};
  last_ = {255, 255};
  middle_.clear();
  for (int i = 0; i < 256; ++i) table_[i] = static_cast<uint8_t>(i);
}

bool TCurvesData::LoadFromStream(TStream& stream) {
  int count = 0;
  bool valid = ReadWord(stream, count) && count >= 2 && count <= 255;
  TCurveGridPoint first, last;
  std::vector<TCurveGridPoint> middle;
  valid = valid && ReadGridPoint(stream, first);
  for (int i = 0; valid && i < count - 2; ++i) {
    TCurveGridPoint p;
    valid = ReadGridPoint(stream, p);
    middle.push_back(p);
  }
  valid = valid && ReadGridPoint(stream, last);
  Reset();
  if (!valid) return false;
  first_ = first;
  middle_ = std::move(middle);
  last_ = last;
  BuildTable();
  return true;
}

bool TCurvesData::LoadPreset(int index) {
  if (index < 0 || index >= kPresetCount) {
    name_.clear();
    presetIndex_ = -1;
    return false;
  }
  auto stream = MakeRef<TMemoryStream>(PresetBytes(kPresets[index]));
  uint8_t lenBytes[4];
  stream->ReadBuffer(lenBytes, 4);
  const uint32_t len =
      lenBytes[0] | (lenBytes[1] << 8) | (lenBytes[2] << 16) | (uint32_t(lenBytes[3]) << 24);
  if (len > 999999) return false;
  std::string name(len, '\0');
  stream->ReadBuffer(name.data(), len);
  name_ = std::move(name);
  presetIndex_ = index;
  return LoadFromStream(*stream);
}

void TCurvesData::BuildTable() {
  std::vector<TCurveGridPoint> pts{first_};
  for (const TCurveGridPoint& p : middle_) {
    if (p.x != pts.back().x) pts.push_back(p);
  }
  if (last_.x != pts.back().x) pts.push_back(last_);

  const int n = static_cast<int>(pts.size());
  constexpr double h = 0.001;
  for (int j = 0; j + 1 < n; ++j) {
    const TCurveGridPoint& g0 = pts[j > 0 ? j - 1 : j];
    const TCurveGridPoint& g1 = pts[j];
    const TCurveGridPoint& g2 = pts[j + 1];
    const TCurveGridPoint& g3 = pts[j + 2 < n ? j + 2 : j + 1];
    // Catmull-Rom rows: the curve is a t^3 + b t^2 + c t + d per coordinate.
    auto rows = [&](auto coord) {
      const double p0 = coord(g0), p1 = coord(g1), p2 = coord(g2), p3 = coord(g3);
      return std::array<double, 4>{0.5 * (-p0 + 3 * p1 - 3 * p2 + p3),
                                   0.5 * (2 * p0 - 5 * p1 + 4 * p2 - p3), 0.5 * (-p0 + p2), p1};
    };
    const auto cx = rows([](const TCurveGridPoint& p) { return double(p.x); });
    const auto cy = rows([](const TCurveGridPoint& p) { return double(p.y); });
    // Forward differences over 1000 steps of h.
    auto start = [&](const std::array<double, 4>& c) {
      return std::array<double, 4>{c[3], c[0] * h * h * h + c[1] * h * h + c[2] * h,
                                   6 * c[0] * h * h * h + 2 * c[1] * h * h, 6 * c[0] * h * h * h};
    };
    auto fx = start(cx);
    auto fy = start(cy);
    int prevX = -1, prevY = -1;
    for (int step = 0; step <= 1000; ++step) {
      const int x = ClampByte(fx[0]);
      const int y = ClampByte(fy[0]);
      if (x != prevX || y != prevY) {
        table_[x] = static_cast<uint8_t>(y);
        prevX = x;
        prevY = y;
      }
      for (auto* f : {&fx, &fy}) {
        (*f)[0] += (*f)[1];
        (*f)[1] += (*f)[2];
        (*f)[2] += (*f)[3];
      }
    }
  }
  for (int k = 0; k < first_.x; ++k) table_[k] = static_cast<uint8_t>(first_.y);
  for (int k = last_.x; k < 256; ++k) table_[k] = static_cast<uint8_t>(last_.y);
  for (const TCurveGridPoint& p : pts) table_[p.x] = static_cast<uint8_t>(p.y);
}

}  // namespace vyr
