#pragma once
// The random choices of transitions: uniform integers, seeded from the clock, or from a
// fixed seed when a show must give the same choices on every run.

#include <cstdint>
#include <optional>
#include <random>

namespace vyr {

class TEffectRandom {
 public:
  // From the clock.
  TEffectRandom();
  explicit TEffectRandom(uint32_t seed) : engine_(seed) {}
  virtual ~TEffectRandom() = default;

  // Uniform in 0 .. n - 1 (0 when n <= 1).
  virtual int Below(int n);

 private:
  std::mt19937 engine_;
};

// How the default transitions and the mosaic seeds are chosen. With a seed the choices
// depend only on the slide index and the seed (the reproducible mode).
struct TEffectChoice {
  std::optional<uint32_t> seed;
  bool Reproducible() const { return seed.has_value(); }
};

}  // namespace vyr
