// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/SweepRowMaker.h"

#include "model/ComputeModel.h"
#include "model/ReadParameters.h"

#include <algorithm>

namespace tamrisk {

namespace {

// The innermost axis's times and cells are kept for an axis of reasonable length.
constexpr std::int64_t kMaxCachedTimes = std::int64_t(1) << 20;

// The point model takes every parameter but the extinction and the
// evaluation time as it was built; the read-outs need the whole window.
bool LanesApply(const SweepPlan& plan)
{
    return plan.readouts.empty() && plan.axes.back().input == FindInput("eval-time");
}

} // namespace

std::int64_t SweepRunLength(const SweepPlan& plan) { return LanesApply(plan) ? plan.axes.back().Count() : 1; }

SweepRowMaker::SweepRowMaker(const SweepPlan& plan, const Inputs& base, TableFormat format)
    : plan_(plan),
      inputs_(base),
      writer_(format, SweepColumnNames(plan).size()),
      lanes_(LanesApply(plan)),
      extinctionAxis_(-1)
{
    const InputRow* extinction = FindInput("extinction");
    std::size_t column = 0;
    for (std::size_t a = 0; a < plan.axes.size(); ++a) {
        counts_.push_back(plan.axes[a].Count());
        columns_.push_back(column++);
        // The half-value depth and the transmission follow the extinction, as in the scan.
        if (plan.axes[a].input == extinction) {
            extinctionAxis_ = int(a);
            column += 2;
        }
    }
    totalsColumn_ = column;
    index_.assign(counts_.size(), 0);
    last_.assign(counts_.size(), -1);
    cells_.assign(counts_.size(), std::string());
    if (!plan.readouts.empty()) {
        const std::vector<std::string> names = ReadoutNames();
        for (const std::string& name : plan.readouts)
            readoutAt_.push_back(std::size_t(std::find(names.begin(), names.end(), name) - names.begin()));
        readoutValues_.resize(readoutAt_.size());
        readoutInDouble_.resize(readoutAt_.size());
    }
    if (lanes_ && counts_.back() <= kMaxCachedTimes) {
        const SweepAxis& inner = plan.axes.back();
        for (std::int64_t k = 0; k < counts_.back(); ++k) {
            innerTimes_.push_back(float(inner.Value(k)));
            innerCells_.emplace_back();
            writer_.Cell(innerCells_.back(), columns_.back(), innerTimes_.back());
        }
    }
}

bool SweepRowMaker::SetAxes(std::size_t end, bool& onlyExtinction)
{
    bool changed = false;
    for (std::size_t a = 0; a < end; ++a) {
        if (index_[a] == last_[a])
            continue;
        cells_[a] = writer_.Text(float(plan_.axes[a].Value(index_[a])));
        plan_.axes[a].Set(inputs_, index_[a]);
        changed = true;
        onlyExtinction = onlyExtinction && int(a) == extinctionAxis_;
        last_[a] = index_[a];
    }
    return changed;
}

void SweepRowMaker::AxisCells(std::string& out, std::size_t end) const
{
    for (std::size_t a = 0; a < end; ++a) {
        writer_.TextCell(out, columns_[a], cells_[a]);
        if (int(a) == extinctionAxis_) {
            writer_.Cell(out, columns_[a] + 1, params_.halfValueDepth);
            writer_.Cell(out, columns_[a] + 2, params_.transmission);
        }
    }
}

void SweepRowMaker::StartRun()
{
    // The evaluation time, the innermost axis, goes to the point model directly.
    const std::size_t inner = index_.size() - 1;
    bool onlyExtinction = true;
    if (!SetAxes(inner, onlyExtinction) && model_)
        return;
    ReadParameters(inputs_.controls, params_, flags_);
    ApplyOverrides(inputs_.overrides, params_);
    if (model_ && onlyExtinction)
        model_->SetExtinction(params_.extinction);
    else
        model_.emplace(params_);
    runCells_.clear();
    AxisCells(runCells_, inner);
}

void SweepRowMaker::RunRows(std::int64_t row, std::int64_t first, std::size_t count, TextRows& out)
{
    const float* times = nullptr;
    if (!innerTimes_.empty()) {
        times = innerTimes_.data() + first;
    } else {
        chunkTimes_.clear();
        for (std::size_t n = 0; n < count; ++n)
            chunkTimes_.push_back(float(plan_.axes.back().Value(first + std::int64_t(n))));
        times = chunkTimes_.data();
    }
    totals_.resize(count);
    // Every evaluation time of the rows at once, in vector lanes.
    model_->Totals(times, totals_.data(), count);

    std::string& bytes = out.bytes;
    for (std::size_t n = 0; n < count; ++n) {
        writer_.Begin(bytes, row + std::int64_t(n) == 0);
        bytes += runCells_;
        if (innerCells_.empty())
            writer_.Cell(bytes, columns_.back(), times[n]);
        else
            bytes += innerCells_[std::size_t(first) + n];
        const float lab = totals_[n].effLabTotal;
        const float nat = totals_[n].effNatTotal;
        writer_.Cell(bytes, totalsColumn_, lab);
        writer_.Cell(bytes, totalsColumn_ + 1, nat);
        // The ratio is the double it is computed in, as in the scan.
        writer_.Cell(bytes, totalsColumn_ + 2, double(lab) / double(nat));
        writer_.End(bytes);
        out.ends.push_back(bytes.size());
    }
}

SweepRowMaker::Totals SweepRowMaker::EvaluatePoint()
{
    bool onlyExtinction = true;
    SetAxes(index_.size(), onlyExtinction);
    if (!readoutAt_.empty()) {
        const std::vector<Readout> readouts = ComputeReadouts(inputs_, state_);
        for (std::size_t c = 0; c < readoutAt_.size(); ++c) {
            readoutValues_[c] = readouts[readoutAt_[c]].value;
            readoutInDouble_[c] = readouts[readoutAt_[c]].computedInDouble;
        }
        params_ = state_.params;
        return {state_.profile.effLabTotal, state_.profile.effNatTotal};
    }
    ReadParameters(inputs_.controls, params_, flags_);
    ApplyOverrides(inputs_.overrides, params_);
    ComputeDepthProfile(params_, profile_);
    return {profile_.effLabTotal, profile_.effNatTotal};
}

void SweepRowMaker::PointRow(std::int64_t row, const Totals& totals, TextRows& out)
{
    std::string& bytes = out.bytes;
    writer_.Begin(bytes, row == 0);
    AxisCells(bytes, index_.size());
    writer_.Cell(bytes, totalsColumn_, totals.lab);
    writer_.Cell(bytes, totalsColumn_ + 1, totals.nat);
    writer_.Cell(bytes, totalsColumn_ + 2, double(totals.lab) / double(totals.nat));
    for (std::size_t c = 0; c < readoutValues_.size(); ++c) {
        // A stored float as its shortest text, a value computed in double precision as the double's.
        const double value = readoutValues_[c];
        if (readoutInDouble_[c])
            writer_.Cell(bytes, totalsColumn_ + 3 + c, value);
        else
            writer_.Cell(bytes, totalsColumn_ + 3 + c, float(value));
    }
    writer_.End(bytes);
    out.ends.push_back(bytes.size());
}

void SweepRowMaker::Advance(std::int64_t steps)
{
    std::size_t a = index_.size() - 1;
    index_[a] += steps;
    while (a > 0 && index_[a] == counts_[a]) {
        index_[a] = 0;
        ++index_[--a];
    }
}

void SweepRowMaker::AppendRows(RowRange range, TextRows& out)
{
    if (range.first >= range.last)
        return;
    std::int64_t rest = range.first;
    for (std::size_t a = counts_.size(); a-- > 0;) {
        index_[a] = rest % counts_[a];
        rest /= counts_[a];
    }
    for (std::int64_t row = range.first; row < range.last;) {
        if (lanes_) {
            const std::int64_t first = index_.back();
            const std::int64_t count = std::min(counts_.back() - first, range.last - row);
            StartRun();
            RunRows(row, first, std::size_t(count), out);
            row += count;
            Advance(count);
        } else {
            PointRow(row, EvaluatePoint(), out);
            ++row;
            Advance(1);
        }
    }
}

} // namespace tamrisk
