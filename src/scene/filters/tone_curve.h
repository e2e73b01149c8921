#pragma once
// The tone curve: control points on a 0..255 grid joined by a Catmull-Rom spline and
// sampled into a 256-entry lookup table (the drop shadows' spread profiles).

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vyr {

class TStream;

struct TCurveGridPoint {
  int x = 0;
  int y = 0;
};

class TCurvesData {
 public:
  static constexpr int kPresetCount = 10;

  TCurvesData() { Reset(); }

  // First (0, 0), last (255, 255), no middle points, identity table. The name stays.
  void Reset();
  // Count, first, middle and last points as big-endian 16-bit numbers. Invalid data
  // resets the curve and gives false.
  bool LoadFromStream(TStream& stream);
  // One of the built-in curves 0..9. Any other index clears the name and the preset
  // index and leaves the table as it is (false).
  bool LoadPreset(int index);

  const std::array<uint8_t, 256>& Table() const { return table_; }
  const std::string& Name() const { return name_; }
  int PresetIndex() const { return presetIndex_; }
  TCurveGridPoint First() const { return first_; }
  TCurveGridPoint Last() const { return last_; }
  const std::vector<TCurveGridPoint>& Middle() const { return middle_; }

 private:
  void BuildTable();

  std::string name_;
  int presetIndex_ = -1;
  TCurveGridPoint first_;
  std::vector<TCurveGridPoint> middle_;
  TCurveGridPoint last_;
  std::array<uint8_t, 256> table_{};
};

}  // namespace vyr
