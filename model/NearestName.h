// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamrisk {

// The known name nearest to a mistyped one by edit distance, when it is near
// enough to be meant (at most 2 edits, or a third of the typed length); the
// first of equally near names.
std::optional<std::string> NearestName(std::string_view typed, const std::vector<std::string>& known);

} // namespace tamrisk
