// SPDX-License-Identifier: GPL-3.0-or-later
// Repeated recomputation must not grow the heap: the model arrays and the
// pictures are reused or replaced, never accumulated.
#include "plot/Recompute.h"

#include <gtest/gtest.h>

#include <malloc.h>

namespace tamrisk {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kHeapCountable = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kHeapCountable = false;
#else
constexpr bool kHeapCountable = true;
#endif
#else
constexpr bool kHeapCountable = true;
#endif

std::size_t HeapInUse() { return mallinfo2().uordblks; }

TEST(ChainMemory, TenThousandRecomputationsDoNotGrowTheHeap)
{
    if (!kHeapCountable)
        GTEST_SKIP() << "the sanitizer's allocator keeps its own books";
    ControlState controls;
    controls.flags.showTotalSignalLab = true;
    controls.flags.showSignalAtDepth = true;
    controls.flags.showEffIntRatio = true;
    ModelState state;
    for (int i = 0; i < 100; ++i)
        Recompute(controls, state);
    const std::size_t before = HeapInUse();
    for (int i = 0; i < 10000; ++i) {
        controls.sliders.extinction = i % 201;
        controls.sliders.evalTime = (i * 7) % 201;
        controls.flags.showTotalSignalHomogeneous = (i % 3) == 0;
        Recompute(controls, state);
    }
    const std::size_t after = HeapInUse();
    RecordProperty("heap_before", static_cast<int>(before));
    RecordProperty("heap_after", static_cast<int>(after));
    EXPECT_LE(after, before + 4096) << "before " << before << " after " << after;
}

} // namespace
} // namespace tamrisk
