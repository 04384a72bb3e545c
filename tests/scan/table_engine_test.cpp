// SPDX-License-Identifier: GPL-3.0-or-later
// The ordered parallel table engine: blocks in order whatever the threads,
// one producer per thread, failures and stops between blocks, helper threads
// that never take the interrupt signals, and the cutting of rows into blocks.
#include "scan/TableEngine.h"
#include "scan/WorkerThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include <pthread.h>

namespace tamrisk {
namespace {

// A block of values, as a consumer that wants numbers gets them.
struct Values {
    std::int64_t block = -1;
    std::vector<double> squares;
};

// Makes block b as the values b * 10 .. b * 10 + 9 squared, and notes
// whether each producer stays on the thread that made it.
struct SquareProducers {
    std::atomic<int> made{0};
    std::atomic<bool> movedThread{false};
    std::int64_t failAt = -1;

    auto Make()
    {
        ++made;
        return [this, thread = std::this_thread::get_id()](std::int64_t b, Values& out) {
            if (std::this_thread::get_id() != thread)
                movedThread = true;
            if (b == failAt)
                throw std::runtime_error("block " + std::to_string(b));
            out.block = b;
            out.squares.clear();
            for (std::int64_t k = b * 10; k < b * 10 + 10; ++k)
                out.squares.push_back(double(k) * double(k));
        };
    }
};

struct Consumed {
    std::vector<std::int64_t> blocks;
    bool inOrder = true;
    bool right = true;

