// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/ArgumentRules.h"
#include "cli/CliRequest.h"

#include <CLI/CLI.hpp>

#include <iosfwd>
#include <map>
#include <string>
#include <vector>

namespace tamrisk::cli {

// The texts of the input options as given, by input name, until parsing is done.
struct RawInputs {
    std::map<std::string, std::string> texts;
    std::map<std::string, bool> switches;
    std::vector<std::string> show;
};

// Every input of the input table as an option of the command, with its
// meaning, unit and default in the help, and --show for the curves.
void AddInputOptions(CLI::App& command, RawInputs& raw);

// Moves the given options into the inputs. Texts that the window would read
// only in part are taken as the window takes them, with a warning on `warn`.
void ApplyInputOptions(const CLI::App& command, const RawInputs& raw, Inputs& inputs, std::ostream& warn);

// The shapes of a command's options, for the argument rules.
std::vector<OptionShape> OptionShapes(const CLI::App& command);

} // namespace tamrisk::cli
