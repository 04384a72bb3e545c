// SPDX-License-Identifier: GPL-3.0-or-later
// Hostile inputs through the whole window chain: every slider position with
// texts that are empty, signs alone, overflowing, non-numeric, hex, with units
// or a decimal comma, and a very long text. Nothing may crash or hang, and
// every read-out and file must keep its form.
#include "output/ProfileExport.h"
#include "output/SliderReadouts.h"
#include "model/CurveTable.h"
#include "plot/Recompute.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tamrisk {
namespace {

const std::vector<std::string>& HostileTexts()
{
    static const std::vector<std::string> texts = {"",
                                                   "-",
                                                   "1e999",
                                                   "-1e999",
                                                   "nan",
                                                   "0",
                                                   "-0",
                                                   "1e-45",
                                                   "999999999999",
                                                   "0x1p3",
                                                   " 2.5mm",
                                                   "1,5",
                                                   std::string(100000, '7')};
    return texts;
}

std::vector<std::string*> FloatEdits(EditTexts& e)
{
    return {&e.top, &e.bottom, &e.plotMax, &e.integralScale, &e.intensityMax, &e.timeMax, &e.rate1, &e.rate2};
}

void ShowEverything(ControlState& controls) { controls.flags = AllCurvesShown(controls.flags); }

bool IsOneWord(const std::string& text)
{
    return !text.empty() && text.find_first_of(std::string("\t\n\r \0", 5)) == std::string::npos;
}

void ExpectWellFormed(const PlotReadouts& plot, const SliderReadouts& sliders)
{
    for (const std::string* t :
         {&plot.effLabTotal, &plot.effNatTotal, &plot.effRatio, &sliders.extinction, &sliders.halfValueDepth,
          &sliders.transmission, &sliders.doseRate, &sliders.evalTime, &sliders.depth})
        ASSERT_TRUE(IsOneWord(*t)) << '"' << *t << '"';
    ASSERT_TRUE(plot.depthAutoMax && IsOneWord(*plot.depthAutoMax));
    ASSERT_TRUE(plot.signalAutoMax && IsOneWord(*plot.signalAutoMax));
}

void ExpectExportWellFormed(const ModelState& state)
{
    StringSink sink;
    WriteProfileExport(sink, state.params, state.profile);
    const std::string& bytes = sink.data();
    ASSERT_EQ(std::count(bytes.begin(), bytes.end(), '\0'), 5616);
    ASSERT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 411);
    // Every data cell is one word: between separators there is never a blank.
    const std::size_t dataStart = bytes.find('\n', bytes.find("Verh\xE4ltnis 4"));
    ASSERT_NE(dataStart, std::string::npos);
    ASSERT_EQ(bytes.find(' ', dataStart), std::string::npos);
}

// Each hostile text in each edit on its own, the curve step included.
TEST(ChainSweep, EachHostileTextInEachEdit)
{
    for (const std::string& text : HostileTexts()) {
        for (int edit = 0; edit < 9; ++edit) {
            ControlState controls;
            ShowEverything(controls);
            std::vector<std::string*> edits = FloatEdits(controls.edits);
            edits.push_back(&controls.edits.curveStep);
            *edits[edit] = text;
            SCOPED_TRACE("edit " + std::to_string(edit) + " text " + text.substr(0, 20));
            ModelState state;
            const PlotReadouts plot = Recompute(controls, state);
            ExpectWellFormed(plot, ComputeSliderReadouts(controls.sliders, state.params));
            ExpectExportWellFormed(state);
        }
    }
}

// Every position of every slider, with each hostile text in all float edits
// at once and with the transparency correction switched on every other time.
TEST(ChainSweep, EverySliderPositionWithHostileEdits)
{
    ModelState state;
    for (const std::string& text : HostileTexts()) {
        ControlState controls;
        ShowEverything(controls);
        for (std::string* edit : FloatEdits(controls.edits))
            *edit = text;
        for (int slider = 0; slider < 4; ++slider) {
            for (int position = 0; position <= 200; ++position) {
                SliderPositions& s = controls.sliders;
                int* target[] = {&s.extinction, &s.doseRate, &s.evalTime, &s.depth};
                *target[slider] = position;
                controls.transparencyCorrection = (position % 2) == 1;
                const ModelParameters previous = state.params;
                const PlotReadouts plot = Recompute(controls, state);
                ExpectWellFormed(plot, ComputeSliderReadouts(controls.sliders, previous));
                if (position % 50 == 0)
                    ExpectExportWellFormed(state);
            }
            controls.sliders = SliderPositions{};
        }
    }
}

} // namespace
} // namespace tamrisk
