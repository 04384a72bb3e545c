// The read-out table against what the read-outs show: names and units,
// the form of each text and the slider that rewrites it.
#include "model/InputTable.h"
#include "output/NumberText.h"
#include "plot/ReadoutTable.h"
#include "plot/Recompute.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>

namespace tamrisk {
namespace {

// A unit as the column names spell it: "1/mm" as "_per_mm", "s" as "_s".
std::string UnitSuffix(const std::string& unit)
{
    return unit.starts_with("1/") ? "_per_" + unit.substr(2) : "_" + unit;
}

TEST(ReadoutTable, NamesAndIdsFindTheirRowsAndNamesCarryTheUnit)
{
    std::set<std::string> names;
    std::set<MainControl> ids;
    for (const ReadoutRow& row : ReadoutTable()) {
        const std::string name = row.name;
        EXPECT_TRUE(names.insert(name).second) << name;
        EXPECT_TRUE(ids.insert(row.id).second) << name;
        EXPECT_EQ(FindReadout(name), &row);
        EXPECT_EQ(&ReadoutOf(row.id), &row);
        // A column name is lower case and one word in every table format.
        EXPECT_EQ(name.find_first_not_of("abcdefghijklmnopqrstuvwxyz_"), std::string::npos) << name;
        const std::string unit = row.unit;
        if (!unit.empty())
            EXPECT_TRUE(name.ends_with(UnitSuffix(unit))) << name << " [" << unit << "]";
        else
            for (const char* suffix : {"_mm", "_s", "_per_mm", "_per_s"})
                EXPECT_FALSE(name.ends_with(suffix)) << name << " has no unit";
        EXPECT_EQ(row.slider.has_value(), row.text == ReadoutText::Slider) << name;
        EXPECT_EQ(row.sliderText != nullptr, row.slider.has_value()) << name;
        EXPECT_EQ(row.renderedText != nullptr, !row.slider.has_value()) << name;
    }
    EXPECT_EQ(FindReadout("eff_ratoi"), nullptr);
    EXPECT_THROW(ReadoutOf(MainControl::ExtinctionSlider), std::invalid_argument);
}

// Each text has the form its row gives it, which also decides the widest
// text the window makes room for.
TEST(ReadoutTable, TextsHaveTheFormOfTheirRow)
{
    std::vector<Inputs> cases(4);
    cases[1].controls.sliders = {0, 200, 0, 200};
    cases[1].controls.flags.showRatio = cases[1].controls.flags.showSignalAtDepth = true;
    cases[2].controls.flags.autoScaleProfile = cases[2].controls.flags.autoScaleSignal = false;
    cases[3].overrides.extinction = 3.5;
    cases[3].overrides.depth = 0.125;
    cases[3].controls.edits.rate1 = "0.2";
    for (const Inputs& inputs : cases) {
        ModelState state;
        const std::vector<Readout> readouts = ComputeReadouts(inputs, state);
        ASSERT_EQ(readouts.size(), ReadoutTable().size());
        for (std::size_t i = 0; i < readouts.size(); ++i) {
            const ReadoutRow& row = ReadoutTable()[i];
            const Readout& readout = readouts[i];
            ASSERT_EQ(readout.id, row.id);
            ASSERT_EQ(readout.name, std::string(row.name));
            std::string expected;
            switch (row.text) {
            case ReadoutText::Slider:
                expected = FormatGeneral(readout.value, 4);
                break;
            case ReadoutText::AxisMaximum: {
                const bool automatic = row.id == MainControl::ProfileAutoMaxReadout
                                           ? inputs.controls.flags.autoScaleProfile
                                           : inputs.controls.flags.autoScaleSignal;
                expected = automatic ? "(" + FormatGeneral(readout.value, 4) + ")" : kUnwrittenReadout;
                break;
            }
            case ReadoutText::Total:
                expected = FormatGeneral(readout.value, 6);
                break;
            }
            EXPECT_EQ(readout.text, expected) << row.name;
            EXPECT_LE(readout.text.size(), WidestReadoutText(row.text).size()) << row.name;
        }
    }
    EXPECT_EQ(WidestReadoutText(ReadoutText::Slider), "-8.888e+037");
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
