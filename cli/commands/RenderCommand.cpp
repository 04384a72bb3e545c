// SPDX-License-Identifier: GPL-3.0-or-later
// render: the window's two plot pictures as PNG files.
#include "cli/ModelCommand.h"

#include "cli/OutputPaths.h"
#include "plot/PngFile.h"
#include "plot/Recompute.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>

namespace tamrisk::cli {

namespace {

bool EndsWithIgnoringCase(const std::string& path, const std::string& suffix)
{
    return path.size() >= suffix.size() &&
           std::equal(suffix.rbegin(), suffix.rend(), path.rbegin(),
                      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

class RenderCommand final : public ModelCommand {
public:
    RenderCommand()
        : ModelCommand("render", "write the window's two plot pictures as PNG files", {}, OutputOption::None)
    {
    }

    std::vector<NamedOutput> Outputs() const override
    {
        std::vector<NamedOutput> outputs;
        if (depthGiven_)
            outputs.push_back({"--depth-picture", depthPicture_});
        if (signalGiven_)
            outputs.push_back({"--signal-picture", signalPicture_});
        std::vector<NamedOutput> rest = ModelCommand::Outputs();
        outputs.insert(outputs.end(), rest.begin(), rest.end());
        return outputs;
    }

    int Run(CommandContext& context) override
    {
        ModelState state;
        Recompute(request_.inputs.controls, state, request_.inputs.overrides);
        Doubts doubts;
        doubts.CheckParameters(state.params);
        if (const int code = ReportDoubts(context, doubts); code != kExitSuccess)
            return code;
        std::vector<OutputWriter::Piece> pieces;
        for (const auto& [path, picture] :
             {std::pair{&depthPicture_, &state.pictures.depth}, std::pair{&signalPicture_, &state.pictures.signal}}) {
            if (path->empty())
                continue;
            std::string error;
            std::optional<std::string> png = EncodePng(*picture, &error);
            if (!png) {
                context.err << "tamrisk-cli: cannot encode the picture: " << error << '\n';
                return kExitFailure;
            }
            pieces.push_back({*path, [bytes = std::move(*png)](ByteSink& sink) { sink.Write(bytes); }});
        }
        if (!request_.record.empty())
            pieces.push_back({request_.record,
                              [this](ByteSink& sink) { sink.Write(RecordDocument(Json::object(), request_.output)); }});
        return context.writer.WriteAll(pieces);
    }

protected:
    void AddTrailingOptions(CLI::App& command) override
    {
        command.add_option("--depth-picture", depthPicture_, "PNG file of the depth plot, - for standard output");
        command.add_option("--signal-picture", signalPicture_, "PNG file of the signal plot, - for standard output");
    }

    int PrepareOwn(const CLI::App& command, CommandContext& context) override
    {
        depthGiven_ = command.count("--depth-picture") > 0;
        signalGiven_ = command.count("--signal-picture") > 0;
        if (!depthGiven_ && !signalGiven_) {
            context.err << "tamrisk-cli render: give --depth-picture FILE, --signal-picture FILE or both\n";
            return kExitUsage;
        }
        for (const std::string* path : {&depthPicture_, &signalPicture_})
            if (EndsWithIgnoringCase(*path, ".svg") || EndsWithIgnoringCase(*path, ".pdf")) {
                context.err << "tamrisk-cli render: '" << Shown(*path)
                            << "': render writes PNG pictures only; for SVG or PDF figures use 'tamrisk-cli plot'\n";
                return kExitUsage;
            }
        return kExitSuccess;
    }

private:
    std::string depthPicture_;
    std::string signalPicture_;
    bool depthGiven_ = false; // given, perhaps as an empty name, which is refused
    bool signalGiven_ = false;
};

} // namespace

std::unique_ptr<Command> MakeRenderCommand() { return std::make_unique<RenderCommand>(); }

} // namespace tamrisk::cli
