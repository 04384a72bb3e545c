// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/OutputWriter.h"

#include <nlohmann/json.hpp>

#include <iosfwd>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace tamrisk::cli {

// Exit codes of the tool.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1; // a file or system error
inline constexpr int kExitUsage = 2;   // the command line is wrong

// What a command runs with besides its options.
struct CommandContext {
    std::vector<std::string> arguments;   // the command line after the program name, as a record states it
    const nlohmann::ordered_json* params; // the --params record, read once, or nullptr
    std::ostream& out;
    std::ostream& err;
    OutputWriter& writer;
};

// One command of the tool: its options, its help and its run. main only
// picks the command and hands it the parsed command line.
class Command {
public:
    virtual ~Command() = default;
    virtual const char* name() const = 0;
    // One line for the tool's help.
    virtual const char* summary() const = 0;
    // Registers the command's options (and their help) on its parser.
    virtual void AddOptions(CLI::App& command) = 0;
    // After parsing: checks what the parser cannot and reads --params.
    // A usage error's exit code, or success.
    virtual int Prepare(const CLI::App& command, CommandContext& context) = 0;
    // The files the command will write, for the clash check before it runs.
    virtual std::vector<NamedOutput> Outputs() const = 0;
    // Runs the command; the process's exit code.
    virtual int Run(CommandContext& context) = 0;
};

// Every command, in the order the help lists them.
std::span<const std::unique_ptr<Command>> Commands();

} // namespace tamrisk::cli
