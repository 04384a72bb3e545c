// SPDX-License-Identifier: GPL-3.0-or-later
// Ends the AVX-512 section begun by TargetAvx512Begin.h.
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC diagnostic pop
#pragma GCC pop_options
#endif
