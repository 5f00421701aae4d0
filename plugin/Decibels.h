#pragma once
// dB <-> linear gain in the exact forms the gain cells and the processing chain use
// (natural log / exp with fixed factors, so every build produces the same bits).

#include <cmath>

inline constexpr double kDbPerNeper = 8.685889638065037;  // 20 / ln 10
inline constexpr double kNeperPerDb = 0.1151292546497;    // ln 10 / 20

inline double GainToDb(double gain) { return std::log(gain) * kDbPerNeper; }
inline double DbToGain(double dB) { return std::exp(dB * kNeperPerDb); }
