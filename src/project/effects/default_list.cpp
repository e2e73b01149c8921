#include "project/effects/default_list.h"

#include <numeric>
#include <utility>

#include "foundation/exceptions.h"

namespace vyr {

TDefaultEffectList::TDefaultEffectList(std::vector<TRef<TVyrEffect>> effects, TEffectChoice choice,
                                       std::unique_ptr<TEffectRandom> random)
    : effects_(std::move(effects)), choice_(choice), random_(std::move(random)) {
  if (!random_) random_ = std::make_unique<TEffectRandom>();
  permutation_.resize(effects_.size());
  std::iota(permutation_.begin(), permutation_.end(), size_t{0});
  if (!choice_.Reproducible()) Shuffle();
}

void TDefaultEffectList::Shuffle() {
  const int n = static_cast<int>(permutation_.size());
  for (int k = 0; k + 1 < n; ++k) {
    const int j = random_->Below(n - k);
    if (j != k) std::swap(permutation_[k], permutation_[j]);
  }
}

TDefaultChoice TDefaultEffectList::Next(int slide) {
  if (effects_.empty()) return {};
  std::lock_guard guard(lock_);
  const uint64_t n = effects_.size();
  const uint32_t index = static_cast<uint32_t>(slide < 0 ? 0 : slide);
  size_t p;
  if (choice_.Reproducible()) {
    p = index % n;
  } else {
    p = counter_++ % n;
    if (p == 0) Shuffle();
  }
  const TVyrEffect& effect = *effects_[permutation_[p]];
  VYR_ASSERT(effect.variants > 0);

  int v;
  bool wantOdd;
  if (choice_.Reproducible()) {
    // A pure function of the slide: the parity follows the slide index.
    v = static_cast<int>((index ^ *choice_.seed) % static_cast<uint32_t>(effect.variants));
    wantOdd = ((index % 2) != 0) != parityBit_;
  } else {
    v = random_->Below(effect.variants);
    wantOdd = parityBit_;
    parityBit_ = !parityBit_;
  }
  if (((v % 2) != 0) != wantOdd) v = v + 1 < effect.variants ? v + 1 : 0;
  return {effect.KeepVariant(v), v};
}

int TDefaultEffectList::Random(int n) {
  std::lock_guard guard(lock_);
  return random_->Below(n);
}

std::vector<size_t> TDefaultEffectList::Permutation() const {
  std::lock_guard guard(lock_);
  return permutation_;
}

}  // namespace vyr
