// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Inputs.h"
#include "model/SliderScale.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tamrisk {

enum class InputKind {
    Text,     // an edit field's text, read as the window reads it
    Position, // a slider position, within its scale's positions
    Switch,   // a check box or scale choice, "0" or "1"
    Value,    // a parameter set directly, a number; "" when not set
};

// Which dialog a control belongs to; Value rows have none of their own and
// name the slider they replace.
enum class InputDialog { Main, Grid };

// One input of the program, as the window and the command line know it.
struct InputRow {
    const char* name;    // the command line's option name, without "--"
    const char* unit;    // "" for a pure number
    const char* meaning; // one line
    InputKind kind;
    InputDialog dialog;
    int controlId;
    std::string (*get)(const Inputs&);
    // Sets the input from a text the caller has checked for its kind.
    void (*set)(Inputs&, const std::string&);
    // Text inputs: read as a whole number (atoi) rather than as a real one (atof).
    bool integer;
    // Slider positions: the slider's scale for the current top and bottom
    // edges (only the depth slider's follows them); nullptr for other inputs.
    SliderScale (*scale)(float top, float bottom);
};

// The positions a slider takes, both ends included.
struct PositionRange {
    int low;
    int high;
};

// Every input: the nine edit texts, the four slider positions, the check
// boxes, the directly set parameters and the grid dialog's fields.
std::span<const InputRow> InputTable();

// The row of an option name, or nullptr.
const InputRow* FindInput(std::string_view name);

// The slider position row of a main-window control id, or nullptr.
const InputRow* FindSlider(int controlId);

// The text an input has in the start state.
std::string DefaultText(const InputRow& row);

// Texts read as whole numbers (atoi) rather than as real numbers (atof).
bool IsIntegerInput(const InputRow& row);

// The positions of a slider input, those of its scale; nothing for other inputs.
std::optional<PositionRange> SliderRange(const InputRow& row);

// Whether a text names a position of the slider input: digits only, in its range.
bool IsPositionText(const InputRow& row, std::string_view text);

// The value the program takes from the input as it stands: a text as the
// window reads it (real values rounded to single precision), a slider's
// position mapped through its scale, a switch as 0 or 1, a directly set value;
// nothing for a directly set value that is not given.
std::optional<double> ValueUsed(const InputRow& row, const Inputs& inputs);

} // namespace tamrisk
