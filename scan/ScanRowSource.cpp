#include "scan/ScanRowSource.h"

#include <algorithm>
#include <cmath>
#include <system_error>

namespace tamrisk {

namespace {

// A chunk is a whole pass where there are passes enough to share among the
// threads: each thread then builds the tables of an extinction value once
// and fills every vector lane. Long passes, and passes too few to keep the
// threads busy, are split, but into chunks of at least kMinChunkSize points.
constexpr std::int64_t kMaxChunkSize = 1024;
constexpr std::int64_t kMinChunkSize = 32;
constexpr std::int64_t kChunksPerThread = 8;
constexpr std::int64_t kChunksPerThreadAhead = 16;

} // namespace

ScanRowSource::ScanRowSource(const ScanGrid& grid, const ModelParameters& params, int threads, TableFormat format)
    : grid_(grid), params_(params), format_(format)
{
    pointsPerPass_ = std::int64_t(grid.evalTime.steps) + 1;
    const std::int64_t passes = std::int64_t(grid.extinction.steps) + 1;
    const std::int64_t wanted = kChunksPerThread * std::max(threads, 1);
    chunksPerPass_ = (pointsPerPass_ + kMaxChunkSize - 1) / kMaxChunkSize;
    if (passes * chunksPerPass_ < wanted)
        chunksPerPass_ = std::max(chunksPerPass_, std::min((wanted + passes - 1) / passes,
                                                           std::max<std::int64_t>(1, pointsPerPass_ / kMinChunkSize)));
    chunkSize_ = (pointsPerPass_ + chunksPerPass_ - 1) / chunksPerPass_;
    chunkCount_ = (std::int64_t(grid.extinction.steps) + 1) * chunksPerPass_;

    // The calling thread evaluates too, so threads - 1 helpers.
    const std::int64_t helpers = std::min<std::int64_t>(std::max(threads, 1), chunkCount_) - 1;
    ring_.resize(std::size_t((helpers + 1) * kChunksPerThreadAhead));
    callerEvaluator_ = std::make_unique<ScanRowMaker>(grid_, params_, format_);
    for (std::int64_t t = 0; t < helpers; ++t) {
        try {
            workers_.emplace_back([this] { Work(); });
        } catch (const std::system_error&) {
            break;  // go on with the threads we have, or in the calling thread alone
        }
    }
}

ScanRowSource::~ScanRowSource()
{
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    consumed_.notify_all();
    produced_.notify_all();
    for (std::thread& worker : workers_)
        worker.join();
}

std::int64_t ScanRowSource::ChunkOf(std::int64_t i, std::int64_t j) const
{
    return i * chunksPerPass_ + j / chunkSize_;
}

void ScanRowSource::Compute(std::int64_t chunkIndex, ScanRowMaker& evaluator, Chunk& out) const
{
    const std::int64_t i = chunkIndex / chunksPerPass_;
    const std::int64_t first = (chunkIndex % chunksPerPass_) * chunkSize_;
    const std::int64_t last = std::min(first + chunkSize_, pointsPerPass_);
    out.bytes.clear();
    out.rowEnds.clear();
    evaluator.AppendRows(i, first, last, out.bytes, out.rowEnds);
}

void ScanRowSource::Work()
{
    const std::int64_t ringSize = std::int64_t(ring_.size());
    std::unique_ptr<ScanRowMaker> evaluator;
    for (;;) {
        std::int64_t index = 0;
        Chunk* slot = nullptr;
        {
            std::unique_lock lock(mutex_);
            // Stay at most ringSize chunks ahead of the caller, so slots are reused only once read.
            ++idleWorkers_;
            consumed_.wait(lock, [&] {
                return stop_ || nextChunk_ >= chunkCount_ || nextChunk_ < currentChunk_ + ringSize;
            });
            --idleWorkers_;
            if (stop_ || nextChunk_ >= chunkCount_)
                return;
            index = nextChunk_++;
            slot = &ring_[std::size_t(index % ringSize)];
            slot->index = index;
            slot->done = false;
        }
        try {
            if (!evaluator)
                evaluator = std::make_unique<ScanRowMaker>(grid_, params_, format_);
            Compute(index, *evaluator, *slot);
        } catch (...) {
            {
                std::lock_guard lock(mutex_);
                if (!failure_)
                    failure_ = std::current_exception();
                stop_ = true;
            }
            produced_.notify_all();
            consumed_.notify_all();
            return;
        }
        bool wake = false;
        {
            std::lock_guard lock(mutex_);
            slot->done = true;
            wake = callerWaiting_ == index;
        }
        if (wake)
            produced_.notify_one();
    }
}

ScanRowSource::Chunk& ScanRowSource::Await(std::int64_t chunkIndex)
{
    const std::int64_t ringSize = std::int64_t(ring_.size());
    Chunk& chunk = ring_[std::size_t(chunkIndex % ringSize)];
    if (chunkIndex == readyChunk_)
        return chunk;

    std::unique_lock lock(mutex_);
    currentChunk_ = chunkIndex;
    // Wake only when someone waits: each wake-up is a system call.
    if (idleWorkers_ > 0)
        consumed_.notify_all();
    while (!(chunk.index == chunkIndex && chunk.done)) {
        if (failure_)
            std::rethrow_exception(failure_);
        if (nextChunk_ < chunkCount_ && nextChunk_ < currentChunk_ + ringSize) {
            // Rather than wait, evaluate the next unclaimed chunk here.
            const std::int64_t index = nextChunk_++;
            Chunk& slot = ring_[std::size_t(index % ringSize)];
            slot.index = index;
            slot.done = false;
            lock.unlock();
            Compute(index, *callerEvaluator_, slot);
            lock.lock();
            slot.done = true;
            continue;
        }
        callerWaiting_ = chunkIndex;
        produced_.wait(lock);
        callerWaiting_ = -1;
    }
    readyChunk_ = chunkIndex;
    return chunk;
}

std::string_view ScanRowSource::Row(std::int64_t i, std::int64_t j)
{
    const Chunk& chunk = Await(ChunkOf(i, j));
    const std::size_t row = std::size_t(j % chunkSize_);
    const std::size_t begin = row == 0 ? 0 : chunk.rowEnds[row - 1];
    return std::string_view(chunk.bytes).substr(begin, chunk.rowEnds[row] - begin);
}

} // namespace tamrisk
