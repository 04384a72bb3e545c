// SPDX-License-Identifier: GPL-3.0-or-later
// The input table is the one source of which inputs are sliders, their
// positions and scales, and which texts are whole numbers; these tests tie
// those columns to what the model's readers do.
#include "model/ControlIds.h"
#include "model/InputTable.h"
#include "model/ShortestText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tamrisk {
namespace {

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
        EXPECT_EQ(FindSlider(row.controlId), &row) << row.name;
        // The help text's formula divides by the same number of positions.
        EXPECT_NE(std::string(row.meaning).find("p/" + std::to_string(kSliderMax)), std::string::npos) << row.name;
    }
    EXPECT_EQ(sliders, 4);
    EXPECT_EQ(FindSlider(IdNumber(MainControl::TopEdit)), nullptr);
}

// A slider at any position gives the model the value its row's scale gives:
// setting that value directly (the Value row of the same control) leaves the
// same parameters.
TEST(InputTable, SliderValueIsTheValueTheModelReads)
{
    const auto read = [](const Inputs& inputs) {
        ModelParameters p;
        DisplayFlags flags;
        ReadParameters(inputs.controls, p, flags);
        ApplyOverrides(inputs.overrides, p);
        return std::vector<float>{p.extinction,       p.halfValueDepth, p.transmission,
                                  p.externalDoseRate, p.evalTime,       p.signalDepth};
    };
    for (const InputRow& slider : InputTable()) {
        if (slider.kind != InputKind::Position)
            continue;
        const InputRow* direct = nullptr;
        for (const InputRow& row : InputTable())
            if (row.kind == InputKind::Value && row.controlId == slider.controlId)
                direct = &row;
        ASSERT_NE(direct, nullptr) << slider.name;
        for (int position : {kSliderMin, kSliderMin + 1, 57, 120, kSliderMax}) {
            Inputs moved;
            moved.controls.edits.top = "0.25";
            moved.controls.edits.bottom = "3.5";
            slider.set(moved, std::to_string(position));
            Inputs set;
            set.controls.edits = moved.controls.edits;
            direct->set(set, ShortestText(*ValueUsed(slider, moved)));
            EXPECT_EQ(read(moved), read(set)) << slider.name << " at " << position;
        }
    }
}

TEST(InputTable, PositionTextsAreDigitsWithinTheRange)
{
    const InputRow& slider = *FindInput("eval-time-pos");
    for (const std::string& text : {std::to_string(kSliderMin), std::to_string(kSliderMax)})
        EXPECT_TRUE(IsPositionText(slider, text)) << text;
    for (const std::string& text : {std::to_string(kSliderMax + 1), std::to_string(kSliderMin - 1), std::string(),
                                    std::string("12a"), std::string(" 5"), std::string("+5"), std::string("5.0")})
        EXPECT_FALSE(IsPositionText(slider, text)) << "'" << text << "'";
    EXPECT_FALSE(IsPositionText(*FindInput("top"), "5"));
}

TEST(InputTable, WholeNumberTextsAreTheStepCounts)
{
    std::vector<std::string> integers;
    for (const InputRow& row : InputTable()) {
        if (row.kind != InputKind::Text)
            continue;
        Inputs inputs;
        row.set(inputs, "7.9");
        EXPECT_EQ(*ValueUsed(row, inputs), IsIntegerInput(row) ? 7.0 : double(7.9f)) << row.name;
        if (IsIntegerInput(row))
            integers.emplace_back(row.name);
    }
    EXPECT_EQ(integers, (std::vector<std::string>{"curve-step", "ext-steps", "time-steps"}));
}

} // namespace
} // namespace tamrisk
