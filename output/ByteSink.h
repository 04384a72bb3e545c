// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tamrisk {

// A failed write or close of an output file, with the system's reason.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Where the output files' bytes go: a file, standard output, or memory.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Throws FileError when the bytes cannot be written.
    virtual void Write(std::string_view bytes) = 0;
};

class StringSink final : public ByteSink {
public:
    void Write(std::string_view bytes) override { data_.append(bytes); }
    const std::string& data() const { return data_; }

private:
    std::string data_;
};

// A file opened for writing directly: created, or an existing one emptied.
// Output files go through OutputFile, which keeps the old file until the new
// one is complete. Writes are gathered in a buffer of the sink's own and
// reach the system in large writes (one for a write larger than the
// buffer); Close() writes the rest and reports any failure. Destroying an
// open file writes the rest and closes it without reporting.
class FileSink final : public ByteSink {
public:
    // nullptr when the path cannot be opened for writing; *reason then says why.
    static std::unique_ptr<FileSink> Open(const std::string& path, std::string* reason = nullptr);
    // Standard output, for "-" on the command line.
    static std::unique_ptr<FileSink> StandardOutput();
    // Takes over a regular file opened elsewhere; name is the one its errors
    // show. syncedAtClose: it will be closed with sync, so the system is
    // asked to start storing each completed stretch while the rest is
    // still being written, and the sync at the end waits only for the tail.
    static std::unique_ptr<FileSink> Adopt(int descriptor, std::string name, bool syncedAtClose = false);
    // An open descriptor of this process (what /dev/stdout or /dev/fd/N
    // name), written through a copy of it: a file the shell opened for
    // appending (>>) is appended to, and nothing before is emptied. nullptr
    // when it is not open for writing; *reason then says why.
    static std::unique_ptr<FileSink> Duplicate(int descriptor, std::string name, std::string* reason = nullptr);
    // Asked before every write to the system: once it answers true, writes
    // fail with EINTR, so that a run asked to stop by a signal is not held
    // by a reader that never reads (a write the signal interrupted after
    // part of its bytes would otherwise go on waiting). Process-wide; none
    // by default.
    static void SetStopCheck(bool (*stopRequested)());
    ~FileSink() override;
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    void Write(std::string_view bytes) override;
    // sync also waits until the bytes are on the storage device, so that a
    // failure to store them is reported here rather than lost.
    void Close(bool sync = false);
    // Closes without writing what is still buffered: the file is being thrown away.
    void Abandon() noexcept;

private:
    FileSink(int descriptor, std::string name, bool owned, bool writeBack);
    // Hands the bytes to the system; 0, or the error that stopped it.
    int WriteOut(const char* data, std::size_t size);
    int Flush();
    [[noreturn]] void Fail(int error);

    int descriptor_;
    std::string name_;
    bool owned_;
    bool writeBack_;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
    int error_ = 0;                   // the failure that ended the file, once one did
    std::uint64_t written_ = 0;       // bytes the system has
    std::uint64_t writeBackFrom_ = 0; // the first byte whose storing has not been started
};

// Writes each piece of an output file followed by one NUL byte.
class PieceWriter {
public:
    explicit PieceWriter(ByteSink& sink) : sink_(sink) {}
    void Piece(std::string_view text);

private:
    ByteSink& sink_;
    std::string buffer_;
};

} // namespace tamrisk
