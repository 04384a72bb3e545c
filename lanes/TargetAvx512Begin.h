// SPDX-License-Identifier: GPL-3.0-or-later
// Switches the target of every function defined after this point to the
// AVX-512 foundation instructions, for files whose code runs
// only after a run-time check of the processor. Include after all other
// headers, pair with TargetAvx512End.h. The foundation set has fused
// multiply-adds, but the build turns contraction off, so none is formed.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f")
// GCC's AVX-512 intrinsics start some results from a deliberately undefined
// register, which its uninitialized-use warnings report once inlined here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
