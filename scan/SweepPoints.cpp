// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/SweepPoints.h"

#include "model/ComputeModel.h"
#include "model/ReadParameters.h"

#include <algorithm>

namespace tamrisk {

namespace {

// The innermost axis's times are kept for an axis of reasonable length.
constexpr std::int64_t kMaxCachedTimes = std::int64_t(1) << 20;

// The point model takes every parameter but the extinction and the
// evaluation time as it was built; the read-outs need the whole window.
bool LanesApply(const SweepPlan& plan)
{
    return plan.readouts.empty() && plan.axes.back().input == FindInput("eval-time");
}

} // namespace

std::int64_t SweepRunLength(const SweepPlan& plan) { return LanesApply(plan) ? plan.axes.back().Count() : 1; }

SweepPoints::SweepPoints(const SweepPlan& plan, const Inputs& base)
    : plan_(plan), inputs_(base), lanes_(LanesApply(plan))
{
    const InputRow* extinction = FindInput("extinction");
    for (std::size_t a = 0; a < plan.axes.size(); ++a) {
        counts_.push_back(plan.axes[a].Count());
        if (plan.axes[a].input == extinction)
            extinctionAxis_ = int(a);
    }
    index_.assign(counts_.size(), 0);
    last_.assign(counts_.size(), -1);
    if (!plan.readouts.empty()) {
        const std::vector<std::string> names = ReadoutNames();
        for (const std::string& name : plan.readouts)
            readoutAt_.push_back(std::size_t(std::find(names.begin(), names.end(), name) - names.begin()));
        readoutValues_.resize(readoutAt_.size());
    }
    if (lanes_ && counts_.back() <= kMaxCachedTimes)
        for (std::int64_t k = 0; k < counts_.back(); ++k)
            innerTimes_.push_back(InnerTime(k));
}

void SweepPoints::Seek(std::int64_t row)
{
    for (std::size_t a = counts_.size(); a-- > 0;) {
        index_[a] = row % counts_[a];
        row /= counts_[a];
    }
}

void SweepPoints::Advance(std::int64_t steps)
{
    std::size_t a = index_.size() - 1;
    index_[a] += steps;
    while (a > 0 && index_[a] == counts_[a]) {
        index_[a] = 0;
        ++index_[--a];
    }
}

float SweepPoints::InnerTime(std::int64_t k) const { return float(plan_.axes.back().Value(k)); }

bool SweepPoints::SetAxes(std::size_t end, bool& onlyExtinction)
{
    bool changed = false;
    for (std::size_t a = 0; a < end; ++a) {
        if (index_[a] == last_[a])
            continue;
        plan_.axes[a].Set(inputs_, index_[a]);
        changed = true;
        onlyExtinction = onlyExtinction && int(a) == extinctionAxis_;
        last_[a] = index_[a];
    }
    return changed;
}

bool SweepPoints::StartRun()
{
    // The evaluation time, the innermost axis, goes to the point model directly.
    bool onlyExtinction = true;
    if (!SetAxes(index_.size() - 1, onlyExtinction) && model_)
        return false;
    ReadParameters(inputs_.controls, params_, flags_);
    ApplyOverrides(inputs_.overrides, params_);
    if (model_ && onlyExtinction)
        model_->SetExtinction(params_.extinction);
    else
        model_.emplace(params_);
    return true;
}

SweepPoints::RunRows SweepPoints::RunTotals(std::int64_t first, std::size_t count)
{
    const float* times = nullptr;
    if (!innerTimes_.empty()) {
        times = innerTimes_.data() + first;
    } else {
        chunkTimes_.clear();
        for (std::size_t n = 0; n < count; ++n)
            chunkTimes_.push_back(InnerTime(first + std::int64_t(n)));
        times = chunkTimes_.data();
    }
    totals_.resize(count);
    // Every evaluation time of the rows at once, in vector lanes.
    model_->Totals(times, totals_.data(), count);
    return {times, totals_.data()};
}

ScanTotals SweepPoints::EvaluatePoint()
{
    bool onlyExtinction = true;
    SetAxes(index_.size(), onlyExtinction);
    if (!readoutAt_.empty()) {
        const std::vector<Readout> readouts = ComputeReadouts(inputs_, state_);
        for (std::size_t c = 0; c < readoutAt_.size(); ++c)
            readoutValues_[c] = readouts[readoutAt_[c]].value;
        params_ = state_.params;
        return {state_.profile.effLabTotal, state_.profile.effNatTotal};
    }
    ReadParameters(inputs_.controls, params_, flags_);
    ApplyOverrides(inputs_.overrides, params_);
    ComputeDepthProfile(params_, profile_);
    return {profile_.effLabTotal, profile_.effNatTotal};
}

} // namespace tamrisk
