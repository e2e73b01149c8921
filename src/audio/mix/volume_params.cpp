#include "audio/mix/volume_params.h"

#include <algorithm>

#include "audio/decode/wave_format.h"
#include "project/ini/ini.h"

namespace vyr {

void TVolumeParams::SetLevel(double level) {
  level_ = level;
  unity_ = level > 0.99 && level < 1.01;
}

void TVolumeParams::Prepare(int32_t length) {
  std::vector<TVolumeItem> sorted = points_;
  if (!sorted.empty()) sorted.push_back({length, points_.back().volume});
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const TVolumeItem& a, const TVolumeItem& b) { return a.time < b.time; });
  sorted.erase(
      std::unique(sorted.begin(), sorted.end(),
                  [](const TVolumeItem& a, const TVolumeItem& b) { return a.time == b.time; }),
      sorted.end());
  initialVolume_ = points_.empty() ? 1000 : points_.front().volume;
  prepared_.clear();
  int64_t previousPosition = 0;
  int32_t previousVolume = initialVolume_;
  for (const TVolumeItem& point : sorted) {
    TVolumeItem2 p;
    p.position = MixingBytesAt(point.time);
    if (p.position == previousPosition) {
      p.slope = 0;
      p.flat = true;
    } else {
      p.slope = static_cast<double>(point.volume - previousVolume) /
                (static_cast<double>(p.position - previousPosition) * 250.0);
      p.flat = point.volume == previousVolume;
    }
    p.level = point.volume / 1000.0;
    prepared_.push_back(p);
    previousPosition = p.position;
    previousVolume = point.volume;
  }
  if (!prepared_.empty()) prepared_.back().last = true;
  cached_ = 0;
  SetLevel(initialVolume_ / 1000.0);
}

void TVolumeParams::SeekTo(int64_t p) {
  double level = 0;
  for (size_t i = 0; i < prepared_.size(); ++i) {
    if (prepared_[i].position > p) {
      level = prepared_[i].level -
              static_cast<double>(prepared_[i].position - p) * prepared_[i].slope / 4.0;
      cached_ = i;
      break;
    }
  }
  SetLevel(level);
}

bool TVolumeParams::StepTo(int64_t p) {
  if (p < 0) {
    SetLevel(initialVolume_ / 1000.0);
    return false;
  }
  if (prepared_.empty() || prepared_.back().position < p) return true;
  // The segment (prepared_[i - 1].position, prepared_[i].position] holding p.
  auto holds = [&](size_t i) {
    return prepared_[i].position >= p && (i == 0 || prepared_[i - 1].position < p);
  };
  size_t i = cached_;
  if (i >= prepared_.size() || !holds(i)) {
    if (i + 1 < prepared_.size() && holds(i + 1)) {
      ++i;
    } else {
      i = static_cast<size_t>(
          std::lower_bound(prepared_.begin(), prepared_.end(), p,
                           [](const TVolumeItem2& a, int64_t v) { return a.position < v; }) -
          prepared_.begin());
    }
  }
  cached_ = i;
  if (i > 0 && !prepared_[i].flat && prepared_[i].slope != 0) SetLevel(level_ + prepared_[i].slope);
  return false;
}

void TVolumeParams::Read(const TIniFile& ini, const std::string& name) {
  points_.clear();
  for (int j = 0;; ++j) {
    const std::string section = "Vol_" + name + "_" + std::to_string(j);
    const int32_t volume = ReadInt(&ini, section, "1", -1);
    if (volume < 0) break;
    points_.push_back({ReadInt(&ini, section, "0", 0), volume});
  }
}

void TVolumeParams::Write(TIniFile& ini, const std::string& name) const {
  for (size_t j = 0; j < points_.size(); ++j) {
    const std::string section = "Vol_" + name + "_" + std::to_string(j);
    WriteInt(&ini, section, "0", points_[j].time);
    WriteInt(&ini, section, "1", points_[j].volume);
  }
}

TVolumeParams& TVolumeParamsList::NewEnvelope() {
  envelopes_.push_back(std::make_unique<TVolumeParams>());
  return *envelopes_.back();
}

void TVolumeParamsList::Read(const TIniFile& ini, const std::string& name) {
  envelopes_.clear();
  const int32_t count = ReadInt(&ini, name, "FadeCount", 0);
  for (int32_t k = 0; k < count; ++k) NewEnvelope().Read(ini, name + "_" + std::to_string(k));
}

void TVolumeParamsList::Write(TIniFile& ini, const std::string& name) const {
  int32_t count = 0;
  for (const auto& envelope : envelopes_)
    if (!envelope->IsTemporary()) envelope->Write(ini, name + "_" + std::to_string(count++));
  WriteInt(&ini, name, "FadeCount", count);
}

void TVolumeParamsList::Prepare(int32_t length) {
  std::erase_if(envelopes_, [](const auto& e) { return e->IsTemporary(); });
  for (auto& envelope : envelopes_) envelope->Prepare(length);
  if (declick_) {
    TVolumeParams& fade = NewEnvelope();
    fade.SetTemporary(true);
    fade.AddPoint(0, 0);
    fade.AddPoint(10, 1000);
    fade.AddPoint(length - 10, 1000);
    fade.AddPoint(length, 0);
    fade.Prepare(length);
  }
}

void TVolumeParamsList::SeekTo(int64_t position) {
  for (auto& envelope : envelopes_) envelope->SeekTo(position);
}

bool TVolumeParamsList::StepTo(int64_t position) {
  bool allEnded = true;
  for (auto& envelope : envelopes_) allEnded = envelope->StepTo(position) && allEnded;
  return allEnded;
}

double TVolumeParamsList::CombinedGain(bool& allInUnity) const {
  double gain = 1;
  allInUnity = true;
  for (const auto& envelope : envelopes_) {
    if (envelope->InUnityBand()) continue;
    gain *= envelope->Level();
    allInUnity = false;
  }
  return gain;
}

}  // namespace vyr
