// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ParamsDocument.h"

#include "cli/OutputPaths.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tamrisk::cli {

namespace {

ParamsDocument Refused(int exitCode, std::string problem)
{
    ParamsDocument document;
    document.exitCode = exitCode;
    document.problem = std::move(problem);
    return document;
}

// The bytes of a file or of standard input, up to one byte more than the limit.
std::optional<std::string> ReadLimited(int descriptor, std::string& problem)
{
    std::string bytes;
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(descriptor, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            problem = std::strerror(errno);
            return std::nullopt;
        }
        if (got == 0)
            return bytes;
        bytes.append(buffer, std::size_t(got));
        if (bytes.size() > kMaxRecordBytes)
            return bytes;
    }
}

struct TooDeep {};
struct TooManyMembers {};

} // namespace

ParamsDocument ReadParamsDocument(const std::string& path)
{
    const std::string shown = path == "-" ? std::string("standard input") : "'" + Shown(path) + "'";
    int descriptor = STDIN_FILENO;
    if (path != "-") {
        descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (descriptor < 0)
            return Refused(1, "cannot read " + shown + ": " + std::strerror(errno));
        struct stat status {};
        if (::fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode)) {
            ::close(descriptor);
            return Refused(1, "cannot read " + shown + ": it is a folder");
        }
        // Opened without blocking so that a FIFO without writer cannot hang the open; reads block again.
        ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    }
    std::string problem;
    const std::optional<std::string> bytes = ReadLimited(descriptor, problem);
    if (path != "-")
        ::close(descriptor);
    if (!bytes)
        return Refused(1, "cannot read " + shown + ": " + problem);
    if (bytes->size() > kMaxRecordBytes)
        return Refused(2, shown + " is larger than " + std::to_string(kMaxRecordBytes >> 20) +
                              " MiB; a record is far smaller");
    return ParseParamsDocument(*bytes, shown);
}

ParamsDocument ParseParamsDocument(const std::string& bytes, const std::string& shown)
{
    ParamsDocument document;
    try {
        std::size_t members = 0;
        const auto limits = [&members](int depth, nlohmann::ordered_json::parse_event_t event,
                                       nlohmann::ordered_json&) {
            if (depth > kMaxRecordDepth)
                throw TooDeep{};
            if (event == nlohmann::ordered_json::parse_event_t::key && ++members > kMaxRecordMembers)
                throw TooManyMembers{};
            return true;
        };
        document.json = nlohmann::ordered_json::parse(bytes, limits, false);
    } catch (const TooDeep&) {
        return Refused(2, shown + " is nested more than " + std::to_string(kMaxRecordDepth) + " levels deep");
    } catch (const TooManyMembers&) {
        return Refused(2, shown + " has more than " + std::to_string(kMaxRecordMembers) +
                              " names in its objects; a record has a few hundred");
    } catch (const std::bad_alloc&) {
        return Refused(1, "not enough memory to read " + shown);
    }
    if (document.json.is_discarded() || !document.json.is_object())
        return Refused(2, shown + " is not a JSON object");
    // The parts the tool reads, each of the one type it takes.
    const nlohmann::ordered_json& json = document.json;
    if (const auto command = json.find("command"); command != json.end() && !command->is_string())
        return Refused(2, shown + ": \"command\" is not a text");
    if (const auto arguments = json.find("arguments"); arguments != json.end()) {
        if (!arguments->is_array() ||
            !std::all_of(arguments->begin(), arguments->end(), [](const auto& a) { return a.is_string(); }))
            return Refused(2, shown + ": \"arguments\" is not a list of texts");
    }
    if (const auto inputs = json.find("inputs"); inputs != json.end() && !inputs->is_object())
        return Refused(2, shown + ": \"inputs\" is not an object");
    return document;
}

std::optional<std::vector<std::string>> ReplayedArguments(const nlohmann::ordered_json& record,
                                                          const std::string& command,
                                                          const std::vector<std::string>& given,
                                                          const std::vector<OptionShape>& options, std::string* problem)
{
    const auto recordedCommand = record.find("command");
    const auto arguments = record.find("arguments");
    if (recordedCommand == record.end() || *recordedCommand != command || arguments == record.end() ||
        !arguments->is_array() || arguments->empty())
        return std::nullopt;
    std::vector<std::string> recorded;
    for (const nlohmann::ordered_json& argument : *arguments) {
        if (!argument.is_string())
            return std::nullopt;
        recorded.push_back(argument.get<std::string>());
    }
    if (recorded.front() != command) {
        if (problem != nullptr)
            *problem = "\"arguments\" do not begin with the command " + command;
        return std::nullopt;
    }
    recorded.erase(recorded.begin());
    if (const std::optional<std::string> refused = NormalizeArguments(recorded, options)) {
        if (problem != nullptr)
            *problem = "\"arguments\": " + *refused;
        return std::nullopt;
    }

    const auto shapeOf = [&](const std::string& argument) -> const OptionShape* {
        for (const OptionShape& option : options)
            if (std::find(option.names.begin(), option.names.end(), argument) != option.names.end())
                return &option;
        return nullptr;
    };
    // The options given anew, by their first spelling.
    std::set<std::string> replaced = {"--params", "--record"};
    bool givenPositional = false;
    for (std::size_t i = 0; i < given.size(); ++i) {
        const OptionShape* shape = shapeOf(given[i]);
        if (shape == nullptr) {
            givenPositional = true;
            continue;
        }
        replaced.insert(shape->names.front());
        i += shape->takesValue ? 1 : 0;
    }

    std::vector<std::string> replay;
    for (std::size_t i = 0; i < recorded.size(); ++i) {
        const OptionShape* shape = shapeOf(recorded[i]);
        const bool takesValue = shape != nullptr && shape->takesValue && i + 1 < recorded.size();
        if (shape != nullptr && replaced.count(shape->names.front()) > 0) {
            i += takesValue ? 1 : 0;
            continue;
        }
        if (shape == nullptr && givenPositional)
            continue; // the plot given anew replaces the recorded one
        replay.push_back(recorded[i]);
        if (takesValue)
            replay.push_back(recorded[++i]);
    }
    replay.insert(replay.end(), given.begin(), given.end());
    return replay;
}

} // namespace tamrisk::cli
