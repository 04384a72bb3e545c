// The input table is the one source of which inputs are sliders, their
// positions and scales, and which texts are whole numbers; these tests tie
// those columns to what the model's readers do.
#include "model/ControlIds.h"
#include "model/InputTable.h"
#include "model/ParseText.h"
#include "model/ShortestText.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

namespace tamrisk {
namespace {

// The directly set value that replaces a slider: the Value row of its control.
const InputRow* ValueRowOf(const InputRow& slider)
{
    for (const InputRow& row : InputTable())
        if (row.kind == InputKind::Value && row.controlId == slider.controlId)
            return &row;
    return nullptr;
}

// The parameters the model reads from the inputs.
ModelParameters Read(const Inputs& inputs)
{
    ModelParameters params;
    DisplayFlags flags;
    ReadParameters(inputs.controls, params, flags);
    ApplyOverrides(inputs.overrides, params);
    return params;
}

std::vector<std::uint32_t> SliderFields(const ModelParameters& p)
{
    std::vector<std::uint32_t> bits;
    for (float v : {p.extinction, p.halfValueDepth, p.transmission, p.externalDoseRate, p.evalTime, p.signalDepth})
        bits.push_back(std::bit_cast<std::uint32_t>(v));
    return bits;
}

TEST(InputTable, EverySliderTakesThePositionsOfItsScale)
{
    int sliders = 0;
    for (const InputRow& row : InputTable()) {
        const std::optional<PositionRange> range = SliderRange(row);
        ASSERT_EQ(range.has_value(), row.kind == InputKind::Position) << row.name;
        if (!range)
            continue;
        ++sliders;
        EXPECT_EQ(range->low, kSliderMin) << row.name;
        EXPECT_EQ(range->high, kSliderMax) << row.name;
        // Whatever the edges, the positions stay those of the range.
        const SliderScale scale = row.scale(0.5f, -3.0f);
        EXPECT_EQ(scale.posMin, float(range->low)) << row.name;
        EXPECT_EQ(scale.posMax, float(range->high)) << row.name;
        EXPECT_EQ(FindSlider(row.controlId), &row) << row.name;
        // The help text's formula divides by the same number of positions.
        EXPECT_NE(std::string(row.meaning).find("p/" + std::to_string(kSliderMax)), std::string::npos) << row.name;
    }
    EXPECT_EQ(sliders, 4);
    EXPECT_EQ(FindSlider(IdNumber(MainControl::TopEdit)), nullptr);
    EXPECT_EQ(FindSlider(IdNumber(MainControl::ExtinctionReadout)), nullptr);
}

// A slider at any position gives the model the value the table says it
// gives: setting that value directly leaves the same parameters.
TEST(InputTable, SliderValueIsTheValueTheModelReads)
{
    for (const InputRow& slider : InputTable()) {
        if (slider.kind != InputKind::Position)
            continue;
        const InputRow* direct = ValueRowOf(slider);
        ASSERT_NE(direct, nullptr) << slider.name;
        for (int position : {kSliderMin, kSliderMin + 1, 57, 120, kSliderMax - 1, kSliderMax}) {
            Inputs moved;
            moved.controls.edits.top = "0.25";
            moved.controls.edits.bottom = "3.5";
            slider.set(moved, std::to_string(position));
            const std::optional<double> value = ValueUsed(slider, moved);
            ASSERT_TRUE(value) << slider.name;

            Inputs set;
            set.controls.edits = moved.controls.edits;
            direct->set(set, ShortestText(*value));
            EXPECT_EQ(SliderFields(Read(moved)), SliderFields(Read(set))) << slider.name << " at " << position;
        }
    }
}

TEST(InputTable, PositionTextsAreDigitsWithinTheRange)
{
    const InputRow& slider = *FindInput("eval-time-pos");
    struct Case {
        std::string text;
        bool accepted;
    };
    const Case cases[] = {
        {std::to_string(kSliderMin), true},      {std::to_string(kSliderMax), true},
        {std::to_string(kSliderMax + 1), false}, {std::to_string(kSliderMin - 1), false},
        {"", false},                             {"12a", false},
        {" 5", false},                           {"+5", false},
        {"5.0", false},                          {"99999999999", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsPositionText(slider, c.text), c.accepted) << "'" << c.text << "'";
    EXPECT_FALSE(IsPositionText(*FindInput("top"), "5"));
    EXPECT_FALSE(IsPositionText(*FindInput("extinction"), "5"));
}

TEST(InputTable, WholeNumberTextsAreReadAsTheModelReadsThem)
{
    std::vector<std::string> integers;
    for (const InputRow& row : InputTable()) {
        if (row.kind != InputKind::Text) {
            EXPECT_FALSE(IsIntegerInput(row)) << row.name;
            continue;
        }
        Inputs inputs;
        row.set(inputs, "7.9");
        EXPECT_EQ(*ValueUsed(row, inputs), IsIntegerInput(row) ? 7.0 : double(7.9f)) << row.name;
        if (IsIntegerInput(row))
            integers.emplace_back(row.name);
    }
    EXPECT_EQ(integers, (std::vector<std::string>{"curve-step", "ext-steps", "time-steps"}));

    Inputs inputs;
    FindInput("curve-step")->set(inputs, "7.9");
    EXPECT_EQ(Read(inputs).curveStep, 7);
}

} // namespace
} // namespace tamrisk
