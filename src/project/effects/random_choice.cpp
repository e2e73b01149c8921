#include "project/effects/random_choice.h"

#include <chrono>

namespace vyr {

TEffectRandom::TEffectRandom()
    : engine_(static_cast<uint32_t>(
          std::chrono::high_resolution_clock::now().time_since_epoch().count())) {}

int TEffectRandom::Below(int n) {
  if (n <= 1) return 0;
  return std::uniform_int_distribution<int>(0, n - 1)(engine_);
}

}  // namespace vyr
