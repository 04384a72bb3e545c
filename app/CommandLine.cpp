// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

#include "TamriskVersion.h"

#include <string_view>

namespace tamrisk {

namespace {

constexpr std::string_view kUsage = "Usage: tamrisk [--help | --version]\n";

constexpr std::string_view kHelp = "Opens the Tamrisk window: light, beta dose and the OSL signal against depth\n"
                                   "in a translucent slab lit from one side, the profile export and the t-Scan.\n"
                                   "The window reads no files and keeps no settings; tamrisk-cli computes and\n"
                                   "writes the same without a window.\n"
                                   "\n"
                                   "Options:\n"
                                   "  -h, --help   show this help and exit\n"
                                   "  --version    show the version and the licence and exit\n";

constexpr std::string_view kVersion =
    "tamrisk " TAMRISK_VERSION "\n"
    "License GPL-3.0-or-later: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>\n";

} // namespace

std::optional<int> AnswerCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err)
{
    bool help = false;
    bool version = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            help = true;
        } else if (argument == "--version") {
            version = true;
        } else {
            err << "tamrisk: " << (argument.starts_with('-') ? "unknown option" : "unexpected argument") << " '"
                << argument << "'\n"
                << kUsage << "Try 'tamrisk --help' for more information.\n";
            return 2;
        }
    }
    if (help)
        out << kUsage << kHelp;
    else if (version)
        out << kVersion;
    else
        return std::nullopt;
    out.flush();
    if (!out) {
        err << "tamrisk: cannot write to standard output\n";
        return 1;
    }
    return 0;
}

} // namespace tamrisk
