#include "audio/mix/composite_converter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/decode/converter_factory.h"

namespace vyr {

namespace {

void SortByTimeLine(std::vector<TCompositeItem2*>& items) {
  std::stable_sort(
      items.begin(), items.end(),
      [](const TCompositeItem2* a, const TCompositeItem2* b) { return a->timeLine < b->timeLine; });
}

int16_t ReadSample(const uint8_t* p) { return static_cast<int16_t>(p[0] | (p[1] << 8)); }

}  // namespace

bool TCompositeConverter::Open(const TMediaInfo& info) {
  if (!params_.LoadFromText(description_)) return false;
  waiting_.clear();
  for (size_t i = 0; i < params_.ItemCount(); ++i) {
    TCompositeItem2& item = params_.Item2(i);
    const int32_t room = params_.duration - item.timeLine;
    const int32_t length = item.duration > 0 ? std::min(item.duration, room) : room;
    item.Volumes().Prepare(length);
    waiting_.push_back(&item);
  }
  params_.MasterVolumes().Prepare(params_.duration);
  SortByTimeLine(waiting_);
  TMediaInfo record = info;
  record.kind = TFormatKind::Composite;
  record.duration = params_.duration;
  record.wave = MixingFormat();
  TWavConverter::Open(record);
  blockSize_ = kBlockBytes;
  block_.SetFormat(MixingFormat());
  block_.MakeRoom(kBlockBytes);
  return true;
}

void TCompositeConverter::Dispose() {
  for (size_t i = 0; i < params_.ItemCount(); ++i) CloseItem(params_.Item2(i));
  TWavConverter::Dispose();
}

int64_t TCompositeConverter::ItemEnd(const TCompositeItem2& item) const {
  if (item.duration > 0) return int64_t{item.timeLine} + item.duration;
  if (item.opened) return int64_t{item.timeLine} + item.info.duration + 10000;
  return INT64_MAX;  // unknown until the file is open
}

bool TCompositeConverter::OpenItem(TCompositeItem2& item) {
  if (item.opened) return true;
  item.converter = OpenSoundConverter(item.fileName, &item.info, open_);
  if (!item.converter) return false;
  item.converter->SetOutputFormat(MixingFormat());
  item.opened = true;
  return true;
}

void TCompositeConverter::CloseItem(TCompositeItem2& item) {
  item.converter.Reset();
  item.stream.Reset();
  item.opened = false;
}

void TCompositeConverter::Seek(double ms) {
  const int64_t a = std::llround(ms);
  for (auto* list : {&ready_, &playing_, &finished_}) {
    for (TCompositeItem2* item : *list) {
      item->startOffset = -1;
      waiting_.push_back(item);
    }
    list->clear();
  }
  SortByTimeLine(waiting_);
  mixPosition_ = MixingBytesAt(a);
  input_.Clear();
  output_.Clear();

  std::vector<TCompositeItem2*> rest;
  size_t i = 0;
  for (; i < waiting_.size(); ++i) {
    TCompositeItem2& item = *waiting_[i];
    const int64_t c = item.timeLine;
    if (ItemEnd(item) <= a) {
      CloseItem(item);
      finished_.push_back(&item);
      continue;
    }
    if (c > a + kOpenAheadMs) break;
    // An item that cannot be opened is silence: it never blocks the items behind it.
    if (!OpenItem(item) || ItemEnd(item) <= a) {
      CloseItem(item);
      finished_.push_back(&item);
      continue;
    }
    item.Volumes().SeekTo(MixingBytesAt(a - c));
    if (c < a) {
      item.converter->Seek(static_cast<double>(std::max<int64_t>(item.beginTime + (a - c), 0)));
      playing_.push_back(&item);
    } else {
      item.converter->Seek(item.beginTime);
      ready_.push_back(&item);
    }
  }
  rest.assign(waiting_.begin() + static_cast<ptrdiff_t>(i), waiting_.end());
  waiting_ = std::move(rest);
  position_ = static_cast<double>(a);
}

void TCompositeConverter::MixItem(TCompositeItem2& item, bool& finished) {
  int firstFrame = 0;
  if (item.startOffset >= 0) firstFrame = static_cast<int>((item.startOffset + 3) / 4);
  item.startOffset = -1;
  const int frames = kBlockFrames - firstFrame;
  if (frames <= 0) return;
  const size_t bytes = static_cast<size_t>(frames) * 4;
  const bool ended = !item.converter->Fill(bytes);
  const int64_t itemStart = MixingBytesAt(item.timeLine);
  const int64_t relative = mixPosition_ + int64_t{firstFrame} * 4 - itemStart;
  TVolumeParamsList& volumes = item.Volumes();
  volumes.SeekTo(relative);
  const uint8_t* pcm = item.converter->Output().Data();
  int32_t* acc = accumulator_.data() + firstFrame * 2;
  bool envelopesEnded = false;
  for (int f = 0; f < frames; ++f) {
    const int64_t p = relative + int64_t{f} * 4;
    if (volumes.StepTo(p + 1)) {
      envelopesEnded = true;
      break;
    }
    bool unity;
    double g = volumes.CombinedGain(unity);
    if (g > 10) {
      volumes.SeekTo(p);
      volumes.StepTo(p + 1);
      g = volumes.CombinedGain(unity);
    }
    for (int c = 0; c < 2; ++c) {
      const int s = ReadSample(pcm + f * 4 + c * 2);
      int32_t& sum = acc[f * 2 + c];
      if (unity || (g >= 0.99 && g < 1.01))
        sum += s;
      else if (g > 0.00001)
        sum += static_cast<int32_t>(std::lround(g * s));
    }
  }
  item.converter->Output().Consume(bytes);
  finished = ended || envelopesEnded;
}

void TCompositeConverter::ApplyMasterAndStore() {
  const TVolumeParamsList* master = params_.Master();
  const bool hasMaster = master && master->Count() > 0;
  if (hasMaster) params_.MasterVolumes().SeekTo(mixPosition_);
  block_.Clear();
  block_.MakeRoom(kBlockBytes);
  uint8_t* out = block_.FreePart();
  for (int f = 0; f < kBlockFrames; ++f) {
    bool unity = true;
    double d = 1;
    if (hasMaster) {
      params_.MasterVolumes().StepTo(mixPosition_ + int64_t{f} * 4);
      d = params_.MasterVolumes().CombinedGain(unity);
    }
    for (int c = 0; c < 2; ++c) {
      int64_t v = accumulator_[f * 2 + c];
      if (!unity) {
        if (d >= 1.01 || (d < 0.99 && d > 0.001))
          v = std::llround(d * static_cast<double>(v));
        else if (d <= 0.001)
          v = 0;
      }
      const int16_t s = static_cast<int16_t>(std::clamp<int64_t>(v, -32768, 32767));
      out[f * 4 + c * 2] = static_cast<uint8_t>(s & 0xFF);
      out[f * 4 + c * 2 + 1] = static_cast<uint8_t>((s >> 8) & 0xFF);
    }
  }
  block_.Commit(kBlockBytes);
}

void TCompositeConverter::OpenAhead() {
  const int64_t horizon = mixPosition_ + MixingBytesAt(kOpenAheadMs);
  while (!waiting_.empty()) {
    TCompositeItem2& item = *waiting_.front();
    const int64_t start = MixingBytesAt(item.timeLine);
    if (start < mixPosition_ || start > horizon) break;
    waiting_.erase(waiting_.begin());
    if (!OpenItem(item)) {
      finished_.push_back(&item);
      continue;
    }
    item.converter->Seek(item.beginTime);
    ready_.push_back(&item);
  }
}

bool TCompositeConverter::Convert(TLocalBuffer&) {
  accumulator_.fill(0);
  for (auto it = ready_.begin(); it != ready_.end();) {
    const int64_t start = MixingBytesAt((*it)->timeLine);
    if (start >= mixPosition_ && start <= mixPosition_ + kBlockBytes) {
      (*it)->startOffset = start - mixPosition_;
      playing_.push_back(*it);
      it = ready_.erase(it);
    } else {
      ++it;
    }
  }
  for (auto it = playing_.begin(); it != playing_.end();) {
    bool finished = false;
    MixItem(**it, finished);
    if (finished) {
      CloseItem(**it);
      finished_.push_back(*it);
      it = playing_.erase(it);
    } else {
      ++it;
    }
  }
  ApplyMasterAndStore();
  TWavConverter::Convert(block_);
  mixPosition_ += kBlockBytes;
  OpenAhead();
  return mixPosition_ < MixingBytesAt(params_.duration);
}

}  // namespace vyr
