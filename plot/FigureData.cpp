// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/FigureData.h"

#include <cmath>
#include <string_view>

namespace tamrisk {

namespace {

struct ColumnLabelRow {
    std::string_view column;
    const char* english;
    const char* german;
};

// The columns of the scan and sweep tables a figure is usually drawn from.
constexpr ColumnLabelRow kColumnLabels[]{
    {"extinction_per_mm", "Extinction coefficient [1/mm]", "Extinktionskoeffizient [1/mm]"},
    {"eval_time_s", "Evaluation time [s]", "Auswertezeit [s]"},
    {"half_value_depth_mm", "Half-value depth [mm]", "Halbwertstiefe [mm]"},
    {"transmission", "Transmission per mm", "Transmission pro mm"},
    {"dose_rate", "External dose rate [relative]", "Externe Dosisleistung [relativ]"},
    {"rate1_per_s", "OSL decay rate [1/s]", "OSL-Zerfallsrate [1/s]"},
    {"top_mm", "Top edge [mm]", "Oberkante [mm]"},
    {"bottom_mm", "Bottom edge [mm]", "Unterkante [mm]"},
    {"depth_mm", "Curve depth [mm]", "Kurventiefe [mm]"},
    {"time_max_s", "End of the time axis [s]", "Ende der Zeitachse [s]"},
    {"integral_scale", "Integral scale", "Integralfaktor"},
    {"rate2_per_s", "Second decay rate [1/s]", "Rate 2 [1/s]"},
    {"plot_max", "Value-axis maximum of the depth plot", "Maximum der Wertachse des Tiefenplots"},
    {"intensity_max", "Value-axis maximum of the signal plot", "Maximum der Signalachse"},
    {"transparency_correction", "Transparency correction (0 off, 1 on)", "Transparenz-Korrektur (0 aus, 1 an)"},
    {"auto_profile", "Automatic depth-plot axis (0 off, 1 on)", "Automatische Wertachse (0 aus, 1 an)"},
    {"auto_signal", "Automatic signal axis (0 off, 1 on)", "Automatische Signalachse (0 aus, 1 an)"},
    {"external_dose_rate", "External dose rate [relative]", "Externe Dosisleistung [relativ]"},
    {"signal_depth_mm", "Curve depth [mm]", "Kurventiefe [mm]"},
    {"profile_axis_max", "Automatic maximum of the depth plot", "Automatisches Maximum des Tiefenplots"},
    {"signal_axis_max", "Automatic maximum of the signal plot", "Automatisches Maximum des Signalplots"},
    {"eff_lab_total", "Effective lab dose total [relative]", "Effektives Integral der Labor-Dosis [relativ]"},
    {"eff_nat_total", "Effective natural dose-rate total [relative]",
     "Effektives Integral der nat. Dosisleistung [relativ]"},
    {"eff_ratio", "Ratio of the effective totals", "Verhältnis der effektiven Integrale"},
};

bool AllFinite(const std::vector<double>& values)
{
    for (double v : values)
        if (!std::isfinite(v))
            return false;
    return true;
}

} // namespace

bool StrictlyRising(const std::vector<double>& values)
{
    for (std::size_t i = 1; i < values.size(); ++i)
        if (!(values[i] > values[i - 1]))
            return false;
    return true;
}

std::string ColumnLabel(const std::string& column, Language language)
{
    for (const ColumnLabelRow& row : kColumnLabels)
        if (row.column == column)
            return language == Language::De ? row.german : row.english;
    return column;
}

std::optional<std::string> CheckFigureData(PlotKind kind, const FigureData& data)
{
    if (kind != PlotKind::Scan && kind != PlotKind::Sweep)
        return std::nullopt;
    if (data.x.empty() || data.y.empty())
        return "the table has no values to draw";
    if (data.z.size() != data.x.size() * data.y.size())
        return "the table's values do not fill its grid";
    if (!AllFinite(data.x) || !AllFinite(data.y))
        return "an axis value of the table is not a finite number";
    if (kind == PlotKind::Scan && (data.x.size() < 2 || data.y.size() < 2))
        return "a map needs at least two values on each axis";
    if (kind == PlotKind::Scan && (!StrictlyRising(data.x) || !StrictlyRising(data.y)))
        return "the map's axis values must rise";
    if (kind == PlotKind::Sweep && data.x.size() < 2)
        return "a family of curves needs at least two values along its axis";
    for (const std::vector<double>* axis : {&data.x, &data.y})
        if ((axis == &data.x ? data.xLog : data.yLog) && !((*axis)[0] > 0.0 && axis->back() > 0.0))
            return "a logarithmic axis needs values above 0";
    if (!AllFinite(data.levels))
        return "a contour level is not a finite number";
    return std::nullopt;
}

} // namespace tamrisk
