// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <ostream>

namespace tamrisk {

// The window program's command line: --help and --version are answered on
// out, anything else gets a short usage message on err. Needs no display, so
// it runs before the application object exists. The exit status when the
// program ends here (0 for an answer, 2 for a refusal), nothing when the
// window is to open.
std::optional<int> AnswerCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

} // namespace tamrisk
