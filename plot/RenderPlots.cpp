// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/RenderPlots.h"

#include "lanes/ColumnLoops.h"
#include "model/CurveTable.h"
#include "output/NumberText.h"
#include "output/SliderReadouts.h"
#include "plot/PlotCoordinates.h"
#include "plot/ShownCurves.h"

#include <array>
#include <cstddef>
#include <vector>

namespace tamrisk {

namespace {

constexpr Color kAxisPen = Rgb(0, 0, 0);

Color PenOf(const ShownCurve& curve)
{
    const PenColor& pen = curve.row->pen;
    return Rgb(pen.r, pen.g, pen.b);
}

// Largest value above 0 among the shown curves, or 0. The comparison is
// strict, so a NaN never wins; the order of the scan cannot change the result.
float AutomaticMaximum(const std::vector<ShownCurve>& shown, int points)
{
    float m = 0.0f;
    for (const ShownCurve& c : shown)
        for (int i = 0; i < points; ++i)
            if (c.values[i] > m)
                m = c.values[i];
    return m;
}

// Replaces an axis maximum by the largest shown value when that is positive,
// and gives the read-out beside the "Automatisch" box either way.
std::string ApplyAutomaticMaximum(const std::vector<ShownCurve>& shown, int points, float& axisMax)
{
    const float m = AutomaticMaximum(shown, points);
    if (m > 0.0f)
        axisMax = m;
    return "(" + FormatReadout(axisMax) + ")";
}

// A picture of the given size filled with the background; nothing of the
// previous content survives. A picture of the right size is reused, as the
// fill covers every pixel anyway.
void NewPicture(Raster& picture, int width, int height)
{
    if (picture.width() != width || picture.height() != height)
        picture = Raster(width, height);
    picture.FillSolidRect(0, 0, width, height, kPlotBackground);
}

// Moves to `from` and draws to `to` when both ends have a pixel position.
void Segment(Raster& picture, const PixelPoint& from, const PixelPoint& to)
{
    if (!from || !to)
        return;
    picture.MoveTo(from->x, from->y);
    picture.LineTo(to->x, to->y);
}

enum class SampleAxis { Horizontal, Vertical };

// Draws the curves sample-major: the outer loop runs over the samples, the
// inner one over the curves in table order, so where two curves cross within
// one sample interval the later one lies on top. Each curve's previous point
// is kept, so every point is computed once.
// A value's pixel position is valueAt(q) for its PixelQuotients q; the
// quotients (a division each) are taken first, curve by curve, as a run of
// independent divisions.
struct ValueScale {
    double offset;
    double scale;
    bool negate;
};

template <typename SampleAt, typename ValueAt>
void DrawCurves(Raster& picture, const std::vector<ShownCurve>& shown, int points, SampleAt sampleAt, ValueScale scale,
                ValueAt valueAt, SampleAxis axis)
{
    if (points < 2)
        return;
    const auto point = [axis](PixelCoordinate sample, PixelCoordinate value) {
        return axis == SampleAxis::Horizontal ? Point(sample, value) : Point(value, sample);
    };
    const std::size_t count = std::size_t(points);
    std::vector<double> quotients(shown.size() * count);
    for (std::size_t j = 0; j < shown.size(); ++j)
        detail::PixelQuotients(shown[j].values, count, scale.offset, scale.scale, scale.negate,
                               quotients.data() + j * count);
    std::vector<PixelPoint> before;
    for (std::size_t j = 0; j < shown.size(); ++j)
        before.push_back(point(sampleAt(0), valueAt(quotients[j * count])));
    for (int i = 1; i < points; ++i) {
        const PixelCoordinate sample = sampleAt(i);
        for (std::size_t j = 0; j < shown.size(); ++j) {
            const PixelPoint here = point(sample, valueAt(quotients[j * count + std::size_t(i)]));
            picture.SelectPen(PenOf(shown[j]));
            Segment(picture, before[j], here);
            before[j] = here;
        }
    }
}

// Without a picture, only the automatic maximum is applied.
void DrawDepthPicture(ModelParameters& params, const DisplayFlags& flags, const DepthProfile& profile, Raster* canvas,
                      PlotReadouts& readouts)
{
    const int points = params.depthPoints;
    const std::vector<ShownCurve> shown = ShownCurves(PlotKind::Depth, flags, profile, {}, points);
    if (flags.autoScaleProfile)
        readouts.depthAutoMax = ApplyAutomaticMaximum(shown, points, params.plotMax);
    if (canvas == nullptr)
        return;
    Raster& picture = *canvas;
    NewPicture(picture, 500, 500);

    const double top = params.top;
    const double span = double(params.bottom) - top;
    const double sx = StoredScale(params.plotMax, 0.0025f);
    const double sy = StoredScale(span, 0.0025f);
    // value - 0 is value for every double, so this is the curves' quotient too.
    const auto quotient = [sx](double value) { return value / sx; };
    const auto column = [&](double value) { return PlotOffset(50, quotient(value)); };
    const auto columnAt = [](double q) { return PlotOffset(50, q); };
    const auto row = [&](int i) { return PlotOffset(50, (double(i) * sy - top) / sy); };

    picture.SelectPen(kAxisPen);
    const PixelCoordinate axisEnd = PlotOffset(50, span / sy);
    Segment(picture, Point(50, 50), Point(column(params.plotMax), 50));
    Segment(picture, Point(50, 50), Point(50, axisEnd));
    const PixelCoordinate one = column(1.0);
    Segment(picture, Point(one, 50), Point(one, axisEnd));

    DrawCurves(picture, shown, points, row, ValueScale{0.0, sx, false}, columnAt, SampleAxis::Vertical);
}

void DrawSignalPicture(ModelParameters& params, const DisplayFlags& flags, const SignalCurves& curves, Raster* canvas,
                       PlotReadouts& readouts)
{
    const int points = params.timePoints;
    const std::vector<ShownCurve> shown = ShownCurves(PlotKind::Signal, flags, {}, curves, points);
    if (flags.autoScaleSignal)
        readouts.signalAutoMax = ApplyAutomaticMaximum(shown, points, params.intensityMax);
    if (canvas == nullptr)
        return;
    Raster& picture = *canvas;
    NewPicture(picture, 500, 250);

    const double timeMin = params.timeMin;
    const double intensityMin = params.intensityMin;
    const double timeSpan = double(params.timeMax) - timeMin;
    const double intensitySpan = double(params.intensityMax) - intensityMin;
    const double st = StoredScale(timeSpan, 1.0f / 450.0f);
    const double sv = StoredScale(intensitySpan, 0.005f);
    const auto column = [&](int k) { return PlotOffset(50, (double(k) * st - timeMin) / st); };
    const auto quotient = [intensityMin, sv](double value) { return -((value - intensityMin) / sv); };
    const auto row = [&](double value) { return PlotOffset(225, quotient(value)); };
    const auto rowAt = [](double q) { return PlotOffset(225, q); };

    picture.SelectPen(kAxisPen);
    Segment(picture, Point(50, 225), Point(PlotOffset(50, timeSpan / st), 225));
    Segment(picture, Point(50, 225), Point(50, row(params.intensityMax)));

    DrawCurves(picture, shown, points, column, ValueScale{intensityMin, sv, true}, rowAt, SampleAxis::Horizontal);
}

PlotReadouts Render(ModelParameters& params, const DisplayFlags& flags, const DepthProfile& profile,
                    const SignalCurves& curves, PlotPictures* pictures)
{
    PlotReadouts readouts;
    DrawDepthPicture(params, flags, profile, pictures ? &pictures->depth : nullptr, readouts);
    DrawSignalPicture(params, flags, curves, pictures ? &pictures->signal : nullptr, readouts);
    readouts.effLabTotal = FormatGeneral(profile.effLabTotal, 6);
    readouts.effNatTotal = FormatGeneral(profile.effNatTotal, 6);
    readouts.effRatio = FormatGeneral(double(profile.effLabTotal) / double(profile.effNatTotal), 6);
    return readouts;
}

} // namespace

PlotReadouts RenderPlots(ModelParameters& params, const DisplayFlags& flags, const DepthProfile& profile,
                         const SignalCurves& curves, PlotPictures& pictures)
{
    return Render(params, flags, profile, curves, &pictures);
}

PlotReadouts ScalePlots(ModelParameters& params, const DisplayFlags& flags, const DepthProfile& profile,
                        const SignalCurves& curves)
{
    return Render(params, flags, profile, curves, nullptr);
}

} // namespace tamrisk
