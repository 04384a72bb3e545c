#include "scan/ScanRowMaker.h"

#include "output/CleanText.h"
#include "output/NumberText.h"

#include <cmath>

namespace tamrisk {

namespace {

void AppendCell(std::string& out, double value, char separator)
{
    char cell[kFormatCellCapacity + 2];
    char* end = WriteFormatCell(cell, value);
    *end++ = separator;
    *end++ = '\0';
    out.append(cell, end);
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

ScanRowMaker::ScanRowMaker(const ScanGrid& grid, const ModelParameters& params, TableFormat format)
    : grid_(grid), point_(params), model_(params), format_(format)
{
    // The evaluation times and their cells are the same in every pass: kept
    // once for an axis of reasonable length, made per row for a longer one.
    const ScanAxis& axis = grid_.evalTime;
    if (axis.steps >= kMaxCachedTimes)
        return;
    for (int j = 0; j <= axis.steps; ++j) {
        evalTimes_.push_back(float(AxisValue(axis.start, axis.end, axis.steps, j, axis.logarithmic)));
        evalTimeCells_.emplace_back();
        AppendCell(evalTimeCells_.back(), evalTimes_.back(), '\t');
    }
}

void ScanRowMaker::AppendRow(std::int64_t i, std::int64_t j, std::string& out)
{
    std::vector<std::size_t> ends;
    AppendRows(i, j, j + 1, out, ends);
}

void ScanRowMaker::AppendRows(std::int64_t i, std::int64_t first, std::int64_t last, std::string& out,
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
    const float* times = nullptr;
    if (!evalTimes_.empty()) {
        times = evalTimes_.data() + first;
    } else {
        const ScanAxis& axis = grid_.evalTime;
        chunkTimes_.clear();
        for (std::int64_t j = first; j < last; ++j)
            chunkTimes_.push_back(float(AxisValue(axis.start, axis.end, axis.steps, int(j), axis.logarithmic)));
        times = chunkTimes_.data();
    }
    model_.Totals(times, totals_.data(), count);

    for (std::size_t n = 0; n < count; ++n) {
        const ScanTotals& totals = totals_[n];
        if (format_ != TableFormat::Native) {
            point_.evalTime = times[n];
            AppendCleanRow(out, format_, i == 0 && first + std::int64_t(n) == 0, point_, totals);
            rowEnds.push_back(out.size());
            continue;
        }
        out += passCells_;
        if (evalTimeCells_.empty())
            AppendCell(out, times[n], '\t');
        else
            out += evalTimeCells_[std::size_t(first) + n];
        AppendCell(out, totals.effLabTotal, '\t');
        AppendCell(out, totals.effNatTotal, '\t');
        // The ratio is written in double precision, not rounded to float.
        AppendCell(out, double(totals.effLabTotal) / double(totals.effNatTotal), '\n');
        rowEnds.push_back(out.size());
    }
}

} // namespace tamrisk
