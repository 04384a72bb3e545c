// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "output/ByteSink.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tamrisk {

// An output file that replaces its target only when it is complete. The bytes
// go to a temporary file in the target's folder, which Commit() renames over
// the target; until then an existing file stays as it was, and an output
// that is destroyed uncommitted (a failure, an exception, a stop) removes its
// temporary file. A replaced file keeps its mode, its access control list
// and its extended attributes, and its owner and group where the system
// lets us set them; where the list or an attribute cannot be kept, the file
// is refused when it is opened. A symlink is followed and its target
// replaced. A target that is not a regular file (a FIFO, a device, a
// terminal) is written directly and never removed, as is standard output;
// /dev/stdout, /dev/fd/N and /proc/self/fd/N write to that open descriptor
// as it is, so a file the shell opened for appending is appended to.
class OutputFile final : public ByteSink {
public:
    // nullptr when the target cannot be written; *reason then says why.
    static std::unique_ptr<OutputFile> Open(const std::string& path, std::string* reason = nullptr);
    static std::unique_ptr<OutputFile> StandardOutput();
    // Whether Open would succeed, found without writing or emptying anything
    // and without waiting for a reader: the name is not empty and fits the
    // file system, the folder exists and takes a new file, an existing file
    // may be written and replaced (a sticky folder lets only its owner
    // replace it) and keeps what it has besides its bytes. Nothing when it
    // would, otherwise why not.
    static std::optional<std::string> Check(const std::string& path);
    // Whether the path names a file that is replaced (a regular file, new or
    // existing), not a stream, pipe or device that is written as it is.
    static bool Replaces(const std::string& path);
    ~OutputFile() override;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void Write(std::string_view bytes) override;
    // Flushes and closes the file (a replacing one stored on the device),
    // not yet in place. Throws FileError; the target is then unchanged (a
    // direct target keeps what reached it).
    void Finish();
    // Finishes the file and puts it in place. Throws FileError, as Finish.
    void Commit();

    // True when the file goes to a temporary file that replaces the target.
    bool replaces() const { return !temporary_.empty(); }
    // That temporary file, or empty.
    const std::string& temporaryPath() const { return temporary_; }
    // Bytes free for the file on the target's file system, when known.
    std::optional<std::uint64_t> freeBytes() const;

private:
    OutputFile(std::unique_ptr<FileSink> file, std::string name, std::string target, std::string temporary,
               int descriptor);
    void Discard() noexcept;

    std::unique_ptr<FileSink> file_;
    std::string name_;      // as given, for messages
    std::string target_;    // the file that is replaced (symlinks followed)
    std::string temporary_; // empty for a direct target
    int descriptor_;        // of the temporary file, while it is open
    bool finished_ = false; // closed, waiting to be put in place
};

} // namespace tamrisk
