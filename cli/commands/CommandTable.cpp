// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Command.h"

namespace tamrisk::cli {

std::unique_ptr<Command> MakeReadoutsCommand();
std::unique_ptr<Command> MakeExportCommand();
std::unique_ptr<Command> MakeScanCommand();
std::unique_ptr<Command> MakeCurvesCommand();
std::unique_ptr<Command> MakeRenderCommand();
std::unique_ptr<Command> MakePlotCommand();
std::unique_ptr<Command> MakeParamsCommand();
std::unique_ptr<Command> MakeSweepCommand();
std::unique_ptr<Command> MakeJoinCommand();
std::unique_ptr<Command> MakeFitCommand();

std::span<const std::unique_ptr<Command>> Commands()
{
    static const std::vector<std::unique_ptr<Command>> commands = [] {
        std::vector<std::unique_ptr<Command>> all;
        for (auto make : {MakeReadoutsCommand, MakeExportCommand, MakeScanCommand, MakeCurvesCommand, MakeRenderCommand,
                          MakePlotCommand, MakeParamsCommand, MakeSweepCommand, MakeJoinCommand, MakeFitCommand})
            all.push_back(make());
        return all;
    }();
    return commands;
}

} // namespace tamrisk::cli
