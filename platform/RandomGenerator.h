#pragma once
#include <cstdint>

// The program's one random generator: a 32-bit linear congruential state
// shared by every user (the sheet's RAND and RANDBETWEEN, and whoever
// reseeds it). It starts at 0. Each draw first advances the state as
// state * 134775813 + 1 (modulo 2^32). Draws from several threads each get
// a state of their own; none is lost or repeated.

void setRandomSeed(std::uint32_t seed);
std::uint32_t randomSeed();

// The new state / 2^32: in [0, 1).
long double nextRandomFraction();

// The upper 32 bits of the new state times range: in [0, range) for a range
// of 1 to 2^32; 0 for a range of 0, and a larger range counts as 2^32.
std::uint32_t nextRandomBelow(std::uint64_t range);
