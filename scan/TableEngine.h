// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace tamrisk {

// Rows [first, last) of a table.
struct RowRange {
    std::int64_t first = 0;
    std::int64_t last = 0;
};

// Rows of a table cut into blocks for the engine. A table is made of runs of
// runLength rows that share everything but their innermost index (a scan's
// pass, a sweep's outer point), and the producers keep what a run shares:
// so a block holds whole runs, or one part of one run when runs are long or
// too few to keep the threads busy, and never rows of two runs' parts.
class TableBlocks {
public:
    TableBlocks(RowRange range, std::int64_t runLength, int threads);
    std::int64_t Count() const { return count_; }
    // Rows of block k, 0 <= k < Count(), in order and without gaps.
    RowRange Block(std::int64_t k) const;

private:
    RowRange Whole(std::int64_t block) const; // the block before clipping to the range
    std::int64_t BlockOf(std::int64_t row) const;

    RowRange range_;
    std::int64_t runLength_;
    std::int64_t runsPerBlock_ = 1;
    std::int64_t partsPerRun_ = 1;
    std::int64_t partLength_;
    std::int64_t firstBlock_ = 0;
    std::int64_t count_ = 0;
};

// What the engine needs to know of a table besides its producers and consumer.
struct TableJob {
    std::int64_t blocks = 0;
    int threads = 1;
    // Asked before each block goes to the consumer; true stops the table there.
    std::function<bool()> stopRequested;
};

namespace detail {

using ProduceBlock = std::function<void(std::size_t producer, std::int64_t block, std::size_t slot)>;
using ConsumeBlock = std::function<bool(std::int64_t block, std::size_t slot)>;

// How many blocks are made ahead of the consumer at most, and how many
// producers (threads) take part.
std::size_t TableSlots(const TableJob& job);
std::size_t TableProducers(const TableJob& job);

// The thread work of RunTable, without the type of its blocks.
bool RunOrderedBlocks(const TableJob& job, const ProduceBlock& produce, const ConsumeBlock& consume);

} // namespace detail

// The ordered parallel table engine. Blocks 0 .. job.blocks - 1 are made by
// up to job.threads threads (the calling thread among them, which also works
// ahead rather than wait) and handed to consume strictly in order, on the
// calling thread, so what the consumer sees does not depend on the number of
// threads.
//
// makeProducer() gives one producer per thread, made on that thread when it
// first takes a block and kept for all its blocks: a callable
// void(std::int64_t block, Block& out) that fills out, which is a block
// made before and may keep its capacity. consume(block, const Block&)
// returns false to stop. Block is any default-constructible type: text for
// a writer, or values for a consumer that wants numbers.
//
// Returns false when the consumer or job.stopRequested stopped the table.
// A producer's exception is rethrown here once every block before the
// failed one has been consumed; the consumer's own exception ends the table
// at once. Helper threads have ended when this returns either way.
template <class Block, class MakeProducer, class Consume>
bool RunTable(const TableJob& job, MakeProducer&& makeProducer, Consume&& consume)
{
    using Producer = decltype(makeProducer());
    std::vector<Block> slots(detail::TableSlots(job));
    std::vector<std::optional<Producer>> producers(detail::TableProducers(job));
    return detail::RunOrderedBlocks(
        job,
        [&](std::size_t producer, std::int64_t block, std::size_t slot) {
            std::optional<Producer>& own = producers[producer];
            if (!own)
                own.emplace(makeProducer());
            (*own)(block, slots[slot]);
        },
        [&](std::int64_t block, std::size_t slot) { return consume(block, static_cast<const Block&>(slots[slot])); });
}

} // namespace tamrisk
