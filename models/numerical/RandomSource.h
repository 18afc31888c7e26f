// The random source of the Monte Carlo methods: a 64-bit linear congruential generator
// x <- 22695477 x + 1 (mod 2^64), uniforms k / 65535 from 16 bits of each draw, and normal deviates
// by the cosine branch of Box-Muller from two uniforms each.
//
// A uniform's 16 bits are bits 32 to 47 of the state, which depend only on its low 48 bits: those
// follow x <- 22695477 x + 1 (mod 2^48), of full period 2^48 (the increment is odd and the
// multiplier is 1 mod 4), so the uniforms repeat after 2^48 draws and no sooner.
#pragma once

#include <cstdint>

namespace quantrel::numerical {

// sqrt(-2 ln(k / 65535)) and cos(2 pi k / 65535) for every k a uniform can take: a deviate is the
// product of two entries, the same bits as computing it afresh.
struct NormalTables {
  double radius[65536];  // radius[0] is never used: ln 0 has no value
  double cosine[65536];
};
const NormalTables& Tables();

class RandomSource {
 public:
  static constexpr uint64_t kMultiplier = 22695477;
  static_assert(kMultiplier % 4 == 1, "full period needs a multiplier of 1 mod 4");

  // A seed's state: (22695477 seed + 1) mod 2^32, the high half zero.
  explicit RandomSource(uint32_t seed)
      : state_(static_cast<uint32_t>(kMultiplier * seed + 1)), tables_(Tables()) {}

  // 0 .. 2^31 - 1: the high half of the new state with its top bit cleared.
  uint32_t Draw() {
    state_ = kMultiplier * state_ + 1;
    return static_cast<uint32_t>(state_ >> 32) & 0x7FFFFFFFu;
  }
  // k of the uniform k / 65535 (0 and 1 included).
  uint32_t UniformStep() { return Draw() & 0xFFFFu; }
  double Uniform() { return UniformStep() / 65535.0; }

  // sqrt(-2 ln u1) cos(2 pi u2), u1 drawn first. A first uniform of 0 is drawn again from the same
  // stream (u2 stays) until it is not 0, so no deviate is infinite and the stream never restarts.
  double Normal() {
    uint32_t first = UniformStep();
    const uint32_t second = UniformStep();
    while (first == 0) first = UniformStep();
    return tables_.radius[first] * tables_.cosine[second];
  }

  uint64_t State() const { return state_; }

 private:
  uint64_t state_;
  const NormalTables& tables_;
};

}  // namespace quantrel::numerical
