#pragma once

#include "cli/CliRequest.h"

#include <iosfwd>

namespace tamrisk::cli {

// Exit codes of the tool.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;  // a file or system error
inline constexpr int kExitUsage = 2;    // the command line is wrong

// Each command returns the process's exit code and reports failures on err.
int RunReadouts(const CliRequest& request, std::ostream& out, std::ostream& err);
int RunExport(const CliRequest& request, std::ostream& err);
int RunScan(const CliRequest& request, std::ostream& err);
int RunCurves(const CliRequest& request, std::ostream& err);
int RunRender(const CliRequest& request, std::ostream& err);
int RunParams(const CliRequest& request, std::ostream& out, std::ostream& err);

struct FigureCommandRequest;
// The plot command: the figure of the window's recomputation, then its record.
int RunPlotCommand(const CliRequest& request, const FigureCommandRequest& figure, std::ostream& err);

} // namespace tamrisk::cli
