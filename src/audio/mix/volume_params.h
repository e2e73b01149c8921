#pragma once
// Volume envelopes: points (time, per mille) prepared into byte positions of the mixing
// format and evaluated frame by frame by the composite mixer. Several envelopes multiply.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vyr {

class TIniFile;

struct TVolumeItem {
  int32_t time = 0;    // ms
  int32_t volume = 0;  // per mille
};

// One prepared point: the segment that ends here.
struct TVolumeItem2 {
  int64_t position = 0;  // bytes of the mixing format, relative to the item's start
  double slope = 0;      // level change per 4-byte frame
  bool flat = false;
  bool last = false;
  double level = 0;  // volume / 1000
};

class TVolumeParams {
 public:
  void AddPoint(int32_t time, int32_t volume) { points_.push_back({time, volume}); }
  size_t PointCount() const { return points_.size(); }
  const std::vector<TVolumeItem>& Points() const { return points_; }
  const std::vector<TVolumeItem2>& Prepared() const { return prepared_; }

  // Prepares the segments for an envelope of length ms.
  void Prepare(int32_t length);
  // The level at byte position p (0 past the last point).
  void SeekTo(int64_t position);
  // One frame further, to position p; true when the envelope has ended.
  bool StepTo(int64_t position);

  double Level() const { return level_; }
  bool InUnityBand() const { return unity_; }
  bool IsTemporary() const { return temporary_; }
  void SetTemporary(bool temporary) { temporary_ = temporary; }

  // Points as sections "Vol_" + name + "_" + j with keys "0" (time) and "1" (volume).
  void Read(const TIniFile& ini, const std::string& name);
  void Write(TIniFile& ini, const std::string& name) const;

 private:
  void SetLevel(double level);

  std::vector<TVolumeItem> points_;
  std::vector<TVolumeItem2> prepared_;
  double level_ = 1.0;
  bool unity_ = true;
  size_t cached_ = 0;
  bool temporary_ = false;
  int32_t initialVolume_ = 1000;
};

class TVolumeParamsList {
 public:
  explicit TVolumeParamsList(bool declick) : declick_(declick) {}

  TVolumeParams& NewEnvelope();
  size_t Count() const { return envelopes_.size(); }
  TVolumeParams& Envelope(size_t index) { return *envelopes_[index]; }
  const TVolumeParams& Envelope(size_t index) const { return *envelopes_[index]; }
  bool HasDeclick() const { return declick_; }

  // "FadeCount" in section name, envelope k under name + "_" + k.
  void Read(const TIniFile& ini, const std::string& name);
  void Write(TIniFile& ini, const std::string& name) const;

  // Prepares every envelope for length ms; with de-click adds the temporary envelope
  // that fades in over the first 10 ms and out over the last 10 ms.
  void Prepare(int32_t length);
  void SeekTo(int64_t position);
  // True when every envelope has ended.
  bool StepTo(int64_t position);
  // Product of the levels outside the unity band; allInUnity when there is none.
  double CombinedGain(bool& allInUnity) const;

 private:
  std::vector<std::unique_ptr<TVolumeParams>> envelopes_;
  bool declick_;
};

}  // namespace vyr
