// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamrisk::cli {

// What the argument rules need to know of a command's options.
struct OptionShape {
    std::vector<std::string> names; // every spelling: "--top", "-o"
    bool takesValue;
};

// Brings the arguments after the command into the one form the option parser
// reads: "--name=value" becomes "--name" "value" for options that take a
// value, so "--top=" passes an empty text. Returns a usage error: an unknown
// option (with the nearest known name), or an option that needs a value but
// is followed by another option or by nothing.
std::optional<std::string> NormalizeArguments(std::vector<std::string>& args, const std::vector<OptionShape>& options);

// " (did you mean 'x'?)" for the known word nearest to `typed`, or "".
std::string DidYouMean(std::string_view typed, const std::vector<std::string>& known);

} // namespace tamrisk::cli
