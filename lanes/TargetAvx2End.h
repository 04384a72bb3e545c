// SPDX-License-Identifier: GPL-3.0-or-later
// Ends the AVX2 section begun by TargetAvx2Begin.h.
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
