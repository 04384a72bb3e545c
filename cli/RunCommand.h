// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Command.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace tamrisk::cli {

// Runs a parsed command: its own checks, then the check of its outputs (no
// two name one file, each can be written), then its work with the
// interrupts caught. A failure, an interrupt or running out of memory is
// said on err with the outputs that were not written. The exit code.
int RunCommand(Command& command, const std::vector<std::string>& arguments, const nlohmann::ordered_json* params,
               const CLI::App& parsed, std::ostream& out, std::ostream& err);

} // namespace tamrisk::cli
