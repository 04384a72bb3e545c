#include "scan/ScanRowMaker.h"

#include "output/NumberText.h"

namespace tamrisk {

namespace {

void AppendCell(std::string& out, double value, char separator)
{
    out += FormatCell(value);
    out += separator;
    out += '\0';
}

} // namespace

ScanRowMaker::ScanRowMaker(const ScanGrid& grid, const ModelParameters& params)
    : grid_(grid), point_(params), model_(params)
{
}

void ScanRowMaker::AppendRow(std::int64_t i, std::int64_t j, std::string& out)
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
    const ScanAxis& axis = grid_.evalTime;
    point_.evalTime = float(AxisValue(axis.start, axis.end, axis.steps, int(j), axis.logarithmic));
    const ScanTotals totals = model_.Totals(point_.evalTime);

    out += passCells_;
    AppendCell(out, point_.evalTime, '\t');
    AppendCell(out, totals.effLabTotal, '\t');
    AppendCell(out, totals.effNatTotal, '\t');
    // The ratio is written in double precision, not rounded to float.
    AppendCell(out, double(totals.effLabTotal) / double(totals.effNatTotal), '\n');
}

} // namespace tamrisk
