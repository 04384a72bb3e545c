// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/TableEngine.h"

#include "scan/WorkerThread.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace tamrisk {

namespace {

// A block is a run, or runs enough to make about kTargetRows rows; a run
// longer than kMaxRows is split. Each thread should get kBlocksPerThread
// blocks at least, and a split never makes parts below kMinRows.
constexpr std::int64_t kTargetRows = 256;
constexpr std::int64_t kMaxRows = 1024;
constexpr std::int64_t kMinRows = 32;
constexpr std::int64_t kBlocksPerThread = 8;
// Blocks a thread may make ahead of the consumer.
constexpr std::size_t kSlotsPerThread = 8;

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) { return a / b + (a % b != 0 ? 1 : 0); }

} // namespace

TableBlocks::TableBlocks(RowRange range, std::int64_t runLength, int threads)
    : range_(range), runLength_(std::max<std::int64_t>(runLength, 1))
{
    const std::int64_t rows = range.last - range.first;
    if (rows <= 0)
        return;
    const std::int64_t wanted = kBlocksPerThread * std::max(threads, 1);
    const std::int64_t runs = CeilDiv(rows, runLength_);
    partsPerRun_ = CeilDiv(runLength_, kMaxRows);
    if (partsPerRun_ == 1) {
        runsPerBlock_ = std::clamp<std::int64_t>(kTargetRows / runLength_, 1, std::max<std::int64_t>(runs / wanted, 1));
    }
    if (runsPerBlock_ == 1 && runs * partsPerRun_ < wanted)
        partsPerRun_ =
            std::max(partsPerRun_, std::min(CeilDiv(wanted, runs), std::max<std::int64_t>(runLength_ / kMinRows, 1)));
    partLength_ = CeilDiv(runLength_, partsPerRun_);
    firstBlock_ = BlockOf(range.first);
    count_ = BlockOf(range.last - 1) - firstBlock_ + 1;
}

std::int64_t TableBlocks::BlockOf(std::int64_t row) const
{
    const std::int64_t run = row / runLength_;
    return partsPerRun_ == 1 ? run / runsPerBlock_ : run * partsPerRun_ + row % runLength_ / partLength_;
}

RowRange TableBlocks::Whole(std::int64_t block) const
{
    if (partsPerRun_ == 1)
        return {block * runsPerBlock_ * runLength_, (block + 1) * runsPerBlock_ * runLength_};
    const std::int64_t runStart = block / partsPerRun_ * runLength_;
    const std::int64_t first = runStart + block % partsPerRun_ * partLength_;
    return {first, std::min(first + partLength_, runStart + runLength_)};
}

RowRange TableBlocks::Block(std::int64_t k) const
{
    const RowRange whole = Whole(firstBlock_ + k);
    return {std::max(whole.first, range_.first), std::min(whole.last, range_.last)};
}

namespace detail {

std::size_t TableProducers(const TableJob& job)
{
    return std::size_t(std::clamp<std::int64_t>(job.blocks, 1, std::max(job.threads, 1)));
}

std::size_t TableSlots(const TableJob& job) { return TableProducers(job) * kSlotsPerThread; }

namespace {

// The state that the consumer and the helper threads share.
class OrderedBlocks {
public:
    OrderedBlocks(const TableJob& job, const ProduceBlock& produce)
        : produce_(produce),
          blocks_(job.blocks),
          slots_(std::int64_t(TableSlots(job))),
          slotBlock_(TableSlots(job), -1),
          slotDone_(TableSlots(job), false)
    {
    }

    ~OrderedBlocks()
    {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        slotFreed_.notify_all();
        for (std::thread& helper : helpers_)
            helper.join();
    }

    void StartHelpers(std::size_t count)
    {
        for (std::size_t producer = 1; producer <= count; ++producer) {
            try {
                helpers_.push_back(StartWorkerThread([this, producer] { Help(producer); }));
            } catch (const std::system_error&) {
                break; // go on with the threads there are, or the calling thread alone
            }
        }
    }

