// SPDX-License-Identifier: GPL-3.0-or-later
// The read-out table against what the read-outs show: names and units,
// the form of each text and the slider that rewrites it.
#include "model/InputTable.h"
#include "output/NumberText.h"
#include "plot/ReadoutTable.h"
#include "plot/Recompute.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace tamrisk {
namespace {

// A unit as the column names spell it: "1/mm" as "_per_mm", "s" as "_s".
std::string UnitSuffix(const std::string& unit)
{
    return unit.starts_with("1/") ? "_per_" + unit.substr(2) : "_" + unit;
}

TEST(ReadoutTable, NamesFindTheirRowsAndCarryTheUnit)
{
    for (const ReadoutRow& row : ReadoutTable()) {
        const std::string name = row.name;
        EXPECT_EQ(FindReadout(name), &row);
        EXPECT_EQ(&ReadoutOf(row.id), &row);
        const std::string unit = row.unit;
        if (!unit.empty())
            EXPECT_TRUE(name.ends_with(UnitSuffix(unit))) << name << " [" << unit << "]";
        else
            for (const char* suffix : {"_mm", "_s", "_per_mm"})
                EXPECT_FALSE(name.ends_with(suffix)) << name << " has no unit";
        EXPECT_EQ(row.slider.has_value(), row.text == ReadoutText::Slider) << name;
    }
    EXPECT_THROW(ReadoutOf(MainControl::ExtinctionSlider), std::invalid_argument);
}

// Each text has the form its row gives it, which also decides the widest
// text the window makes room for.
TEST(ReadoutTable, TextsHaveTheFormOfTheirRow)
{
    std::vector<Inputs> cases(3);
    cases[1].controls.sliders = {0, 200, 0, 200};
    cases[2].controls.flags.autoScaleProfile = cases[2].controls.flags.autoScaleSignal = false;
    cases[2].overrides.extinction = 3.5;
    for (const Inputs& inputs : cases) {
        ModelState state;
        const std::vector<Readout> readouts = ComputeReadouts(inputs, state);
        for (std::size_t i = 0; i < readouts.size(); ++i) {
            const ReadoutRow& row = ReadoutTable()[i];
            const std::string text = readouts[i].text;
            const std::string digits4 = FormatGeneral(readouts[i].value, 4);
            std::string expected = digits4;
            if (row.text == ReadoutText::Total)
                expected = FormatGeneral(readouts[i].value, 6);
            if (row.text == ReadoutText::AxisMaximum) // unwritten without automatic scaling
                expected = text == kUnwrittenReadout ? text : "(" + digits4 + ")";
            EXPECT_EQ(text, expected) << row.name;
            EXPECT_LE(text.size(), WidestReadoutText(row.text).size()) << row.name;
        }
    }
    EXPECT_EQ(WidestReadoutText(ReadoutText::AxisMaximum), "(-8.888e+037)");
    EXPECT_EQ(WidestReadoutText(ReadoutText::Total), "-8.88888e+037");
}

// Moving a slider changes exactly the read-outs whose row names it.
TEST(ReadoutTable, EachSliderMovesTheReadoutsItsRowsName)
{
    ModelState state;
    const std::vector<Readout> start = ComputeReadouts(Inputs{}, state);
    for (const InputRow& slider : InputTable()) {
        if (slider.kind != InputKind::Position)
            continue;
        Inputs moved;
        slider.set(moved, "7");
        const std::vector<Readout> after = ComputeReadouts(moved, state);
        for (std::size_t i = 0; i < after.size(); ++i) {
            const ReadoutRow& row = ReadoutTable()[i];
            if (!row.slider)
                continue;
            const bool rewritten = IdNumber(*row.slider) == slider.controlId;
            EXPECT_EQ(after[i].value != start[i].value, rewritten) << slider.name << ": " << row.name;
        }
    }
}

} // namespace
} // namespace tamrisk
