// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/ControlIds.h"
#include "model/DepthProfile.h"
#include "model/ModelParameters.h"
#include "output/SliderReadouts.h"
#include "plot/RenderPlots.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tamrisk {

// How a read-out label writes its value, and when.
enum class ReadoutText {
    Slider,      // general notation with 4 digits; rewritten when its slider moves
    AxisMaximum, // the same in parentheses; written by a rendering under automatic scaling only
    Total,       // general notation with 6 digits; rewritten by every rendering
};

// One read-out label of the main window.
struct ReadoutRow {
    MainControl id;
    const char* name; // column name of the tool's tables and records, and of --columns
    const char* unit; // "" for a pure number; the name ends with it
    ReadoutText text;
    // The value is the double it is computed in (the ratio of the totals), not
    // a stored float: tables write its shortest double text.
    bool computedInDouble;
    std::optional<MainControl> slider; // Slider read-outs: the slider that rewrites it
    // Slider read-outs: the value and text among those of the sliders.
    float SliderValues::*sliderValue;
    std::string SliderReadouts::*sliderText;
    // The others: the value in the rendered model, and the text the rendering
    // wrote (nothing when it wrote none).
    double (*renderedValue)(const ModelParameters&, const DepthProfile&);
    std::optional<std::string> (*renderedText)(const PlotReadouts&);
};

// Every read-out, in its order on screen.
std::span<const ReadoutRow> ReadoutTable();

// The row of a read-out name, or nullptr.
const ReadoutRow* FindReadout(std::string_view name);

// The row of a read-out label; throws std::invalid_argument for another control.
const ReadoutRow& ReadoutOf(MainControl id);

// The read-outs' names in table order.
std::vector<std::string> ReadoutNames();

// The text of a label that no rendering has written yet.
inline constexpr const char* kUnwrittenReadout = "...";

// The widest text a read-out can show: a sign, all its digits and a
// three-digit exponent with its sign ("+" is the wider one).
std::string WidestReadoutText(ReadoutText text);

} // namespace tamrisk
