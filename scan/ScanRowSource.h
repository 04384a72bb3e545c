#pragma once

#include "model/ModelParameters.h"
#include "output/CleanTable.h"
#include "scan/ScanRowMaker.h"
#include "scan/ScanGrid.h"

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace tamrisk {

// The data rows of a scan file, each the bytes of its seven cells with their
// NULs. Grid points are evaluated in chunks (never across an extinction
// value) by the calling thread and, for threads > 1, by helper threads that
// work ahead of it; Row() hands them out strictly in grid order, so the file
// does not depend on the number of threads.
class ScanRowSource {
public:
    // Needs at least one grid point on each axis.
    ScanRowSource(const ScanGrid& grid, const ModelParameters& params, int threads,
                  TableFormat format = TableFormat::Native);
    ~ScanRowSource();
    ScanRowSource(const ScanRowSource&) = delete;
    ScanRowSource& operator=(const ScanRowSource&) = delete;

    // Row of grid point (i, j). Calls must come in grid order; a view stays
    // valid until the next call. Rethrows a failure of a worker thread.
    std::string_view Row(std::int64_t i, std::int64_t j);

private:
    struct Chunk {
        std::int64_t index = -1;
        bool done = false;
        std::string bytes;
        std::vector<std::size_t> rowEnds;
    };

    std::int64_t ChunkOf(std::int64_t i, std::int64_t j) const;
    void Compute(std::int64_t chunkIndex, ScanRowMaker& evaluator, Chunk& out) const;
    void Work();
    Chunk& Await(std::int64_t chunkIndex);

    ScanGrid grid_;
    ModelParameters params_;
    TableFormat format_;
    std::int64_t pointsPerPass_;
    std::int64_t chunkSize_;
    std::int64_t chunksPerPass_;
    std::int64_t chunkCount_;

    std::vector<Chunk> ring_;
    std::unique_ptr<ScanRowMaker> callerEvaluator_;

    std::mutex mutex_;
    std::condition_variable produced_;
    std::condition_variable consumed_;
    std::int64_t nextChunk_ = 0;     // next chunk a worker takes
    std::int64_t currentChunk_ = 0;  // chunk the caller reads; its slot stays untouched
    std::int64_t readyChunk_ = -1;   // caller only: the chunk it already holds
    int idleWorkers_ = 0;            // workers waiting for a free slot
    std::int64_t callerWaiting_ = -1; // chunk the caller waits for, or -1
    bool stop_ = false;
    std::exception_ptr failure_;
    std::vector<std::thread> workers_;
};

} // namespace tamrisk
