#pragma once
// Composite descriptions: the composite marker followed by INI text naming the sound
// files of one mixed time line, with their places, lengths and volume envelopes.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "audio/decode/media_info.h"
#include "audio/mix/volume_params.h"

namespace vyr {

class TIniFile;

inline constexpr std::string_view kCompositeMarker = "9213AB40-17BB-458F-9C4C-1806F44BEB65";

// Non-empty and beginning with the marker.
bool IsCompositeDescription(std::string_view name);

class TCompositeItem {
 public:
  TCompositeItem() : volumes_(true) {}
  virtual ~TCompositeItem() = default;

  std::string fileName;
  int32_t timeLine = 0;   // ms on the mix's time line
  int32_t beginTime = 0;  // ms into the file
  int32_t duration = 0;   // ms

  TVolumeParamsList& Volumes() { return volumes_; }
  const TVolumeParamsList& Volumes() const { return volumes_; }
  TVolumeParams& NewEnvelope() { return volumes_.NewEnvelope(); }

  // Section index (decimal): false for an empty file name or a FadeCount out of range.
  bool Read(const TIniFile& ini, int index);
  void Write(TIniFile& ini, int index, int32_t timeLineOffset) const;
  // A "VolumeParams" text (position:volume pairs in samples and 16.16 fixed point) as
  // one more envelope, with times relative to startTime.
  void ParseVolumeParams(std::string_view text, int32_t startTime);

 private:
  TVolumeParamsList volumes_;
};

class TCompositeParams {
 public:
  TCompositeParams() = default;
  virtual ~TCompositeParams() = default;

  int32_t duration = 0;

  // Reads one or more descriptions (merged one after another); false when the result has
  // no item or no positive duration.
  bool LoadFromText(std::string_view text);
  // The description; empty when writing fails.
  std::string SaveToText() const;

  TCompositeItem& AddItem(const std::string& fileName, int32_t timeLine);
  size_t ItemCount() const { return items_.size(); }
  TCompositeItem& Item(size_t index) { return *items_[index]; }
  const TCompositeItem& Item(size_t index) const { return *items_[index]; }
  void RemoveItem(size_t index) { items_.erase(items_.begin() + static_cast<ptrdiff_t>(index)); }
  // Master envelopes, created on demand (none: nullptr from HasMaster).
  TVolumeParamsList& MasterVolumes();
  const TVolumeParamsList* Master() const { return master_.get(); }

  // The record a mixer of this description has: kind Composite, the duration, mixing format.
  TMediaInfo MediaInfo() const;

 protected:
  virtual std::unique_ptr<TCompositeItem> CreateItem() const {
    return std::make_unique<TCompositeItem>();
  }

 private:
  std::vector<std::unique_ptr<TCompositeItem>> items_;
  std::unique_ptr<TVolumeParamsList> master_;
};

}  // namespace vyr
