#include "scan/ScanRun.h"

#include "model/ComputeModel.h"
#include "output/NumberText.h"
#include "scan/ScanRowSource.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace tamrisk {

namespace {

void WriteHeader(ByteSink& sink)
{
    PieceWriter out(sink);
    out.Piece("Extinktionsk.\t");
    out.Piece("Halbwertstiefe\t");
    out.Piece("Transmission\t");
    out.Piece("tMax\t");
    out.Piece("ED[Lab]\t");
    out.Piece("ED[Nat]\t");
    out.Piece("Verh\xE4ltnis\n");  // cp1252 "ä"
}

// The text is built only when someone listens: a scan without a progress
// window spends nothing on it.
template <typename MakeText>
void Report(const ScanProgress& progress, int lineId, MakeText makeText)
{
    if (progress)
        progress(lineId, makeText());
}

std::string CountLine(std::int64_t done, std::int64_t total, float fraction)
{
    return std::to_string(done) + " von " + std::to_string(total) + " Berechnungen (" +
           FormatGeneral(100.0 * double(fraction), 3) + "%)";
}

} // namespace

void ScanToFile(const ScanGrid& grid, ModelParameters& params, const DisplayFlags& flags,
                DepthProfile& profile, SignalCurves& curves, ByteSink& sink,
                const ScanProgress& progress, int threads)
{
    const std::int64_t outerSteps = grid.extinction.steps;
    const std::int64_t innerSteps = grid.evalTime.steps;
    bool pointSet = false;  // params hold a grid point that the profile must follow
    try {
        WriteHeader(sink);
        std::optional<ScanRowSource> rows;
        if (outerSteps >= 0 && innerSteps >= 0)
            rows.emplace(grid, params, threads);

        // The evaluation times of a pass, computed once.
        std::vector<double> evalTimes;
        for (std::int64_t j = 0; j <= innerSteps; ++j) {
            const ScanAxis& inner = grid.evalTime;
            evalTimes.push_back(AxisValue(inner.start, inner.end, inner.steps, int(j), inner.logarithmic));
        }

        std::int64_t counted = 0;
        for (std::int64_t i = 0; i <= outerSteps; ++i) {
            const ScanAxis& outer = grid.extinction;
            params.extinction = float(AxisValue(outer.start, outer.end, outer.steps, int(i), outer.logarithmic));
            DeriveFromExtinction(params);
            Report(progress, 1050, [&] { return "t    = " + FormatGeneral(double(params.extinction), 5); });

            for (std::int64_t j = 0; j <= innerSteps; ++j) {
                const double evalTime = evalTimes[std::size_t(j)];
                params.evalTime = float(evalTime);
                pointSet = true;
                Report(progress, 1051, [&] { return "tMax = " + FormatGeneral(evalTime, 5); });
                sink.Write(rows->Row(i, j));
            }

            // With a single extinction value the one pass is the whole scan: 100 %.
            const float fraction = outerSteps == 0 ? 1.0f : float(double(i) / double(outerSteps));
            Report(progress, 1052, [&] { return CountLine(counted, outerSteps * innerSteps, fraction); });
            counted += innerSteps;
        }
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
}

} // namespace tamrisk
