#include "cli/CliOptions.h"

#include "model/ParseText.h"

#include <charconv>
#include <iterator>
#include <utility>

namespace tamrisk::cli {

namespace {

using FlagMember = bool DisplayFlags::*;

// The curve flags by their field names, as --show takes them.
const std::pair<const char*, FlagMember> kCurveFlags[] = {
    {"showIntensity", &DisplayFlags::showIntensity},
    {"showOslContribution", &DisplayFlags::showOslContribution},
    {"showNatRate", &DisplayFlags::showNatRate},
    {"showLabDose", &DisplayFlags::showLabDose},
    {"showRatio", &DisplayFlags::showRatio},
    {"showEffNatRate", &DisplayFlags::showEffNatRate},
    {"showEffLabDose", &DisplayFlags::showEffLabDose},
    {"showEffRatio", &DisplayFlags::showEffRatio},
    {"showIntNatRate", &DisplayFlags::showIntNatRate},
    {"showIntLabDose", &DisplayFlags::showIntLabDose},
    {"showIntRatio", &DisplayFlags::showIntRatio},
    {"showEffIntNatRate", &DisplayFlags::showEffIntNatRate},
    {"showEffIntLabDose", &DisplayFlags::showEffIntLabDose},
    {"showEffIntRatio", &DisplayFlags::showEffIntRatio},
    {"showTotalSignalNat", &DisplayFlags::showTotalSignalNat},
    {"showTotalSignalLab", &DisplayFlags::showTotalSignalLab},
    {"showTotalSignalHomogeneous", &DisplayFlags::showTotalSignalHomogeneous},
    {"showSignalAtDepth", &DisplayFlags::showSignalAtDepth},
};

CLI::Validator CurveFlagName()
{
    return CLI::Validator(
        [](std::string& text) -> std::string {
            std::string names;
            for (const auto& [name, member] : kCurveFlags) {
                if (text == name)
                    return {};
                names += names.empty() ? "" : ",";
                names += name;
            }
            return "'" + text + "' is not one of " + names;
        },
        "NAME");
}

const CLI::Validator& NumberText()
{
    static const CLI::Validator validator(
        [](std::string& text) -> std::string {
            return ParseStrictNumber(text) ? std::string() : "'" + text + "' is not a number";
        },
        "NUMBER");
    return validator;
}

// An integer written with digits only, within [low, high].
CLI::Validator IntegerText(int low, int high, std::string description)
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

void AddPosition(CLI::App& command, const char* name, int& position, const char* what)
{
    command.add_option(name, position, std::string("position 0-200 of the ") + what + " slider")
        ->check(IntegerText(0, 200, "POSITION"))
        ->capture_default_str();
}

void AddOverride(CLI::App& command, const char* name, std::string& text, const char* what)
{
    command.add_option(name, text, std::string("set ") + what + " directly, at any value")->check(NumberText());
}

} // namespace

std::optional<double> ParseStrictNumber(std::string_view text)
{
    // from_chars takes no leading '+'; a sign before a digit or point is still a number.
    if (text.size() > 1 && text.front() == '+' && text[1] != '-' && text[1] != '+')
        text.remove_prefix(1);
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || ptr != end || error == std::errc::invalid_argument)
        return std::nullopt;
    // Out of range: from_chars leaves value untouched; take atof's infinity or zero.
    if (error == std::errc::result_out_of_range)
        value = ParseNumber(text);
    return value;
}

void AddInputOptions(CLI::App& command, CliRequest& request, RawOptions& raw, const char* depthOverride)
{
    EditTexts& edits = request.controls.edits;
    const std::pair<const char*, std::string*> texts[] = {
        {"--top", &edits.top},
        {"--bottom", &edits.bottom},
        {"--plot-max", &edits.plotMax},
        {"--integral-scale", &edits.integralScale},
        {"--intensity-max", &edits.intensityMax},
        {"--time-max", &edits.timeMax},
        {"--rate1", &edits.rate1},
        {"--rate2", &edits.rate2},
        {"--curve-step", &edits.curveStep},
    };
    for (const auto& [name, text] : texts)
        command.add_option(name, *text, "edit text, read as the window reads it")->capture_default_str();

    SliderPositions& sliders = request.controls.sliders;
    AddPosition(command, "--extinction-pos", sliders.extinction, "extinction");
    AddPosition(command, "--dose-rate-pos", sliders.doseRate, "external dose rate");
    AddPosition(command, "--eval-time-pos", sliders.evalTime, "evaluation time");
    AddPosition(command, "--depth-pos", sliders.depth, "depth");

    command.add_option("--show", raw.show, "curves to show, by flag name: showIntensity ... showSignalAtDepth")
        ->delimiter(',')
        ->check(CurveFlagName());
    command.add_flag("--transparency-correction", request.controls.transparencyCorrection,
                     "multiply the OSL fraction by the intensity");
    command.add_flag("--no-auto-profile", raw.noAutoProfile, "no automatic maximum of the depth plot");
    command.add_flag("--no-auto-signal", raw.noAutoSignal, "no automatic maximum of the signal plot");

    AddOverride(command, "--extinction", raw.extinction, "the extinction coefficient [1/mm]");
    AddOverride(command, "--eval-time", raw.evalTime, "the evaluation time [s]");
    AddOverride(command, "--dose-rate", raw.doseRate, "the external dose rate (relative)");
    AddOverride(command, depthOverride, raw.depth, "the depth of the single decay curve [mm]");
}

void AddGridOptions(CLI::App& command, CliRequest& request, RawOptions& raw)
{
    ScanGridTexts& grid = request.grid;
    const std::pair<const char*, std::string*> texts[] = {
        {"--ext-start", &grid.extinctionStart}, {"--ext-end", &grid.extinctionEnd},
        {"--ext-steps", &grid.extinctionSteps}, {"--time-start", &grid.evalTimeStart},
        {"--time-end", &grid.evalTimeEnd},      {"--time-steps", &grid.evalTimeSteps},
    };
    for (const auto& [name, text] : texts)
        command.add_option(name, *text, "grid text, read as the grid dialog's")->capture_default_str();
    command.add_option("--ext-log", raw.extinctionLog, "logarithmic extinction axis")
        ->check(CLI::IsMember({"0", "1"}))
        ->capture_default_str();
    command.add_option("--time-log", raw.evalTimeLog, "logarithmic evaluation-time axis")
        ->check(CLI::IsMember({"0", "1"}))
        ->capture_default_str();
    command.add_option("--threads", request.threads, "threads evaluating the grid")
        ->check(IntegerText(1, 1024, "N"))
        ->capture_default_str();
}

void ApplyRawOptions(const RawOptions& raw, CliRequest& request)
{
    DisplayFlags& flags = request.controls.flags;
    for (const std::string& name : raw.show)
        for (const auto& [flagName, member] : kCurveFlags)
            if (name == flagName)
                flags.*member = true;
    flags.autoScaleProfile = !raw.noAutoProfile;
    flags.autoScaleSignal = !raw.noAutoSignal;

    ParameterOverrides& overrides = request.overrides;
    const std::pair<const std::string*, std::optional<double>*> values[] = {
        {&raw.extinction, &overrides.extinction},
        {&raw.evalTime, &overrides.evalTime},
        {&raw.doseRate, &overrides.doseRate},
        {&raw.depth, &overrides.depth},
    };
    for (const auto& [text, value] : values)
        if (!text->empty())
            *value = ParseStrictNumber(*text);

    request.grid.extinctionLog = raw.extinctionLog == "1";
    request.grid.evalTimeLog = raw.evalTimeLog == "1";
}

} // namespace tamrisk::cli
