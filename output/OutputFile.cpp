// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/OutputFile.h"

#include <cerrno>
#include <cstring>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace tamrisk {

namespace {

constexpr int kMaxLinks = 40;
constexpr std::size_t kMaxBaseInTemporaryName = 200; // leaves room below NAME_MAX

struct Target {
    std::string path;
    bool direct = false;
    bool exists = false;
    struct stat status {};
};

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// /dev/stdout and its kin lead to /proc/self/fd: links to open streams, which
// are written as they are, whatever they point at.
bool IsStreamPath(const std::string& path) { return StartsWith(path, "/proc/") || StartsWith(path, "/dev/fd/"); }

std::string Folder(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseName(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool Fail(std::string* reason, int error)
{
    if (reason != nullptr)
        *reason = std::strerror(error);
    return false;
}

// Follows symlinks to the file they name, which need not exist yet.
bool Resolve(const std::string& path, Target& target, std::string* reason)
{
    std::string current = path;
    for (int hop = 0; hop <= kMaxLinks; ++hop) {
        if (IsStreamPath(current)) {
            target.path = path;
            target.direct = true;
            return true;
        }
        struct stat status {};
        if (::lstat(current.c_str(), &status) != 0) {
            if (errno != ENOENT)
                return Fail(reason, errno);
            target.path = current; // a new file; a missing folder shows when it is created
            return true;
        }
        if (!S_ISLNK(status.st_mode)) {
            target.path = S_ISREG(status.st_mode) ? current : path;
            target.direct = !S_ISREG(status.st_mode);
            target.exists = true;
            target.status = status;
            return true;
        }
        std::string link(std::size_t(status.st_size > 0 ? status.st_size : 4096) + 1, '\0');
        const ssize_t length = ::readlink(current.c_str(), link.data(), link.size());
        if (length < 0)
            return Fail(reason, errno);
        link.resize(std::size_t(length));
        current = link.front() == '/' ? link : Folder(current) + "/" + link;
    }
    return Fail(reason, ELOOP);
}

// A new file beside the target, created with the mode a new file gets.
int CreateTemporary(const std::string& target, std::string& name)
{
    thread_local std::mt19937_64 random{std::random_device{}()};
    const std::string prefix = Folder(target) + "/." + BaseName(target).substr(0, kMaxBaseInTemporaryName) + ".";
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = prefix;
        for (int i = 0; i < 6; ++i)
            name += kLetters[random() % (sizeof kLetters - 1)];
        name += ".tmp";
        const int descriptor = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0 || errno != EEXIST)
            return descriptor;
    }
    return -1;
}

} // namespace

std::unique_ptr<OutputFile> OutputFile::Open(const std::string& path, std::string* reason)
{
    Target target;
    if (!Resolve(path, target, reason))
        return nullptr;
    if (target.direct) {
        std::unique_ptr<FileSink> file = FileSink::Open(path, reason);
        if (!file)
            return nullptr;
        return std::unique_ptr<OutputFile>(new OutputFile(std::move(file), path, {}, -1));
    }
    if (target.exists) {
        // Renaming would replace even a file the user may not write: ask the file itself.
        const int probe = ::open(target.path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (probe < 0) {
            Fail(reason, errno);
            return nullptr;
        }
        ::close(probe);
    }
    std::string temporary;
    const int descriptor = CreateTemporary(target.path, temporary);
    if (descriptor < 0) {
        Fail(reason, errno);
        return nullptr;
    }
    if (target.exists) {
        // Owner first: changing it may clear the set-id bits that the mode restores.
        [[maybe_unused]] const int owned = ::fchown(descriptor, target.status.st_uid, target.status.st_gid);
        ::fchmod(descriptor, target.status.st_mode & 07777);
    }
    // The temporary file is synced before it replaces the target.
    return std::unique_ptr<OutputFile>(
        new OutputFile(FileSink::Adopt(descriptor, path, true), target.path, std::move(temporary), descriptor));
}

std::unique_ptr<OutputFile> OutputFile::StandardOutput()
{
    return std::unique_ptr<OutputFile>(new OutputFile(FileSink::StandardOutput(), "-", {}, -1));
}

OutputFile::OutputFile(std::unique_ptr<FileSink> file, std::string target, std::string temporary, int descriptor)
    : file_(std::move(file)), target_(std::move(target)), temporary_(std::move(temporary)), descriptor_(descriptor)
{
}

OutputFile::~OutputFile() { Discard(); }

void OutputFile::Discard() noexcept
{
    file_.reset();
    descriptor_ = -1;
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

void OutputFile::Write(std::string_view bytes)
{
    if (!file_)
        throw FileError(target_ + ": " + std::strerror(EBADF));
    file_->Write(bytes);
}

void OutputFile::Commit()
{
    if (!file_)
        throw FileError(target_ + ": " + std::strerror(EBADF));
    try {
        file_->Close(replaces());
    } catch (...) {
        Discard();
        throw;
    }
    descriptor_ = -1;
    if (replaces()) {
        if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
            const int error = errno;
            Discard();
            throw FileError(target_ + ": " + std::strerror(error));
        }
        temporary_.clear();
    }
    file_.reset();
}

std::optional<std::uint64_t> OutputFile::freeBytes() const
{
    struct statvfs space {};
    if (descriptor_ < 0 || ::fstatvfs(descriptor_, &space) != 0)
        return std::nullopt;
    return std::uint64_t(space.f_bavail) * std::uint64_t(space.f_frsize);
}

} // namespace tamrisk
