#include "scan/SweepRows.h"

#include "scan/SweepPoint.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace tamrisk {

namespace {

// Rows per chunk: enough that a chunk keeps its outer point's model for many
// rows, few enough to spread a short range over the threads.
constexpr std::int64_t kMaxChunkRows = 512;
// Chunks per thread in one block; a block is written once all its chunks are done.
constexpr std::int64_t kChunksPerThread = 16;

} // namespace

std::string SweepHeader(const SweepPlan& plan, TableFormat format)
{
    return CleanLine(format, SweepColumnNames(plan));
}

bool WriteSweepRows(const SweepPlan& plan, const Inputs& base, TableFormat format, RowRange range, ByteSink& sink,
                    const SweepHooks& hooks)
{
    const std::int64_t threads = std::max(hooks.threads, 1);
    const std::int64_t rows = std::max<std::int64_t>(range.last - range.first, 0);
    const std::int64_t chunkRows = std::clamp<std::int64_t>(rows / (threads * 4), 1, kMaxChunkRows);
    const std::int64_t blockChunks = threads * kChunksPerThread;

    // Each thread keeps its own evaluation state from block to block.
    std::vector<std::unique_ptr<SweepPoint>> points;
    for (std::int64_t t = 0; t < threads; ++t)
        points.push_back(std::make_unique<SweepPoint>(plan, base, format));
    std::vector<std::string> chunks(static_cast<std::size_t>(blockChunks));

    for (std::int64_t first = range.first; first < range.last;) {
        if (hooks.cancelled && hooks.cancelled())
            return false;
        const std::int64_t last = std::min(range.last, first + chunkRows * blockChunks);
        const std::int64_t count = (last - first + chunkRows - 1) / chunkRows;
        std::atomic<std::int64_t> next{0};
        std::mutex failureMutex;
        std::exception_ptr failure;
        const auto work = [&](SweepPoint& point) {
            try {
                for (std::int64_t c = next++; c < count; c = next++) {
                    std::string& out = chunks[std::size_t(c)];
                    out.clear();
                    const std::int64_t end = std::min(last, first + (c + 1) * chunkRows);
                    for (std::int64_t row = first + c * chunkRows; row < end; ++row)
                        point.AppendRow(row, out);
                }
            } catch (...) {
                std::lock_guard lock(failureMutex);
                if (!failure)
                    failure = std::current_exception();
                next = count;
            }
        };
        std::vector<std::thread> helpers;
        for (std::int64_t t = 1; t < std::min(threads, count); ++t) {
            try {
                helpers.emplace_back(work, std::ref(*points[std::size_t(t)]));
            } catch (const std::system_error&) {
                break;  // go on with the threads we have
            }
        }
        work(*points[0]);
        for (std::thread& helper : helpers)
            helper.join();
        if (failure)
            std::rethrow_exception(failure);
        for (std::int64_t c = 0; c < count; ++c)
            sink.Write(chunks[std::size_t(c)]);
        first = last;
        if (hooks.progress)
            hooks.progress(first - range.first, rows);
    }
    return true;
}

std::int64_t EstimateSweepRowBytes(const SweepPlan& plan, const Inputs& base, TableFormat format, RowRange range)
{
    const std::int64_t rows = std::max<std::int64_t>(range.last - range.first, 0);
    constexpr std::int64_t kSamples = 64;
    SweepPoint point(plan, base, format);
    std::string out;
    if (rows <= kSamples) {
        for (std::int64_t row = range.first; row < range.last; ++row)
            point.AppendRow(row, out);
        return std::int64_t(out.size());
    }
    for (std::int64_t s = 0; s < kSamples; ++s)
        point.AppendRow(range.first + s * (rows - 1) / (kSamples - 1), out);
    return std::int64_t(double(out.size()) / double(kSamples) * double(rows) + 0.5);
}

} // namespace tamrisk
