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

// The one way a command's outputs reach their files: each is checked
// before anything is computed, goes to a temporary file that a forced exit
// removes, the outputs of one command are put in place together once the
// last is complete, names in messages show control bytes escaped, and an
// interrupt leaves every old file as it was.
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
        // Listed before the file and so removed from the list after it: a
        // second signal finds the temporary file listed until it is gone.
        RemovedOnForcedExit unfinished_;
        std::unique_ptr<OutputFile> file_;
    };

    // What one output's bytes are: written to its sink.
    struct Piece {
        std::string path;
        std::function<void(ByteSink&)> write;
    };

    explicit OutputWriter(std::ostream& err) : err_(err) {}

    // Checks that each output can be written (OutputFile::Check) before
    // anything is computed, and keeps their names for the messages; the
    // exit code: 0, 1 after a message, or 2 for an empty name.
    int Check(const std::vector<NamedOutput>& outputs);

    // Opens path for writing ("-" standard output); nullptr after a message.
    std::unique_ptr<Pending> Open(const std::string& path);
    // The same for a writer that commits the file itself and keeps its
    // temporary file listed for a forced exit.
    std::unique_ptr<OutputFile> OpenFile(const std::string& path);
    // Puts the outputs in place together; the exit code. Each is finished
    // (stored) first; a failure or an interrupt until then changes nothing,
    // and the renames that follow are not stopped halfway.
    int Commit(const std::vector<Pending*>& outputs);
    // The same with a file a writer of its own has completed (the scan's) first.
    int Commit(OutputFile& first, const std::string& firstPath, const std::vector<Pending*>& outputs);
    // Opens, writes and commits every piece together; the exit code.
    int WriteAll(const std::vector<Piece>& pieces);

    // Reports a failed write of path (exit code 1), or the interrupt when one
    // caused it (128 + N).
    int Failed(const std::string& path, const std::string& reason);
    // The interrupt's message, naming every checked output (or path when
    // none was checked), and its exit code.
    int Interrupted(const std::string& path);
    // What became of the checked outputs when the run ends early:
    // "'x' was not written; an existing file is unchanged".
    std::string NotWritten() const;

private:
    int CommitFiles(const std::vector<std::pair<const std::string*, OutputFile*>>& files);

    std::ostream& err_;
    std::vector<std::string> checked_;
};

} // namespace tamrisk::cli
