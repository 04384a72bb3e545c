// SPDX-License-Identifier: GPL-3.0-or-later
// The whole chain from arbitrary window inputs: nine edit texts, four slider
// positions and the check boxes, through ComputeModel and RenderPlots into
// both output files in memory. Every text stays one word and both files keep
// their shape.
#include "model/CurveTable.h"
#include "model/InputTable.h"
#include "output/ProfileExport.h"
#include "plot/Recompute.h"
#include "scan/ScanRun.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

void RequireOneWord(const std::string& text)
{
    for (char c : text)
        if (c == '\t' || c == '\n' || c == '\0')
            std::abort();
}

// Flag i: the curves in table order, then the two automatic scales.
bool& FlagAt(tamrisk::DisplayFlags& f, int i)
{
    if (i < int(tamrisk::kCurves.size()))
        return f.*tamrisk::kCurves[std::size_t(i)].flag;
    return i == int(tamrisk::kCurves.size()) ? f.autoScaleProfile : f.autoScaleSignal;
}

std::string Text(FuzzedDataProvider& in) { return in.ConsumeRandomLengthString(64); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    // The edit texts and then the slider positions, in the input table's order.
    tamrisk::Inputs inputs;
    for (const tamrisk::InputRow& row : tamrisk::InputTable()) {
        if (row.dialog != tamrisk::InputDialog::Main)
            continue;
        if (row.kind == tamrisk::InputKind::Text)
            row.set(inputs, Text(in));
        else if (const std::optional<tamrisk::PositionRange> range = tamrisk::SliderRange(row))
            row.set(inputs, std::to_string(in.ConsumeIntegralInRange(range->low, range->high)));
    }
    tamrisk::ControlState& controls = inputs.controls;
    controls.transparencyCorrection = in.ConsumeBool();
    for (int i = 0; i < int(tamrisk::kCurves.size()) + 2; ++i)
        FlagAt(controls.flags, i) = in.ConsumeBool();

    // Kept from input to input as the window keeps it; every field is
    // rewritten by the recomputation, so results do not depend on history.
    static tamrisk::ModelState state;
    const tamrisk::PlotReadouts readouts = tamrisk::Recompute(controls, state);
    for (const std::string* t : {&readouts.effLabTotal, &readouts.effNatTotal, &readouts.effRatio})
        RequireOneWord(*t);
    if (readouts.depthAutoMax)
        RequireOneWord(*readouts.depthAutoMax);
    if (readouts.signalAutoMax)
        RequireOneWord(*readouts.signalAutoMax);

    tamrisk::StringSink exportFile;
    tamrisk::WriteProfileExport(exportFile, state.params, state.profile);
    const std::string& bytes = exportFile.data();
    if (std::count(bytes.begin(), bytes.end(), '\0') != 16 + 14 * state.params.depthPoints ||
        std::count(bytes.begin(), bytes.end(), '\n') != 11 + state.params.depthPoints)
        std::abort();

    // A small grid keeps each input fast; its texts are arbitrary too.
    tamrisk::ScanGridTexts gridTexts;
    gridTexts.extinctionStart = Text(in);
    gridTexts.extinctionEnd = Text(in);
    gridTexts.evalTimeStart = Text(in);
    gridTexts.evalTimeEnd = Text(in);
    gridTexts.extinctionLog = in.ConsumeBool();
    gridTexts.evalTimeLog = in.ConsumeBool();
    tamrisk::ScanGrid grid = tamrisk::ReadScanGrid(gridTexts);
    grid.extinction.steps = in.ConsumeIntegralInRange(-1, 3);
    grid.evalTime.steps = in.ConsumeIntegralInRange(-1, 3);
    if (tamrisk::CheckScanGrid(grid))
        return 0;
    tamrisk::StringSink scanFile;
    tamrisk::ScanToFile(grid, state.params, state.flags, state.profile, state.curves, scanFile,
                        [](tamrisk::ProgressLine, const std::string& text) { RequireOneWord(text); });
    const std::string& scan = scanFile.data();
    const long rows = (std::max(grid.extinction.steps, -1) + 1L) * (std::max(grid.evalTime.steps, -1) + 1L);
    if (std::count(scan.begin(), scan.end(), '\0') != 7 * (1 + rows) ||
        std::count(scan.begin(), scan.end(), '\n') != 1 + rows)
        std::abort();
    return 0;
}
