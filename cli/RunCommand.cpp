// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/RunCommand.h"

#include "cli/Interrupts.h"
#include "cli/OutputPaths.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <ostream>

namespace tamrisk::cli {

namespace {

// Standard output is buffered until the end: a full disk or a closed pipe shows only now.
int FlushStandardOutput(int code, const char* command, std::ostream& err)
{
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return code;
    if (code == kExitSuccess)
        err << "tamrisk-cli " << command << ": writing to standard output failed: " << std::strerror(errno) << '\n';
    return code == kExitSuccess ? kExitFailure : code;
}

} // namespace

int RunCommand(Command& command, const std::vector<std::string>& arguments, const nlohmann::ordered_json* params,
               const CLI::App& parsed, std::ostream& out, std::ostream& err)
{
    OutputWriter writer(err);
    CommandContext context{arguments, params, out, err, writer};
    if (const int code = command.Prepare(parsed, context); code != kExitSuccess)
        return code;
    if (const std::optional<std::string> clash = OutputClash(command.Outputs())) {
        err << "tamrisk-cli " << command.name() << ": " << *clash << '\n';
        return kExitUsage;
    }
    CatchInterrupts();
    // Every output is known to be writable before the work begins: a long run never ends in a refusal.
    if (const int code = writer.Check(command.Outputs()); code != kExitSuccess)
        return code;
    int code = kExitFailure;
    try {
        code = command.Run(context);
    } catch (const std::bad_alloc&) {
        // Unwinding has removed any temporary file: old files are as they were.
        const std::string lost = writer.NotWritten();
        err << "tamrisk-cli " << command.name() << ": out of memory" << (lost.empty() ? "" : "; " + lost) << '\n';
        return kExitFailure;
    } catch (const std::exception& error) {
        err << "tamrisk-cli " << command.name() << ": " << Shown(error.what()) << '\n';
        return kExitFailure;
    }
    code = FlushStandardOutput(code, command.name(), err);
    // A signal as the run ended, once every output was complete: the exit
    // code still tells the caller, say a script's loop, that it came.
    if (code == kExitSuccess && InterruptSignal() != 0)
        return ReportInterrupted(" as the run ended; every output was written", err);
    return code;
}

} // namespace tamrisk::cli
