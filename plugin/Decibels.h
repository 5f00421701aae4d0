#pragma once
// dB <-> linear gain in the exact forms the gain cells and the processing chain use: natural log
// and exp (the maths kernel's, the same bits in every build) with fixed factors.

#include "kernel/Maths.h"

inline constexpr double kDbPerNeper = 8.685889638065037;  // 20 / ln 10
inline constexpr double kNeperPerDb = 0.1151292546497;    // ln 10 / 20

inline double GainToDb(double gain) { return kernel::Log(gain) * kDbPerNeper; }
inline double DbToGain(double dB) { return kernel::Exp(dB * kNeperPerDb); }
