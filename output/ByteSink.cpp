// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/ByteSink.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace tamrisk {

namespace {

// The C library's buffer of a file is one 4 KiB block, whatever setvbuf asks for.
constexpr std::size_t kBufferSize = 256 * 1024;
// A file that is synced at the end has its storing started every this many bytes.
constexpr std::uint64_t kWriteBackStep = 1024 * 1024;

std::string Reason(int error) { return std::strerror(error); }

std::atomic<bool (*)()> gStopCheck{nullptr};

bool StopRequested()
{
    bool (*const check)() = gStopCheck.load(std::memory_order_relaxed);
    return check != nullptr && check();
}

} // namespace

std::unique_ptr<FileSink> FileSink::Open(const std::string& path, std::string* reason)
{
    // Close-on-exec, so a child process never inherits the half-written file.
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        if (reason != nullptr)
            *reason = Reason(errno != 0 ? errno : EIO);
        return nullptr;
    }
    return std::unique_ptr<FileSink>(new FileSink(descriptor, path, true, false));
}

std::unique_ptr<FileSink> FileSink::StandardOutput()
{
    // What went to the stream before comes first.
    std::fflush(stdout);
    return std::unique_ptr<FileSink>(new FileSink(STDOUT_FILENO, "stdout", false, false));
}

std::unique_ptr<FileSink> FileSink::Duplicate(int descriptor, std::string name, std::string* reason)
{
    const int flags = ::fcntl(descriptor, F_GETFL);
    const int error = flags < 0 ? errno : (flags & O_ACCMODE) == O_RDONLY ? EBADF : 0;
    const int copy = error == 0 ? ::fcntl(descriptor, F_DUPFD_CLOEXEC, 0) : -1;
    if (copy < 0) {
        if (reason != nullptr)
            *reason = Reason(error != 0 ? error : errno);
        return nullptr;
    }
    // What went to standard output's stream before comes first.
    std::fflush(stdout);
    return std::unique_ptr<FileSink>(new FileSink(copy, std::move(name), true, false));
}

void FileSink::SetStopCheck(bool (*stopRequested)()) { gStopCheck.store(stopRequested); }

std::unique_ptr<FileSink> FileSink::Adopt(int descriptor, std::string name, bool syncedAtClose)
{
    return std::unique_ptr<FileSink>(new FileSink(descriptor, std::move(name), true, syncedAtClose));
}

FileSink::FileSink(int descriptor, std::string name, bool owned, bool writeBack)
    : descriptor_(descriptor),
      name_(std::move(name)),
      owned_(owned),
      writeBack_(writeBack),
      buffer_(new char[kBufferSize])
{
}

FileSink::~FileSink()
{
    if (descriptor_ < 0)
        return;
    if (error_ == 0)
        Flush();
    if (owned_)
        ::close(descriptor_);
}

int FileSink::WriteOut(const char* data, std::size_t size)
{
    while (size > 0) {
        // An interrupted write is a failure, as in the C library: a signal
        // that asks the run to end must end a write that blocks, also one
        // that had written part of its bytes when the signal came.
        if (StopRequested())
            return EINTR;
        const ssize_t written = ::write(descriptor_, data, size);
        if (written < 0)
            return errno != 0 ? errno : EIO;
        data += written;
        size -= std::size_t(written);
        written_ += std::uint64_t(written);
    }
    if (writeBack_ && written_ - writeBackFrom_ >= kWriteBackStep) {
        // Only starts the storing; a failure to store shows in the sync at the end.
        ::sync_file_range(descriptor_, off64_t(writeBackFrom_), off64_t(written_ - writeBackFrom_),
                          SYNC_FILE_RANGE_WRITE);
        writeBackFrom_ = written_;
    }
    return 0;
}

int FileSink::Flush()
{
    const std::size_t used = used_;
    used_ = 0;
    return WriteOut(buffer_.get(), used);
}

void FileSink::Fail(int error)
{
    error_ = error;
    throw FileError(name_ + ": " + Reason(error));
}

void FileSink::Write(std::string_view bytes)
{
    if (descriptor_ < 0)
        throw FileError(name_ + ": " + Reason(EBADF));
    if (error_ != 0)
        Fail(error_);
    if (bytes.empty())
        return;
    if (bytes.size() > kBufferSize - used_ || bytes.size() >= kBufferSize) {
        if (const int error = Flush(); error != 0)
            Fail(error);
        // What fills the buffer on its own goes out at once, in one write.
        if (bytes.size() >= kBufferSize) {
            if (const int error = WriteOut(bytes.data(), bytes.size()); error != 0)
                Fail(error);
            return;
        }
    }
    std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
    used_ += bytes.size();
}

void FileSink::Close(bool sync)
{
    if (descriptor_ < 0)
        return;
    int error = error_ != 0 ? error_ : Flush();
    const int descriptor = descriptor_;
    descriptor_ = -1;
    if (error == 0 && sync && ::fsync(descriptor) != 0 && errno != EINVAL && errno != EROFS)
        error = errno;
    if (owned_ && ::close(descriptor) != 0 && error == 0)
        error = errno;
    if (error != 0)
        Fail(error);
}

void FileSink::Abandon() noexcept
{
    if (descriptor_ < 0)
        return;
    if (owned_)
        ::close(descriptor_);
    descriptor_ = -1;
    used_ = 0;
}

void PieceWriter::Piece(std::string_view text)
{
    // One write per piece: after a failure no later piece follows a partial one.
    buffer_.assign(text);
    buffer_.push_back('\0');
    sink_.Write(buffer_);
}

} // namespace tamrisk
