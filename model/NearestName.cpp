// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/NearestName.h"

#include <algorithm>
#include <numeric>

namespace tamrisk {

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

} // namespace

std::optional<std::string> NearestName(std::string_view typed, const std::vector<std::string>& known)
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
        return std::nullopt;
    return *best;
}

} // namespace tamrisk
