// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ScanConsole.h"

#include "cli/OutputPaths.h"

#include <ostream>

#include <unistd.h>

namespace tamrisk::cli {

namespace {

constexpr double kShowAfterSeconds = 1.0;
constexpr std::chrono::milliseconds kRedrawInterval{250};
constexpr std::uint64_t kPointsBetweenClockReads = 64;

} // namespace

bool FitsInFreeSpace(const ScanEstimate& estimate, const OutputFile& file, const std::string& path, std::ostream& err)
{
    const std::optional<std::uint64_t> free = file.freeBytes();
    if (!free || estimate.bytes <= double(*free))
        return true;
    err << "tamrisk-cli scan: the grid has " << estimate.points << " points; its file needs about "
        << SizeText(estimate.bytes) << " but the file system of '" << Shown(path) << "' has only "
        << SizeText(double(*free)) << " free; nothing was written\n";
    return false;
}

ScanProgressLine::ScanProgressLine(std::uint64_t points, std::ostream& terminal)
    : points_(points), terminal_(terminal), start_(Clock::now()), nextDraw_(start_)
{
}

std::unique_ptr<ScanProgressLine> ScanProgressLine::ForScan(const ScanEstimate& estimate, bool quiet, std::ostream& err)
{
    if (quiet || estimate.seconds <= kShowAfterSeconds || ::isatty(STDERR_FILENO) == 0)
        return nullptr;
    return std::make_unique<ScanProgressLine>(estimate.points, err);
}

void ScanProgressLine::Update(std::uint64_t done)
{
    if (done % kPointsBetweenClockReads != 0)
        return;
    const Clock::time_point now = Clock::now();
    if (now < nextDraw_)
        return;
    nextDraw_ = now + kRedrawInterval;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const double rate = seconds > 0.0 ? double(done) / seconds : 0.0;
    terminal_ << "\rscan: " << done << " of " << points_ << " points, ";
    if (rate > 0.0)
        terminal_ << std::uint64_t(rate) << " points/s, " << DurationText(double(points_ - done) / rate) << " left";
    else
        terminal_ << "starting";
    terminal_ << "\x1b[K" << std::flush; // clears the rest of a longer earlier line
    drawn_ = true;
}

void ScanProgressLine::Finish()
{
    if (drawn_)
        terminal_ << "\r\x1b[K" << std::flush;
    drawn_ = false;
}

} // namespace tamrisk::cli
