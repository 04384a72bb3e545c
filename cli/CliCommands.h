#pragma once

#include "cli/CliRequest.h"
#include "output/OutputFile.h"

#include <nlohmann/json.hpp>

#include <memory>
#include "output/ByteSink.h"

#include <nlohmann/json.hpp>

#include <iosfwd>
#include <memory>
#include <string>

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

// For commands in files of their own: the output ("-" is standard output;
// nullptr after a message on err), the record's header and inputs, and the
// record beside the output with `extra` added (nothing without --record).
std::unique_ptr<OutputFile> OpenOutputFile(const std::string& path, std::ostream& err);
nlohmann::ordered_json RequestRecord(const CliRequest& request);
int WriteRequestRecord(const CliRequest& request, std::ostream& err, const nlohmann::ordered_json& extra);

} // namespace tamrisk::cli
