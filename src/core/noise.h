// Deterministic value noise for the flame: integer hashing only, so the same
// inputs give the same numbers on every machine and every run.
#pragma once

#include <cstdint>

namespace vorn {

// A well-mixed 32-bit hash of a lattice point (x, y) under `seed`.
std::uint32_t HashLattice(std::int32_t x, std::int32_t y, std::uint32_t seed);

// Smoothly interpolated value noise in [0, 1] on a unit lattice. It repeats
// every `periodY` lattice cells along y, so an upward scroll of a whole number
// of periods brings the pattern back exactly (used to make animations loop).
double ValueNoise(double x, double y, int periodY, std::uint32_t seed);

// Sum of `octaves` layers of value noise, each twice the frequency and half the
// weight of the last, normalised to [0, 1]. Period along y: `periodY` cells of
// the first octave (finer octaves repeat whole-number times within it).
double FractalNoise(double x, double y, int periodY, int octaves, std::uint32_t seed);

}  // namespace vorn