    bool Take(std::int64_t b, const Values& values)
    {
        inOrder = inOrder && b == std::int64_t(blocks.size()) && values.block == b;
        right = right && values.squares.size() == 10 && values.squares[3] == double(b * 10 + 3) * double(b * 10 + 3);
        blocks.push_back(b);
        return true;
    }
};

TEST(TableEngineTest, BlocksReachTheConsumerInOrderWhateverTheThreads)
{
    for (int threads : {1, 2, 3, 8}) {
        for (std::int64_t count : {0, 1, 5, 300}) {
            SquareProducers producers;
            Consumed consumed;
            const bool complete = RunTable<Values>(
                {count, threads, {}}, [&] { return producers.Make(); },
                [&](std::int64_t b, const Values& values) { return consumed.Take(b, values); });
            EXPECT_TRUE(complete);
            EXPECT_EQ(std::int64_t(consumed.blocks.size()), count) << threads << " threads";
            EXPECT_TRUE(consumed.inOrder) << threads << " threads, " << count << " blocks";
            EXPECT_TRUE(consumed.right);
            EXPECT_LE(producers.made, std::max(1, threads));
            EXPECT_FALSE(producers.movedThread);
        }
    }
}

TEST(TableEngineTest, AProducersFailureComesAfterEveryEarlierBlock)
{
    for (int threads : {1, 2, 4}) {
        for (std::int64_t failAt : {0, 3, 57, 199}) {
            SquareProducers producers;
            producers.failAt = failAt;
            Consumed consumed;
            try {
                RunTable<Values>(
                    {200, threads, {}}, [&] { return producers.Make(); },
                    [&](std::int64_t b, const Values& values) { return consumed.Take(b, values); });
                ADD_FAILURE() << "no failure at block " << failAt;
            } catch (const std::runtime_error& error) {
                EXPECT_EQ(std::string(error.what()), "block " + std::to_string(failAt));
            }
            EXPECT_EQ(std::int64_t(consumed.blocks.size()), failAt) << threads << " threads";
            EXPECT_TRUE(consumed.inOrder);
        }
    }
}

TEST(TableEngineTest, StopsBetweenBlocks)
{
    for (int threads : {1, 3}) {
        // Asked before each block: the fourth question stops it after three blocks.
        SquareProducers producers;
        Consumed consumed;
        int asked = 0;
        EXPECT_FALSE(RunTable<Values>(
            {100, threads, [&] { return ++asked > 3; }}, [&] { return producers.Make(); },
            [&](std::int64_t b, const Values& values) { return consumed.Take(b, values); }));
        EXPECT_EQ(consumed.blocks.size(), 3u);

        // The consumer stops it: no block after that one.
        Consumed taken;
        EXPECT_FALSE(RunTable<Values>(
            {100, threads, {}}, [&] { return producers.Make(); },
            [&](std::int64_t b, const Values& values) { return taken.Take(b, values) && b < 9; }));
        EXPECT_EQ(taken.blocks.size(), 10u);
    }
}

TEST(TableEngineTest, AConsumersFailureEndsTheTableAtOnce)
{
    SquareProducers producers;
    int calls = 0;
    EXPECT_THROW(RunTable<Values>(
                     {1000, 4, {}}, [&] { return producers.Make(); },
                     [&](std::int64_t b, const Values&) {
                         ++calls;
                         if (b == 2)
                             throw std::runtime_error("disk full");
                         return true;
                     }),
                 std::runtime_error);
    EXPECT_EQ(calls, 3);
}

bool InterruptsBlocked()
{
    sigset_t mask;
    pthread_sigmask(SIG_BLOCK, nullptr, &mask);
    return sigismember(&mask, SIGINT) == 1 && sigismember(&mask, SIGTERM) == 1 && sigismember(&mask, SIGHUP) == 1;
}

TEST(WorkerThreadTest, WorkersBlockTheInterruptSignalsAndTheCallerKeepsItsMask)
{
    ASSERT_FALSE(InterruptsBlocked());
    bool blocked = false;
    std::thread worker = StartWorkerThread([&] { blocked = InterruptsBlocked(); });
    worker.join();
    EXPECT_TRUE(blocked);
    EXPECT_FALSE(InterruptsBlocked());

    // Every helper of the engine is such a worker; the calling thread keeps its mask.
    const std::thread::id caller = std::this_thread::get_id();
    std::mutex mutex;
    int helperBlocks = 0;
    int unblockedHelperBlocks = 0;
    RunTable<Values>(
        {400, 3, {}},
        [&] {
            return [&](std::int64_t, Values&) {
                if (std::this_thread::get_id() == caller)
                    return;
                std::lock_guard lock(mutex);
                ++helperBlocks;
                unblockedHelperBlocks += InterruptsBlocked() ? 0 : 1;
            };
        },
        [&](std::int64_t, const Values&) {
            // A slow consumer leaves blocks to the helpers.
            std::this_thread::sleep_for(std::chrono::microseconds(20));
            return true;
        });
    EXPECT_GT(helperBlocks, 0);
    EXPECT_EQ(unblockedHelperBlocks, 0);
    EXPECT_FALSE(InterruptsBlocked());
}

struct CutCase {
    const char* name;
    RowRange range;
    std::int64_t runLength;
    int threads;
    std::int64_t blocks; // the number expected, or -1 for any
};

void PrintTo(const CutCase& c, std::ostream* os) { *os << c.name; }

class TableBlocksCases : public ::testing::TestWithParam<CutCase> {};

TEST_P(TableBlocksCases, BlocksCoverTheRangeAndKeepRunsTogether)
{
    const CutCase& c = GetParam();
    const TableBlocks blocks(c.range, c.runLength, c.threads);
    if (c.blocks >= 0) {
        EXPECT_EQ(blocks.Count(), c.blocks);
    }
    std::int64_t next = c.range.first;
    for (std::int64_t k = 0; k < blocks.Count(); ++k) {
        const RowRange block = blocks.Block(k);
        ASSERT_EQ(block.first, next) << k;
        ASSERT_LT(block.first, block.last) << k;
        next = block.last;
        // A block of rows from several runs holds whole runs (but where the range cuts them).
        const std::int64_t firstRun = block.first / c.runLength;
        const std::int64_t lastRun = (block.last - 1) / c.runLength;
        if (firstRun != lastRun) {
            EXPECT_TRUE(block.first % c.runLength == 0 || block.first == c.range.first) << k;
            EXPECT_TRUE(block.last % c.runLength == 0 || block.last == c.range.last) << k;
        }
    }
    EXPECT_EQ(next, std::max(c.range.first, c.range.last));
}

INSTANTIATE_TEST_SUITE_P(Cuts, TableBlocksCases,
                         ::testing::Values(CutCase{"ScanPassPerBlock", {0, 201 * 201}, 201, 1, 201},
                                           CutCase{"ShortRunsTogether", {0, 21 * 1000}, 21, 2, 1000 / 12 + 1},
                                           CutCase{"LongRunsSplit", {0, 3 * 5000}, 5000, 1, 3 * 5},
                                           CutCase{"FewRunsSplitForTheThreads", {0, 7 * 101}, 101, 2, 7 * 3},
                                           CutCase{"RowsAlone", {0, 10}, 1, 2, 10},
                                           CutCase{"ShardStartsAndEndsInsideRuns", {1234, 98765}, 300, 3, -1},
                                           CutCase{"ShardInsideOneLongRun", {10, 4000}, 1000000, 2, -1},
                                           CutCase{"Empty", {5, 5}, 7, 2, 0}, CutCase{"Reversed", {9, 5}, 7, 2, 0}),
                         [](const auto& c) { return c.param.name; });

TEST(TableBlocksTest, HugeTablesCountWithoutOverflow)
{
    // 2^31 passes of 2^31 rows, the scan's largest grid.
    const std::int64_t run = std::int64_t(1) << 31;
    const TableBlocks blocks({0, run * run}, run, 4);
    ASSERT_GT(blocks.Count(), 0);
    EXPECT_EQ(blocks.Block(0).first, 0);
    EXPECT_EQ(blocks.Block(blocks.Count() - 1).last, run * run);
    EXPECT_EQ(blocks.Block(blocks.Count() - 1).first, blocks.Block(blocks.Count() - 2).last);
}

} // namespace
} // namespace tamrisk
