#include "scan/SweepPoint.h"

#include "model/ComputeModel.h"
#include "model/ReadParameters.h"
#include "output/CleanText.h"

#include <algorithm>
#include <cmath>

namespace tamrisk {

SweepPoint::SweepPoint(const SweepPlan& plan, const Inputs& base, TableFormat format)
    : plan_(plan),
      inputs_(base),
      format_(format),
      extinctionAxis_(-1),
      readoutColumns_(!plan.readouts.empty())
{
    const InputRow* extinction = FindInput("extinction");
    for (std::size_t a = 0; a < plan.axes.size(); ++a) {
        counts_.push_back(plan.axes[a].Count());
        if (plan.axes[a].input == extinction)
            extinctionAxis_ = int(a);
    }
    index_.assign(counts_.size(), 0);
    values_.assign(counts_.size(), 0.0f);
    cells_.assign(counts_.size(), std::string());
    separator_ = format == TableFormat::Tsv ? "\t" : format == TableFormat::Json ? ", " : ",";
    last_.assign(counts_.size(), -1);
    // The point model takes every parameter but the extinction and the
    // evaluation time as it was built; the read-outs need the whole window.
    innerEvalTime_ = !readoutColumns_ && plan.axes.back().input == FindInput("eval-time");
    if (readoutColumns_) {
        const std::vector<std::string> names = ReadoutNames();
        for (const std::string& name : plan.readouts)
            readoutAt_.push_back(std::size_t(std::find(names.begin(), names.end(), name) - names.begin()));
        readoutValues_.resize(readoutAt_.size());
    }
}

SweepPoint::Totals SweepPoint::Evaluate(const std::vector<std::int64_t>& index)
{
    const std::size_t inner = index.size() - 1;
    bool outerChanged = false;
    bool onlyExtinction = true;
    for (std::size_t a = 0; a < index.size(); ++a) {
        if (index[a] == last_[a])
            continue;
        values_[a] = float(plan_.axes[a].Value(index[a]));
        cells_[a] = CellText(values_[a]);
        // The point model takes the innermost evaluation time directly.
        if (!(innerEvalTime_ && a == inner))
            plan_.axes[a].Set(inputs_, index[a]);
        if (a < inner) {
            outerChanged = true;
            onlyExtinction = onlyExtinction && int(a) == extinctionAxis_;
        }
        last_[a] = index[a];
    }

    if (readoutColumns_) {
        const std::vector<Readout> readouts = ComputeReadouts(inputs_, state_);
        for (std::size_t c = 0; c < readoutAt_.size(); ++c)
            readoutValues_[c] = readouts[readoutAt_[c]].value;
        params_ = state_.params;
        return {state_.profile.effLabTotal, state_.profile.effNatTotal};
    }
    if (innerEvalTime_) {
        if (outerChanged || !model_) {
            ReadParameters(inputs_.controls, params_, flags_);
            ApplyOverrides(inputs_.overrides, params_);
            if (model_ && onlyExtinction)
                model_->SetExtinction(params_.extinction);
            else
                model_.emplace(params_);
        }
        params_.evalTime = values_[inner];
        const ScanTotals totals = model_->Totals(params_.evalTime);
        return {totals.effLabTotal, totals.effNatTotal};
    }
    ReadParameters(inputs_.controls, params_, flags_);
    ApplyOverrides(inputs_.overrides, params_);
    ComputeDepthProfile(params_, profile_);
    return {profile_.effLabTotal, profile_.effNatTotal};
}

template <typename T>
std::string SweepPoint::CellText(T value) const
{
    // JSON has no numbers for non-finite values: null stands for them.
    return format_ == TableFormat::Json && !std::isfinite(value) ? std::string("null") : CleanText(value);
}

template <typename T>
void SweepPoint::Cell(std::string& out, T value) const
{
    out += separator_;
    out += CellText(value);
}

void SweepPoint::AppendRow(std::int64_t row, std::string& out)
{
    std::int64_t rest = row;
    for (std::size_t a = counts_.size(); a-- > 0;) {
        index_[a] = rest % counts_[a];
        rest /= counts_[a];
    }
    const Totals totals = Evaluate(index_);

    if (format_ == TableFormat::Json)
        out += row == 0 ? "\n    [" : ",\n    [";
    for (std::size_t a = 0; a < cells_.size(); ++a) {
        if (a > 0)
            out += separator_;
        out += cells_[a];
    }
    if (extinctionAxis_ >= 0) {
        Cell(out, params_.halfValueDepth);
        Cell(out, params_.transmission);
    }
    Cell(out, totals.lab);
    Cell(out, totals.nat);
    // The ratio is the double it is computed in, as in the scan.
    Cell(out, double(totals.lab) / double(totals.nat));
    for (double value : readoutValues_) {
        // A value that is exactly a float is written as the float's shortest text.
        if (double(float(value)) == value)
            Cell(out, float(value));
        else
            Cell(out, value);
    }
    out += format_ == TableFormat::Json ? "]" : "\n";
}

} // namespace tamrisk