    // Waits until block b is made, making blocks ahead on the calling
    // thread rather than waiting; rethrows the failure of block b.
    void Await(std::int64_t b)
    {
        const std::size_t slot = std::size_t(b % slots_);
        std::unique_lock lock(mutex_);
        // The slots of the blocks before b are free now.
        current_ = b;
        if (idleHelpers_ > 0)
            slotFreed_.notify_all(); // only when someone waits: each wake-up is a system call
        while (!(slotBlock_[slot] == b && slotDone_[slot])) {
            if (b == failedBlock_)
                std::rethrow_exception(failure_);
            if (!stop_ && next_ < blocks_ && next_ < b + slots_) {
                const std::int64_t own = Claim();
                lock.unlock();
                const bool made = Make(0, own);
                lock.lock();
                if (made)
                    slotDone_[std::size_t(own % slots_)] = true;
                continue;
            }
            waitingFor_ = b;
            blockMade_.wait(lock);
            waitingFor_ = -1;
        }
    }

private:
    std::int64_t Claim()
    {
        const std::int64_t block = next_++;
        const std::size_t slot = std::size_t(block % slots_);
        slotBlock_[slot] = block;
        slotDone_[slot] = false;
        return block;
    }

    // Makes a block outside the lock; false, with the failure noted, when it threw.
    bool Make(std::size_t producer, std::int64_t block)
    {
        try {
            produce_(producer, block, std::size_t(block % slots_));
            return true;
        } catch (...) {
            std::lock_guard lock(mutex_);
            // The earliest failed block is the one the consumer meets first.
            if (!failure_ || block < failedBlock_) {
                failure_ = std::current_exception();
                failedBlock_ = block;
            }
            stop_ = true;
            blockMade_.notify_one();
            slotFreed_.notify_all();
            return false;
        }
    }

    void Help(std::size_t producer)
    {
        for (;;) {
            std::int64_t block = 0;
            {
                std::unique_lock lock(mutex_);
                ++idleHelpers_;
                slotFreed_.wait(lock, [&] { return stop_ || next_ >= blocks_ || next_ < current_ + slots_; });
                --idleHelpers_;
                if (stop_ || next_ >= blocks_)
                    return;
                block = Claim();
            }
            if (!Make(producer, block))
                return;
            bool wake = false;
            {
                std::lock_guard lock(mutex_);
                slotDone_[std::size_t(block % slots_)] = true;
                wake = waitingFor_ == block;
            }
            if (wake)
                blockMade_.notify_one();
        }
    }

    const ProduceBlock& produce_;
    const std::int64_t blocks_;
    const std::int64_t slots_;

    std::mutex mutex_;
    std::condition_variable blockMade_; // the consumer waits on it
    std::condition_variable slotFreed_; // idle helpers wait on it
    std::vector<std::int64_t> slotBlock_;
    std::vector<bool> slotDone_;
    std::int64_t next_ = 0;        // the next block nobody makes yet
    std::int64_t current_ = 0;     // the block the consumer is at
    std::int64_t waitingFor_ = -1; // the block the consumer waits for, or -1
    int idleHelpers_ = 0;
    bool stop_ = false;
    std::exception_ptr failure_;
    std::int64_t failedBlock_ = -1;
    std::vector<std::thread> helpers_;
};

} // namespace

bool RunOrderedBlocks(const TableJob& job, const ProduceBlock& produce, const ConsumeBlock& consume)
{
    if (job.blocks <= 0)
        return true;
    OrderedBlocks blocks(job, produce);
    blocks.StartHelpers(TableProducers(job) - 1);
    const std::int64_t slots = std::int64_t(TableSlots(job));
    for (std::int64_t b = 0; b < job.blocks; ++b) {
        if (job.stopRequested && job.stopRequested())
            return false;
        blocks.Await(b);
        if (!consume(b, std::size_t(b % slots)))
            return false;
    }
    return true;
}

} // namespace detail

} // namespace tamrisk
