// SPDX-License-Identifier: GPL-3.0-or-later
// Switches the target of every function defined after this point to AVX2
// (without FMA), for files whose code runs only after a run-time check of the
// processor. Include after all other headers, pair with TargetAvx2End.h.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif
