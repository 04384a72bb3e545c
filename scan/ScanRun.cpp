// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ScanRun.h"

#include "model/ComputeModel.h"
#include "output/NumberText.h"
#include "output/RowWriter.h"
#include "plot/ReadoutTable.h"
#include "scan/ScanRowMaker.h"
#include "scan/TableEngine.h"

#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

namespace tamrisk {

namespace {

// A column of the scan file: its header there and the read-out whose value it
// holds, whose name the clean tables take.
struct ScanColumn {
    const char* nativeHeader; // cp1252
    MainControl readout;
};

using M = MainControl;
constexpr ScanColumn kScanColumns[] = {
    {"Extinktionsk.", M::ExtinctionReadout},  {"Halbwertstiefe", M::HalfValueDepthReadout},
    {"Transmission", M::TransmissionReadout}, {"tMax", M::EvalTimeReadout},
    {"ED[Lab]", M::EffLabTotalReadout},       {"ED[Nat]", M::EffNatTotalReadout},
    {"Verh\xE4ltnis", M::EffRatioReadout},
};
static_assert(std::size(kScanColumns) == kScanColumnCount);

void WriteHeader(ByteSink& sink, const ScanLayout& layout)
{
    if (layout.format == TableFormat::Json) {
        sink.Write(layout.jsonHead);
        return;
    }
    const RowWriter writer(layout.format, kScanColumnCount);
    if (layout.format != TableFormat::Native) {
        sink.Write(writer.Line(ScanColumnNames()));
        return;
    }
    // The window's header is written piece by piece, as its cells are.
    for (std::size_t c = 0; c < kScanColumnCount; ++c) {
        std::string piece;
        writer.TextCell(piece, c, kScanColumns[c].nativeHeader);
        sink.Write(piece);
    }
}

// The text is built only when someone listens: a scan without a progress
// window spends nothing on it.
template <typename MakeText>
void Report(const ScanProgress& progress, ProgressLine line, MakeText makeText)
{
    if (progress)
        progress(line, makeText());
}

std::string CountLine(std::int64_t done, std::int64_t total, float fraction)
{
    return std::to_string(done) + " von " + std::to_string(total) + " Berechnungen (" +
           FormatGeneral(100.0 * double(fraction), 3) + "%)";
}

} // namespace

std::vector<std::string> ScanColumnNames()
{
    std::vector<std::string> names;
    for (const ScanColumn& column : kScanColumns)
        names.push_back(ReadoutOf(column.readout).name);
    return names;
}

bool ScanToFile(const ScanGrid& grid, ModelParameters& params, const DisplayFlags& flags, DepthProfile& profile,
                SignalCurves& curves, ByteSink& sink, const ScanProgress& progress, int threads, const ScanPoll& poll,
                const ScanLayout& layout)
{
    const std::int64_t outerSteps = grid.extinction.steps;
    const std::int64_t innerSteps = grid.evalTime.steps;
    const auto startPass = [&](std::int64_t i) {
        const ScanAxis& outer = grid.extinction;
        params.extinction = float(AxisValue(outer.start, outer.end, outer.steps, int(i), outer.logarithmic));
        DeriveFromExtinction(params);
        Report(progress, ProgressLine::Extinction,
               [&] { return "t    = " + FormatGeneral(double(params.extinction), 5); });
    };
    const auto endPass = [&](std::int64_t i) {
        // With a single extinction value the one pass is the whole scan: 100 %.
        const float fraction = outerSteps == 0 ? 1.0f : float(double(i) / double(outerSteps));
        Report(progress, ProgressLine::Count,
               [&] { return CountLine(i * innerSteps, outerSteps * innerSteps, fraction); });
    };
    const auto writeTail = [&] {
        if (layout.format == TableFormat::Json)
            sink.Write(layout.jsonTail);
    };

    WriteHeader(sink, layout);
    if (innerSteps < 0) {
        // Passes without rows write nothing, and only the first and the last
        // leave a trace: the progress lines and the extinction.
        if (outerSteps >= 0) {
            startPass(0);
            endPass(0);
        }
        if (outerSteps > 0) {
            startPass(outerSteps);
            endPass(outerSteps);
        }
        writeTail();
        return true;
    }

    bool pointSet = false; // params hold a grid point that the profile must follow
    const auto scan = [&] {
        if (outerSteps >= 0) {
            const ScanAxis& inner = grid.evalTime;
            const std::int64_t perPass = innerSteps + 1;
            // The evaluation times of a pass, computed once for an axis of reasonable length.
            std::vector<double> evalTimes;
            if (innerSteps < (std::int64_t{1} << 20))
                for (std::int64_t j = 0; j <= innerSteps; ++j)
                    evalTimes.push_back(AxisValue(inner.start, inner.end, inner.steps, int(j), inner.logarithmic));
            // The producers start from the parameters as they are now; params follow the rows.
            const ModelParameters base = params;
            const TableBlocks blocks({0, (outerSteps + 1) * perPass}, perPass, threads);
            const auto makeRows = [&] {
                return
                    [&blocks, maker = ScanRowMaker(grid, base, layout.format)](std::int64_t b, TextRows& out) mutable {
                        out.Clear();
                        maker.AppendRows(blocks.Block(b), out);
                    };
            };
            std::uint64_t done = 0;
            std::int64_t i = 0; // the grid point of the next row
            std::int64_t j = 0;
            const auto writeRows = [&](std::int64_t, const TextRows& rows) {
                for (std::size_t k = 0; k < rows.Count(); ++k) {
                    if (j == 0)
                        startPass(i);
                    if (poll && !poll(done))
                        return false;
                    const double evalTime =
                        evalTimes.empty() ? AxisValue(inner.start, inner.end, inner.steps, int(j), inner.logarithmic)
                                          : evalTimes[std::size_t(j)];
                    params.evalTime = float(evalTime);
                    pointSet = true;
                    Report(progress, ProgressLine::EvalTime, [&] { return "tMax = " + FormatGeneral(evalTime, 5); });
                    sink.Write(rows.Row(k));
                    ++done;
                    if (++j == perPass) {
                        endPass(i);
                        j = 0;
                        ++i;
                    }
                }
                return true;
            };
            if (!RunTable<TextRows>({blocks.Count(), threads, {}}, makeRows, writeRows))
                return false;
        }
        writeTail();
        return true;
    };

    bool complete = false;
    try {
        complete = scan();
    } catch (...) {
        // As after a run point by point, the model holds the point where the scan stopped.
        if (pointSet) {
            try {
                ComputeModel(params, flags, profile, curves);
            } catch (...) {
            }
        }
        throw;
    }
    // The rows came from the scan's own evaluation; the model state follows the last point.
    if (pointSet)
        ComputeModel(params, flags, profile, curves);
    return complete;
}

} // namespace tamrisk
