// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliOptions.h"

#include "cli/OutputPaths.h"
#include "model/CurveTable.h"
#include "model/InputTable.h"
#include "model/ParseText.h"
#include "model/ShortestText.h"

#include <charconv>
#include <ostream>

namespace tamrisk::cli {

namespace {

CLI::Validator CurveFlagName()
{
    return CLI::Validator(
        [](std::string& text) -> std::string {
            if (FindCurve(text) != nullptr)
                return {};
            std::string names;
            for (const CurveRow& curve : kCurves)
                names += (names.empty() ? "" : ",") + std::string(curve.name);
            return "'" + text + "' is not one of " + names;
        },
        "NAME");
}

CLI::Validator StrictNumber()
{
    return CLI::Validator(
        [](std::string& text) -> std::string {
            return ParseStrictNumber(text) ? std::string() : "'" + text + "' is not a number";
        },
        "NUMBER");
}

// An integer written with digits only, within [low, high].
CLI::Validator IntegerRange(int low, int high, std::string description)
{
    return CLI::Validator(
        [low, high](std::string& text) -> std::string {
            int value = 0;
            const char* end = text.data() + text.size();
            const auto [ptr, error] = std::from_chars(text.data(), end, value);
            if (text.empty() || error != std::errc() || ptr != end || value < low || value > high)
                return "'" + text + "' is not an integer from " + std::to_string(low) + " to " + std::to_string(high);
            return {};
        },
        std::move(description));
}

std::string Help(const InputRow& row)
{
    std::string help = row.meaning;
    if (*row.unit != '\0')
        help += std::string(" [") + row.unit + "]";
    return help;
}

// Main-window switches are flags (--name, --no-name); the grid's scale choices take 0 or 1.
bool IsFlag(const InputRow& row) { return row.kind == InputKind::Switch && row.dialog == InputDialog::Main; }

// One warning when the window would read only the start of the text.
void WarnIfReadInPart(const InputRow& row, const std::string& text, std::ostream& warn)
{
    if (text.empty())
        return;
    if (IsIntegerInput(row)) {
        int value = 0;
        const char* end = text.data() + text.size();
        const auto [ptr, error] = std::from_chars(text.data(), end, value);
        if (ptr == end && error == std::errc())
            return;
        warn << "tamrisk-cli: warning: --" << row.name << " '" << Shown(text) << "' is read as " << ParseInteger(text)
             << ", as the window reads it\n";
        return;
    }
    if (ParseStrictNumber(text))
        return;
    warn << "tamrisk-cli: warning: --" << row.name << " '" << Shown(text) << "' is read as "
         << ShortestText(ParseNumber(text)) << ", as the window reads it (numbers take a decimal point)\n";
}

} // namespace

void AddInputOptions(CLI::App& command, RawInputs& raw)
{
    for (const InputRow& row : InputTable()) {
        const std::string name = std::string("--") + row.name;
        const std::string defaultText = DefaultText(row);
        if (IsFlag(row)) {
            bool& value = raw.switches[row.name];
            command.add_flag(name + ",!--no-" + row.name, value,
                             Help(row) + " (default: " + (defaultText == "1" ? "on" : "off") + ")");
            continue;
        }
        CLI::Option* option = command.add_option(name, raw.texts[row.name], Help(row));
        switch (row.kind) {
        case InputKind::Text:
            option->default_str(defaultText);
            option->type_name("TEXT");
            break;
        case InputKind::Position: {
            const PositionRange range = *SliderRange(row);
            option->check(IntegerRange(range.low, range.high, "POSITION"))->default_str(defaultText);
            break;
        }
        case InputKind::Switch:
            option->check(CLI::IsMember({"0", "1"}))->default_str(defaultText);
            break;
        case InputKind::Value:
            option->check(StrictNumber());
            break;
        }
    }
    std::string names;
    for (const CurveRow& curve : kCurves)
        names += (names.empty() ? "" : ", ") + std::string(curve.name);
    command
        .add_option("--show", raw.show,
                    "curves to show, by flag name (comma-separated): " + names + "; none by default")
        ->delimiter(',')
        ->check(CurveFlagName());
}

void ApplyInputOptions(const CLI::App& command, const RawInputs& raw, Inputs& inputs, std::ostream& warn)
{
    for (const InputRow& row : InputTable()) {
        const std::string name = std::string("--") + row.name;
        if (command.count(name) == 0 && (!IsFlag(row) || command.count("--no-" + std::string(row.name)) == 0))
            continue;
        if (IsFlag(row)) {
            row.set(inputs, raw.switches.at(row.name) ? "1" : "0");
            continue;
        }
        const std::string& text = raw.texts.at(row.name);
        if (row.kind == InputKind::Text)
            WarnIfReadInPart(row, text, warn);
        row.set(inputs, text);
    }
    for (const std::string& name : raw.show)
        if (const CurveRow* curve = FindCurve(name))
            inputs.controls.flags.*curve->flag = true;
}

std::vector<OptionShape> OptionShapes(const CLI::App& command)
{
    std::vector<OptionShape> shapes;
    for (const CLI::Option* option : command.get_options()) {
        OptionShape shape;
        for (const std::string& name : option->get_lnames())
            shape.names.push_back("--" + name);
        for (const std::string& name : option->get_snames())
            shape.names.push_back("-" + name);
        shape.takesValue = option->get_expected_min() > 0;
        shapes.push_back(std::move(shape));
    }
    return shapes;
}

} // namespace tamrisk::cli
