#pragma once

#include <cstdio>
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
// one is complete. Writes are buffered; Close() flushes and reports any
// failure. Destroying an open file closes it without reporting.
class FileSink final : public ByteSink {
public:
    // nullptr when the path cannot be opened for writing; *reason then says why.
    static std::unique_ptr<FileSink> Open(const std::string& path, std::string* reason = nullptr);
    // Standard output, for "-" on the command line.
    static std::unique_ptr<FileSink> StandardOutput();
    // Takes over a file opened elsewhere; name is the one its errors show.
    static std::unique_ptr<FileSink> Adopt(std::FILE* file, std::string name);
    ~FileSink() override;

    void Write(std::string_view bytes) override;
    // sync also waits until the bytes are on the storage device, so that a
    // failure to store them is reported here rather than lost.
    void Close(bool sync = false);

private:
    FileSink(std::FILE* file, std::string name, bool owned);
    std::FILE* file_;
    std::string name_;
    bool owned_;
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
