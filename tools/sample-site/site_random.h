#pragma once

#include <cstddef>
#include <cstdint>

namespace samplesite {

/// A small deterministic generator (SplitMix64): the same seed gives the same
/// pages on every machine and compiler, which std::uniform_int_distribution
/// does not promise. Not thread-safe; one per generation run.
class Rng
{
public:
    explicit Rng(uint64_t seed) : state_(seed) {}

    /// The next 64 random bits.
    uint64_t Next()
    {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    /// A number in [0, n); 0 when n is 0 or less.
    int Below(int n) { return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<uint64_t>(n)); }

    /// A number in [low, high], both included.
    int Between(int low, int high) { return low + Below(high - low + 1); }

    /// True with the given chance in percent.
    bool Percent(int percent) { return Below(100) < percent; }

    /// One element of a fixed array.
    template <typename T, std::size_t N> const T& Pick(const T (&items)[N])
    {
        return items[Below(static_cast<int>(N))];
    }

private:
    uint64_t state_;
};

/// Derives an independent seed for one part of the site (a day, a channel)
/// from the site seed, so that parts do not shift when another part changes.
inline uint64_t MixSeed(uint64_t seed, uint64_t part)
{
    Rng rng(seed * 0xD1B54A32D192ED03ull ^ (part + 0x632BE59BD9B4E019ull));
    return rng.Next();
}

} // namespace samplesite
