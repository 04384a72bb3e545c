// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/ShownCurves.h"

#include <cstddef>

namespace tamrisk {

std::vector<ShownCurve> ShownCurves(PlotKind plot, const DisplayFlags& flags, const DepthProfile& profile,
                                    const SignalCurves& curves, int points)
{
    std::vector<ShownCurve> shown;
    if (points <= 0)
        return shown;
    for (const CurveRow& row : kCurves) {
        if (row.plot != plot || !(flags.*row.flag))
            continue;
        const std::vector<float>* values = nullptr;
        if (plot == PlotKind::Depth) {
            values = &(profile.*kProfileArrays[std::size_t(row.array)].values);
        } else {
            const SignalArrayRow& array = kSignalArrays[std::size_t(row.array)];
            if (curves.*array.computed)
                values = &(curves.*array.values);
        }
        if (values != nullptr && values->size() >= static_cast<std::size_t>(points))
            shown.push_back({&row, values->data()});
    }
    return shown;
}

} // namespace tamrisk
