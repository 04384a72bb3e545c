#include "scan/ScanRowSource.h"

#include "output/CleanTable.h"
#include "output/CleanText.h"
#include "output/NumberText.h"
#include "scan/ScanPointModel.h"

#include <algorithm>
#include <cmath>
#include <system_error>

namespace tamrisk {

namespace {

// Large enough that the per-chunk locking and the per-extinction tables cost
// little, small enough to spread a short pass over the threads.
constexpr std::int64_t kMaxChunkSize = 32;
constexpr std::int64_t kChunksPerThreadAhead = 16;

void AppendCell(std::string& out, double value, char separator)
{
    AppendFormatCell(out, value);
    out += separator;
    out += '\0';
}

// A row of a clean table: the stored floats as their shortest texts, the
// ratio as the double it is computed in.
void AppendCleanRow(std::string& out, TableFormat format, bool first, const ModelParameters& point,
                    const ScanTotals& totals)
{
    const double ratio = double(totals.effLabTotal) / double(totals.effNatTotal);
    if (format == TableFormat::Json) {
        // JSON has no numbers for non-finite values: null stands for them.
        const auto number = [](auto value) { return std::isfinite(value) ? CleanText(value) : std::string("null"); };
        out += first ? "\n    [" : ",\n    [";
        out += number(point.extinction) + ", " + number(point.halfValueDepth) + ", " + number(point.transmission) +
               ", " + number(point.evalTime) + ", " + number(totals.effLabTotal) + ", " +
               number(totals.effNatTotal) + ", " + number(ratio) + "]";
        return;
    }
    out += CleanLine(format, {CleanText(point.extinction), CleanText(point.halfValueDepth),
                              CleanText(point.transmission), CleanText(point.evalTime),
                              CleanText(totals.effLabTotal), CleanText(totals.effNatTotal), CleanText(ratio)});
}

} // namespace

// One thread's evaluation state: the model tables of the extinction value
// it handled last.
class ScanRowSource::Evaluator {
public:
    Evaluator(const ScanGrid& grid, const ModelParameters& params, TableFormat format)
        : grid_(grid), point_(params), model_(params), format_(format)
    {
        // The evaluation times and their cells are the same in every pass.
        const ScanAxis& axis = grid_.evalTime;
        for (int j = 0; j <= axis.steps; ++j) {
            evalTimes_.push_back(float(AxisValue(axis.start, axis.end, axis.steps, j, axis.logarithmic)));
            evalTimeCells_.emplace_back();
            AppendCell(evalTimeCells_.back(), evalTimes_.back(), '\t');
        }
    }

    // Rows of grid points (i, first) to (i, last - 1), each row's end in rowEnds.
    void AppendRows(std::int64_t i, std::int64_t first, std::int64_t last, std::string& out,
                    std::vector<std::size_t>& rowEnds)
    {
        if (i != pass_) {
            const ScanAxis& axis = grid_.extinction;
            point_.extinction = float(AxisValue(axis.start, axis.end, axis.steps, int(i), axis.logarithmic));
            DeriveFromExtinction(point_);
            model_.SetExtinction(point_.extinction);
            // The first three cells are the same on every row of a pass.
            passCells_.clear();
            AppendCell(passCells_, point_.extinction, '\t');
            AppendCell(passCells_, point_.halfValueDepth, '\t');
            AppendCell(passCells_, point_.transmission, '\t');
            pass_ = i;
        }
        const std::size_t count = std::size_t(last - first);
        totals_.resize(count);
        model_.Totals(evalTimes_.data() + first, totals_.data(), count);

        for (std::size_t n = 0; n < count; ++n) {
            const ScanTotals& totals = totals_[n];
            if (format_ != TableFormat::Native) {
                point_.evalTime = evalTimes_[std::size_t(first) + n];
                AppendCleanRow(out, format_, i == 0 && first + std::int64_t(n) == 0, point_, totals);
                rowEnds.push_back(out.size());
                continue;
            }
            out += passCells_;
            out += evalTimeCells_[std::size_t(first) + n];
            AppendCell(out, totals.effLabTotal, '\t');
            AppendCell(out, totals.effNatTotal, '\t');
            // The ratio is written in double precision, not rounded to float.
            AppendCell(out, double(totals.effLabTotal) / double(totals.effNatTotal), '\n');
            rowEnds.push_back(out.size());
        }
    }

private:
    const ScanGrid& grid_;
    ModelParameters point_;
    ScanPointModel model_;
    TableFormat format_;
    std::int64_t pass_ = -1;
    std::string passCells_;
    std::vector<float> evalTimes_;
    std::vector<std::string> evalTimeCells_;
    std::vector<ScanTotals> totals_;
};

ScanRowSource::ScanRowSource(const ScanGrid& grid, const ModelParameters& params, int threads, TableFormat format)
    : grid_(grid), params_(params), format_(format)
{
    pointsPerPass_ = std::int64_t(grid.evalTime.steps) + 1;
    chunksPerPass_ = (pointsPerPass_ + kMaxChunkSize - 1) / kMaxChunkSize;
    chunkSize_ = (pointsPerPass_ + chunksPerPass_ - 1) / chunksPerPass_;
    chunkCount_ = (std::int64_t(grid.extinction.steps) + 1) * chunksPerPass_;

    // The calling thread evaluates too, so threads - 1 helpers.
    const std::int64_t helpers = std::min<std::int64_t>(std::max(threads, 1), chunkCount_) - 1;
    ring_.resize(std::size_t((helpers + 1) * kChunksPerThreadAhead));
    callerEvaluator_ = std::make_unique<Evaluator>(grid_, params_, format_);
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

void ScanRowSource::Compute(std::int64_t chunkIndex, Evaluator& evaluator, Chunk& out) const
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
    std::unique_ptr<Evaluator> evaluator;
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
                evaluator = std::make_unique<Evaluator>(grid_, params_, format_);
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
