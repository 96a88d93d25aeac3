#pragma once
// The program-wide seedable uniform generator on [0, 1): xoshiro256**
// (Blackman and Vigna, "Scrambled linear pseudorandom number generators",
// ACM TOMS 47(4), 2021), seeded through SplitMix64. Its whole state, with the
// spare deviate of the polar normal generator, is one value that the sample
// loader saves in SavedRandSeed and restores on a reload, so random transforms
// repeat exactly. Header-only so that any module can save and restore it.
//
// A new state is seeded from the clock, as the program's generator is at
// start-up; RandomSeed gives a reproducible stream.
#include <atomic>
#include <chrono>
#include <cstdint>

namespace amx {

struct RandomState {
    RandomState();

    std::uint64_t s[4] = {0x9E3779B97F4A7C15ull, 0xBF58476D1CE4E5B9ull, 0x94D049BB133111EBull,
                          0x2545F4914F6CDD1Dull};
    // The second deviate of the last polar-method pair, not yet returned.
    bool gaussCached = false;
    long double gaussValue = 0.0L;

    friend bool operator==(const RandomState&, const RandomState&) = default;
};

// Seeds the generator from one 64-bit value and drops any spare normal deviate.
inline void RandomSeed(RandomState& st, std::uint64_t seed) {
    for (auto& word : st.s) {
        seed += 0x9E3779B97F4A7C15ull;
        std::uint64_t z = seed;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        word = z ^ (z >> 31);
    }
    st.gaussCached = false;
    st.gaussValue = 0.0L;
}

// Seeds from the clock (start-up, random sequences, subgroup sampling). A
// counter keeps two seedings within one clock tick apart.
inline void Randomize(RandomState& st) {
    static std::atomic<std::uint64_t> calls{0};
    const auto ticks = static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
    RandomSeed(st, ticks ^ (calls.fetch_add(1) * 0xD1B54A32D192ED03ull));
}

inline RandomState::RandomState() { Randomize(*this); }

inline std::uint64_t RandomNext64(RandomState& st) {
    auto rotl = [](std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); };
    const std::uint64_t result = rotl(st.s[1] * 5, 7) * 9;
    const std::uint64_t t = st.s[1] << 17;
    st.s[2] ^= st.s[0];
    st.s[3] ^= st.s[1];
    st.s[1] ^= st.s[2];
    st.s[0] ^= st.s[3];
    st.s[2] ^= t;
    st.s[3] = rotl(st.s[3], 45);
    return result;
}

// Uniform on [0, 1) with 53 random bits.
inline double RandomUniform(RandomState& st) {
    return static_cast<double>(RandomNext64(st) >> 11) * 0x1.0p-53;
}

// Uniform on (0, 1): the exact 0 is drawn again, so its logarithm is finite.
inline double OpenUniform(RandomState& st) {
    double u;
    do u = RandomUniform(st);
    while (u == 0.0);
    return u;
}

// Uniform integer in [0, range) without modulo bias; 0 when range <= 0.
inline long long RandomInt(RandomState& st, long long range) {
    if (range <= 0) return 0;
    const std::uint64_t r = static_cast<std::uint64_t>(range);
    const std::uint64_t limit = UINT64_MAX - UINT64_MAX % r;
    std::uint64_t x;
    do x = RandomNext64(st);
    while (x >= limit);
    return static_cast<long long>(x % r);
}

}  // namespace amx
