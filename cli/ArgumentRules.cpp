// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ArgumentRules.h"

#include "model/NearestName.h"
#include "model/ParseText.h"

#include <algorithm>
#include <cctype>
#include <numeric>

namespace tamrisk::cli {

namespace {

const OptionShape* Find(const std::vector<OptionShape>& options, std::string_view name)
{
    for (const OptionShape& option : options)
        if (std::find(option.names.begin(), option.names.end(), name) != option.names.end())
            return &option;
    return nullptr;
}

bool LooksLikeOption(std::string_view arg)
{
    // "-1" and "-.5" are values; "-o" and "--top" are options.
    if (arg.size() < 2 || arg[0] != '-' || ParseStrictNumber(arg))
        return false;
    return arg[1] == '-' || std::isalpha(static_cast<unsigned char>(arg[1]));
}

} // namespace

std::string DidYouMean(std::string_view typed, const std::vector<std::string>& known)
{
    const std::optional<std::string> nearest = NearestName(typed, known);
    return nearest ? " (did you mean '" + *nearest + "'?)" : std::string();
}

std::optional<std::string> NormalizeArguments(std::vector<std::string>& args, const std::vector<OptionShape>& options)
{
    std::vector<std::string> known;
    for (const OptionShape& option : options)
        known.insert(known.end(), option.names.begin(), option.names.end());

    std::vector<std::string> out;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!LooksLikeOption(arg)) {
            out.push_back(arg);
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const OptionShape* option = Find(options, name);
        if (option == nullptr)
            return "unknown option '" + name + "'" + DidYouMean(name, known);
        if (!option->takesValue) {
            out.push_back(arg);
            continue;
        }
        out.push_back(name);
        if (equals != std::string::npos) {
            out.push_back(arg.substr(equals + 1));
            continue;
        }
        if (i + 1 >= args.size() || LooksLikeOption(args[i + 1]))
            return name + " needs a value";
        out.push_back(args[++i]);
    }
    args = std::move(out);
    return std::nullopt;
}

} // namespace tamrisk::cli
