// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Interrupts.h"
#include "output/OutputFile.h"

#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tamrisk::cli {

// An output a command will write: the option that names it and its path.
struct NamedOutput {
    std::string option; // "-o", "--record", "--depth-picture"
    std::string path;   // "-" is standard output
};

// Why two of a command's outputs cannot both be written: they name the same
// file (through a link too) or both go to standard output. Checked before
// anything is computed or written.
std::optional<std::string> OutputClash(const std::vector<NamedOutput>& outputs);

// The one way a command's outputs reach their files: each goes to a
// temporary file that a forced exit removes, the outputs of one command are
// put in place together once the last is complete, names in messages show
// control bytes escaped, and an interrupt leaves every old file as it was.
class OutputWriter {
public:
    // An output being written; until committed, its target is unchanged.
    class Pending {
    public:
        Pending(std::string path, std::unique_ptr<OutputFile> file);
        OutputFile& file() { return *file_; }
        const std::string& path() const { return path_; }

    private:
        friend class OutputWriter;
        std::string path_;
        std::unique_ptr<OutputFile> file_;
        RemovedOnForcedExit unfinished_;
    };

    // What one output's bytes are: written to its sink.
    struct Piece {
        std::string path;
        std::function<void(ByteSink&)> write;
    };

    explicit OutputWriter(std::ostream& err) : err_(err) {}

    // Opens path for writing ("-" standard output); nullptr after a message.
    std::unique_ptr<Pending> Open(const std::string& path);
    // The same for a writer that commits the file itself and keeps its
    // temporary file listed for a forced exit.
    std::unique_ptr<OutputFile> OpenFile(const std::string& path);
    // Puts the outputs in place in order; the exit code. Stopped by an
    // interrupt before the first, nothing changes.
    int Commit(const std::vector<Pending*>& outputs);
    // Opens, writes and commits every piece together; the exit code.
    int WriteAll(const std::vector<Piece>& pieces);

    // Reports a failed write of path (exit code 1), or the interrupt when one
    // caused it (128 + N).
    int Failed(const std::string& path, const std::string& reason);
    // The interrupt's message and exit code.
    int Interrupted(const std::string& path);

private:
    std::ostream& err_;
};

} // namespace tamrisk::cli
