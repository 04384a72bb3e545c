#include "output/ByteSink.h"

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace tamrisk {

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

std::string Reason(int error)
{
    return std::strerror(error);
}

} // namespace

std::unique_ptr<FileSink> FileSink::Open(const std::string& path, std::string* reason)
{
    errno = 0;
    // "e": close-on-exec, so a child process never inherits the half-written file.
    std::FILE* file = std::fopen(path.c_str(), "wbe");
    if (file == nullptr) {
        if (reason != nullptr)
            *reason = Reason(errno != 0 ? errno : EIO);
        return nullptr;
    }
    std::setvbuf(file, nullptr, _IOFBF, kBufferSize);
    return std::unique_ptr<FileSink>(new FileSink(file, path, true));
}

std::unique_ptr<FileSink> FileSink::StandardOutput()
{
    return std::unique_ptr<FileSink>(new FileSink(stdout, "stdout", false));
}

std::unique_ptr<FileSink> FileSink::Adopt(std::FILE* file, std::string name)
{
    std::setvbuf(file, nullptr, _IOFBF, kBufferSize);
    return std::unique_ptr<FileSink>(new FileSink(file, std::move(name), true));
}

FileSink::FileSink(std::FILE* file, std::string name, bool owned)
    : file_(file), name_(std::move(name)), owned_(owned)
{
}

FileSink::~FileSink()
{
    if (file_ == nullptr)
        return;
    if (owned_)
        std::fclose(file_);
    else
        std::fflush(file_);
}

void FileSink::Write(std::string_view bytes)
{
    if (file_ == nullptr)
        throw FileError(name_ + ": " + Reason(EBADF));
    if (bytes.empty())
        return;
    errno = 0;
    // A sink owns its stream and writes from one thread: no stream lock needed.
    const std::size_t written = ::fwrite_unlocked(bytes.data(), 1, bytes.size(), file_);
    if (written != bytes.size() || ::ferror_unlocked(file_))
        throw FileError(name_ + ": " + Reason(errno != 0 ? errno : EIO));
}

void FileSink::Close(bool sync)
{
    if (file_ == nullptr)
        return;
    std::FILE* file = file_;
    file_ = nullptr;
    errno = 0;
    int failed = std::fflush(file) != 0 || std::ferror(file);
    int error = errno;
    if (!failed && sync && ::fsync(::fileno(file)) != 0 && errno != EINVAL && errno != EROFS) {
        failed = 1;
        error = errno;
    }
    if (owned_) {
        errno = 0;
        if (std::fclose(file) != 0 && !failed) {
            failed = 1;
            error = errno;
        }
    }
    if (failed)
        throw FileError(name_ + ": " + Reason(error != 0 ? error : EIO));
}

void PieceWriter::Piece(std::string_view text)
{
    // One write per piece: after a failure no later piece follows a partial one.
    buffer_.assign(text);
    buffer_.push_back('\0');
    sink_.Write(buffer_);
}

} // namespace tamrisk
