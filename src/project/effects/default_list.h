#pragma once
// The show's default transitions: the checked definitions as effects, used in a
// shuffled order, with consecutive slides alternating between even and odd variants.

#include <memory>
#include <mutex>
#include <vector>

#include "project/effects/random_choice.h"
#include "project/effects/vyr_effect.h"

namespace vyr {

// A default effect chosen for a slide, keeping only the chosen variant.
struct TDefaultChoice {
  TRef<TVyrEffect> effect;
  int variant = 0;
};

class TDefaultEffectList {
 public:
  // Every effect must have at least one variant.
  TDefaultEffectList(std::vector<TRef<TVyrEffect>> effects, TEffectChoice choice,
                     std::unique_ptr<TEffectRandom> random);

  size_t Count() const { return effects_.size(); }
  bool Empty() const { return effects_.empty(); }
  const TVyrEffect& Item(size_t index) const { return *effects_[index]; }

  // The next default effect for slide index slide (0 <= slide); none when the list is empty.
  // Safe to call from several threads.
  TDefaultChoice Next(int slide);
  // Uniform in 0 .. n - 1 from the same generator (the mosaic seeds).
  int Random(int n);

  // The current order of use (positions into the list), for inspection.
  std::vector<size_t> Permutation() const;

 private:
  void Shuffle();

  std::vector<TRef<TVyrEffect>> effects_;
  TEffectChoice choice_;
  std::unique_ptr<TEffectRandom> random_;
  mutable std::mutex lock_;
  std::vector<size_t> permutation_;
  uint64_t counter_ = 0;
  bool parityBit_ = false;
};

}  // namespace vyr
