// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "output/OutputFile.h"
#include "scan/ScanEstimate.h"

#include <chrono>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>

namespace tamrisk::cli {

// False, with the size needed and the space free on err, when the result
// file would not fit on the target's file system.
bool FitsInFreeSpace(const ScanEstimate& estimate, const OutputFile& file, const std::string& path, std::ostream& err);

// One line on the terminal that a long scan rewrites in place: points done,
// rate and time left.
class ScanProgressLine {
public:
    ScanProgressLine(std::uint64_t points, std::ostream& terminal);
    // A line for a scan expected to take more than about a second, when err
    // is a terminal and the user did not ask for quiet; otherwise nothing.
    static std::unique_ptr<ScanProgressLine> ForScan(const ScanEstimate& estimate, bool quiet, std::ostream& err);

    // Cheap to call at every point; redraws a few times a second.
    void Update(std::uint64_t done);
    // Clears the line.
    void Finish();

private:
    using Clock = std::chrono::steady_clock;
    std::uint64_t points_;
    std::ostream& terminal_;
    Clock::time_point start_;
    Clock::time_point nextDraw_;
    bool drawn_ = false;
};

} // namespace tamrisk::cli
