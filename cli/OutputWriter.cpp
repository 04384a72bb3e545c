// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/OutputWriter.h"

#include "cli/OutputPaths.h"

#include <filesystem>
#include <ostream>

#include <sys/stat.h>

namespace tamrisk::cli {

namespace {

// Names that are standard output whatever the folder: they all write to one stream.
bool IsStandardOutput(const std::string& path)
{
    return path == "-" || path == "/dev/stdout" || path == "/dev/fd/1" || path == "/proc/self/fd/1";
}

// The path with links at its end followed, even to a file that does not exist yet.
std::filesystem::path FollowLinks(std::filesystem::path path)
{
    std::error_code error;
    for (int hop = 0; hop < 40 && std::filesystem::is_symlink(path, error); ++hop) {
        const std::filesystem::path target = std::filesystem::read_symlink(path, error);
        if (error)
            break;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return path;
}

// Two paths that lead to one file: the same file when both exist (links
// followed), otherwise the same name once the folders are resolved.
bool SameTarget(const std::string& a, const std::string& b)
{
    if (IsStandardOutput(a) || IsStandardOutput(b))
        return IsStandardOutput(a) && IsStandardOutput(b);
    struct stat first {
    }, second{};
    if (::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0)
        return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
    std::error_code error;
    const std::filesystem::path left =
        std::filesystem::weakly_canonical(std::filesystem::absolute(FollowLinks(a)), error);
    if (error)
        return a == b;
    const std::filesystem::path right =
        std::filesystem::weakly_canonical(std::filesystem::absolute(FollowLinks(b)), error);
    return error ? a == b : left == right;
}

} // namespace

std::optional<std::string> OutputClash(const std::vector<NamedOutput>& outputs)
{
    for (std::size_t i = 0; i < outputs.size(); ++i)
        for (std::size_t j = 0; j < i; ++j) {
            const NamedOutput& first = outputs[j];
            const NamedOutput& second = outputs[i];
            if (first.path.empty() || second.path.empty() || !SameTarget(first.path, second.path))
                continue;
            const bool bothStandard = IsStandardOutput(first.path) && IsStandardOutput(second.path);
            return first.option + " and " + second.option + " both name " +
                   (bothStandard ? std::string("standard output") : "'" + Shown(second.path) + "'") +
                   "; give each output its own file";
        }
    return std::nullopt;
}

OutputWriter::Pending::Pending(std::string path, std::unique_ptr<OutputFile> file)
    : path_(std::move(path)), unfinished_(file->temporaryPath()), file_(std::move(file))
{
}

int OutputWriter::Check(const std::vector<NamedOutput>& outputs)
{
    for (const NamedOutput& output : outputs) {
        if (output.path == "-")
            continue;
        if (const std::optional<std::string> problem = OutputFile::Check(output.path)) {
            err_ << "tamrisk-cli: cannot write '" << Shown(output.path) << "' (" << output.option
                 << "): " << Shown(*problem) << '\n';
            return output.path.empty() ? 2 : 1;
        }
    }
    for (const NamedOutput& output : outputs)
        checked_.push_back(output.path);
    return 0;
}

std::unique_ptr<OutputFile> OutputWriter::OpenFile(const std::string& path)
{
    if (path == "-")
        return OutputFile::StandardOutput();
    std::string reason;
    std::unique_ptr<OutputFile> file = OutputFile::Open(path, &reason);
    if (!file && InterruptSignal() == 0)
        err_ << "tamrisk-cli: cannot open '" << Shown(path) << "' for writing: " << Shown(reason) << '\n';
    return file;
}

std::unique_ptr<OutputWriter::Pending> OutputWriter::Open(const std::string& path)
{
    std::unique_ptr<OutputFile> file = OpenFile(path);
    return file ? std::make_unique<Pending>(path, std::move(file)) : nullptr;
}

int OutputWriter::Commit(const std::vector<Pending*>& outputs)
{
    std::vector<std::pair<const std::string*, OutputFile*>> files;
    for (Pending* output : outputs)
        files.emplace_back(&output->path(), &output->file());
    return CommitFiles(files);
}

int OutputWriter::Commit(OutputFile& first, const std::string& firstPath, const std::vector<Pending*>& outputs)
{
    std::vector<std::pair<const std::string*, OutputFile*>> files{{&firstPath, &first}};
    for (Pending* output : outputs)
        files.emplace_back(&output->path(), &output->file());
    return CommitFiles(files);
}

int OutputWriter::CommitFiles(const std::vector<std::pair<const std::string*, OutputFile*>>& files)
{
    // Storing a large file takes long: an interrupt meanwhile still keeps every old file.
    for (const auto& [path, file] : files) {
        if (InterruptSignal() != 0)
            return Interrupted(*path);
        try {
            file->Finish();
        } catch (const FileError& error) {
            return Failed(*path, error.what());
        }
    }
    if (InterruptSignal() != 0)
        return Interrupted(files.empty() ? std::string("-") : *files.front().first);
    for (const auto& [path, file] : files) {
        try {
            file->Commit();
        } catch (const FileError& error) {
            return Failed(*path, error.what());
        }
    }
    return 0;
}

int OutputWriter::WriteAll(const std::vector<Piece>& pieces)
{
    std::vector<std::unique_ptr<Pending>> opened;
    std::vector<Pending*> outputs;
    for (const Piece& piece : pieces) {
        std::unique_ptr<Pending> output = Open(piece.path);
        if (!output)
            return InterruptSignal() != 0 ? Interrupted(piece.path) : 1;
        try {
            piece.write(output->file());
        } catch (const FileError& error) {
            return Failed(piece.path, error.what());
        }
        if (InterruptSignal() != 0)
            return Interrupted(piece.path);
        outputs.push_back(output.get());
        opened.push_back(std::move(output));
    }
    return Commit(outputs);
}

int OutputWriter::Failed(const std::string& path, const std::string& reason)
{
    if (InterruptSignal() != 0)
        return Interrupted(path);
    err_ << "tamrisk-cli: writing failed: " << Shown(reason) << '\n';
    return 1;
}

int OutputWriter::Interrupted(const std::string& path)
{
    const std::string lost = checked_.empty() ? NotWrittenText(path) : NotWritten();
    return ReportInterrupted(lost.empty() ? lost : "; " + lost, err_);
}

std::string OutputWriter::NotWritten() const { return NotWrittenText(checked_); }

} // namespace tamrisk::cli
