// SPDX-License-Identifier: GPL-3.0-or-later
// params: every input as a JSON record, for --params.
#include "cli/ModelCommand.h"

namespace tamrisk::cli {

namespace {

class ParamsCommand final : public ModelCommand {
public:
    ParamsCommand() : ModelCommand("params", "print every input as JSON, for --params", {}, OutputOption::Optional) {}

    int Run(CommandContext& context) override
    {
        const std::string document = Record().dump(2) + "\n";
        return WriteWithRecord(context, Json::object(), [&](ByteSink& sink) { sink.Write(document); });
    }

protected:
    bool WritesJson() const override { return true; }
};

} // namespace

std::unique_ptr<Command> MakeParamsCommand() { return std::make_unique<ParamsCommand>(); }

} // namespace tamrisk::cli
