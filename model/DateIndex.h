#pragma once
#include <cstdint>
#include <vector>

// The date index (record numbers in date order) that a price series builds
// when the records are added one at a time in the given order: each addition
// bisects the index and inserts next to the probe, so among equal dates the
// order depends on where the bisection met them. Computed in O(n log n)
// instead of the quadratic cost of inserting into the middle of an array.
std::vector<int32_t> dateIndexAsInserted(const std::vector<double>& dates);
