#pragma once
// Plays a composite description: opens its items shortly before they sound, mixes their
// PCM (mixing format) through their envelopes into a 32-bit accumulator, applies the master
// envelopes and delivers 16-bit blocks of 10,000 bytes.

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "audio/decode/audio_stream.h"
#include "audio/decode/wav_converter.h"
#include "audio/mix/composite_params.h"

namespace vyr {

class TCompositeItem2 : public TCompositeItem {
 public:
  TRef<TStream> stream;
  TMediaInfo info;
  TRef<TWavConverter> converter;
  bool opened = false;
  int64_t startOffset = -1;  // byte offset of the start inside the current block
};

class TCompositeParams2 : public TCompositeParams {
 public:
  TCompositeItem2& Item2(size_t index) { return static_cast<TCompositeItem2&>(Item(index)); }

 protected:
  std::unique_ptr<TCompositeItem> CreateItem() const override {
    return std::make_unique<TCompositeItem2>();
  }
};

class TCompositeConverter : public TWavConverter {
 public:
  // Item files open through open (see OpenAudioStream).
  explicit TCompositeConverter(std::string description, TAudioOpenCallback open = {})
      : description_(std::move(description)), open_(std::move(open)) {}

  bool Open(const TMediaInfo& info) override;
  void Seek(double ms) override;
  bool ReadMore() override { return true; }
  bool Convert(TLocalBuffer& source) override;

  static constexpr int kBlockBytes = 10000;
  static constexpr int kBlockFrames = kBlockBytes / 4;
  static constexpr int32_t kOpenAheadMs = 5000;

  // The item lists, for inspection.
  const std::vector<TCompositeItem2*>& Waiting() const { return waiting_; }
  const std::vector<TCompositeItem2*>& Ready() const { return ready_; }
  const std::vector<TCompositeItem2*>& Playing() const { return playing_; }
  const std::vector<TCompositeItem2*>& Finished() const { return finished_; }
  int64_t MixPosition() const { return mixPosition_; }

 protected:
  void Dispose() override;

 private:
  bool OpenItem(TCompositeItem2& item);
  void CloseItem(TCompositeItem2& item);
  // End of the item on the time line, ms.
  int64_t ItemEnd(const TCompositeItem2& item) const;
  void MixItem(TCompositeItem2& item, bool& finished);
  void ApplyMasterAndStore();
  void OpenAhead();

  std::string description_;
  TAudioOpenCallback open_;
  TCompositeParams2 params_;
  std::vector<TCompositeItem2*> waiting_, ready_, playing_, finished_;
  int64_t mixPosition_ = 0;
  std::array<int32_t, kBlockFrames * 2> accumulator_{};
  TLocalBuffer block_;
};

}  // namespace vyr
