#pragma once
#include <cstdint>

namespace simulator {

// Small seeded generator (SplitMix64) of our own, so a seed means the same run with
// every compiler and standard library.
class Prng {
public:
    explicit Prng(std::uint64_t seed = 1) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double unit() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    // Uniform integer in [lo, hi].
    std::int64_t between(std::int64_t lo, std::int64_t hi) {
        return lo + static_cast<std::int64_t>(next() % static_cast<std::uint64_t>(hi - lo + 1));
    }
    bool chance(double p) { return p > 0 && unit() < p; }

private:
    std::uint64_t state_;
};

}  // namespace simulator
