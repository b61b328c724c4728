#pragma once
#include <cstdint>

#include "sheet/BuiltinDispatch.h"

// The signal-processing built-ins: filter designs as coefficient tables,
// filtering and convolution over the columns of an array, resampling, data
// windows, Fourier spectra and maximum-entropy spectra.

// The most steps one call may spend on work that grows with the product of
// two of its lengths: filter sections or kernel values times data cells,
// series length times maximum-entropy order, spectrum points times
// coefficients. Beyond it the call fails with "#VALUE!" rather than hold the
// window for more than about a second.
inline constexpr std::int64_t maxSignalWork = 100'000'000;

// Fills the entries MAKE_LOPASS to MEMDOM of the table.
void registerSignalFunctions(TBuiltinTable& table);
