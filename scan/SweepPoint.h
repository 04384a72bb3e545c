#pragma once

#include "model/DepthProfile.h"
#include "model/Inputs.h"
#include "output/CleanTable.h"
#include "plot/Recompute.h"
#include "scan/ScanPointModel.h"
#include "scan/SweepPlan.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tamrisk {

// One thread's evaluation of sweep rows. It keeps what the last row left:
// inputs change only where an axis index changed, and where the evaluation
// time is the innermost axis the scan's point model serves every row of an
// outer point, rebuilt only when something besides the extinction changes.
class SweepPoint {
public:
    SweepPoint(const SweepPlan& plan, const Inputs& base, TableFormat format);

    // Appends row number `row` of the table in the format.
    void AppendRow(std::int64_t row, std::string& out);

private:
    struct Totals {
        float lab = 0.0f;
        float nat = 0.0f;
    };
    Totals Evaluate(const std::vector<std::int64_t>& index);
    template <typename T>
    std::string CellText(T value) const;
    template <typename T>
    void Cell(std::string& out, T value) const;  // with its separator before it

    const SweepPlan& plan_;
    Inputs inputs_;
    TableFormat format_;
    bool innerEvalTime_;   // the scan's point model applies
    int extinctionAxis_;   // -1 when the extinction is not varied
    bool readoutColumns_;
    std::vector<std::int64_t> counts_;
    std::vector<std::int64_t> index_;
    std::vector<std::int64_t> last_;  // indices of the previous row, -1 before the first
    std::vector<float> values_;       // the axes' values at last_
    std::vector<std::string> cells_;  // and their cells
    const char* separator_;
    ModelParameters params_;
    DisplayFlags flags_;
    DepthProfile profile_;
    std::optional<ScanPointModel> model_;
    ModelState state_;
    std::vector<std::size_t> readoutAt_;  // position of each asked read-out in ComputeReadouts
    std::vector<double> readoutValues_;
};

} // namespace tamrisk
