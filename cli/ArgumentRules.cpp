// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ArgumentRules.h"

#include "model/ParseText.h"

#include <algorithm>
#include <cctype>
#include <numeric>

namespace tamrisk::cli {

namespace {

std::size_t EditDistance(std::string_view a, std::string_view b)
{
    std::vector<std::size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

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
    const std::string* best = nullptr;
    std::size_t bestDistance = 0;
    for (const std::string& word : known) {
        const std::size_t d = EditDistance(typed, word);
        if (best == nullptr || d < bestDistance) {
            best = &word;
            bestDistance = d;
        }
    }
    if (best == nullptr || bestDistance > std::max<std::size_t>(2, typed.size() / 3))
        return {};
    return " (did you mean '" + *best + "'?)";
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
