#include "audio/mix/composite_params.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "project/ini/ini.h"

namespace vyr {

namespace {
constexpr int32_t kMaxFadeCount = 1000000;
constexpr std::string_view kMain = "Main";
constexpr std::string_view kMainVolume = "MainVolume";
}  // namespace

bool IsCompositeDescription(std::string_view name) { return name.starts_with(kCompositeMarker); }

bool TCompositeItem::Read(const TIniFile& ini, int index) {
  const std::string section = std::to_string(index);
  fileName = ReadText(&ini, section, "FileName", "");
  const int32_t fades = ReadInt(&ini, section, "FadeCount", 0);
  if (fileName.empty() || fades < 0 || fades > kMaxFadeCount) return false;
  timeLine = ReadInt(&ini, section, "TimeLine", 0);
  beginTime = ReadInt(&ini, section, "BeginTime", 0);
  duration = ReadInt(&ini, section, "Duration", 0);
  volumes_.Read(ini, section);
  return true;
}

void TCompositeItem::Write(TIniFile& ini, int index, int32_t timeLineOffset) const {
  const std::string section = std::to_string(index);
  WriteText(&ini, section, "FileName", fileName);
  WriteInt(&ini, section, "TimeLine", int64_t{timeLine} + timeLineOffset);
  WriteInt(&ini, section, "BeginTime", beginTime);
  WriteInt(&ini, section, "Duration", duration);
  volumes_.Write(ini, section);
}

void TCompositeItem::ParseVolumeParams(std::string_view text, int32_t startTime) {
  TVolumeParams* envelope = nullptr;
  bool havePrevious = false;
  int64_t previousTime = 0;
  int64_t previousRelative = 0;
  int32_t previousVolume = 0;
  while (!text.empty()) {
    const size_t comma = text.find(',');
    const std::string_view pair = text.substr(0, comma);
    text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
    const size_t colon = pair.find(':');
    if (colon == std::string_view::npos) continue;
    int64_t samples = 0, fixed = 0;
    if (!ParseInt64(pair.substr(0, colon), samples) || !ParseInt64(pair.substr(colon + 1), fixed))
      continue;
    int64_t time = std::llround(samples / 44100.0 * 1000.0);
    const int32_t volume = static_cast<int32_t>(std::lround(fixed / 65536.0 * 1000.0));
    if (havePrevious && time <= previousTime) time = previousTime + 1;
    const int64_t relative = time - startTime;
    if (!envelope) envelope = &NewEnvelope();
    if (relative >= duration) {
      int32_t atEnd = volume;
      if (havePrevious && relative != previousRelative) {
        const double f = static_cast<double>(duration - previousRelative) /
                         static_cast<double>(relative - previousRelative);
        atEnd = static_cast<int32_t>(std::lround(previousVolume + (volume - previousVolume) * f));
      }
      envelope->AddPoint(duration, atEnd);
      return;
    }
    envelope->AddPoint(static_cast<int32_t>(relative), volume);
    havePrevious = true;
    previousTime = time;
    previousRelative = relative;
    previousVolume = volume;
  }
}

TCompositeItem& TCompositeParams::AddItem(const std::string& fileName, int32_t timeLine) {
  items_.push_back(CreateItem());
  items_.back()->fileName = fileName;
  items_.back()->timeLine = timeLine;
  return *items_.back();
}

TVolumeParamsList& TCompositeParams::MasterVolumes() {
  if (!master_) master_ = std::make_unique<TVolumeParamsList>(false);
  return *master_;
}

bool TCompositeParams::LoadFromText(std::string_view text) {
  items_.clear();
  master_.reset();
  duration = 0;
  int64_t total = 0;
  size_t at = text.find(kCompositeMarker);
  while (at != std::string_view::npos) {
    const size_t begin = at + kCompositeMarker.size();
    const size_t next = text.find(kCompositeMarker, begin);
    const std::string_view block =
        text.substr(begin, next == std::string_view::npos ? std::string_view::npos : next - begin);
    at = next;

    auto ini = MakeRef<TIniFile>();
    ini->LoadFromUtf8(block);
    for (int i = 0;; ++i) {
      std::unique_ptr<TCompositeItem> item = CreateItem();
      if (!item->Read(*ini, i)) break;
      item->timeLine =
          static_cast<int32_t>(std::clamp<int64_t>(item->timeLine + total, INT32_MIN, INT32_MAX));
      items_.push_back(std::move(item));
    }
    if (FindSection(ini.Get(), kMainVolume)) {
      master_ = std::make_unique<TVolumeParamsList>(false);
      master_->Read(*ini, std::string(kMainVolume));
    }
    total += ReadInt(ini.Get(), kMain, "Duration", 0);
  }
  duration = static_cast<int32_t>(std::clamp<int64_t>(total, INT32_MIN, INT32_MAX));
  return duration > 0 && !items_.empty();
}

std::string TCompositeParams::SaveToText() const {
  try {
    auto ini = MakeRef<TIniFile>();
    WriteInt(ini.Get(), kMain, "Duration", duration);
    for (size_t i = 0; i < items_.size(); ++i) items_[i]->Write(*ini, static_cast<int>(i), 0);
    if (master_ && master_->Count() > 0) master_->Write(*ini, std::string(kMainVolume));
    return std::string(kCompositeMarker) + ini->SaveToBytes(false);
  } catch (const std::exception&) {
    return {};
  }
}

TMediaInfo TCompositeParams::MediaInfo() const {
  TMediaInfo info;
  info.kind = TFormatKind::Composite;
  info.duration = duration;
  info.wave = MixingFormat();
  return info;
}

}  // namespace vyr
