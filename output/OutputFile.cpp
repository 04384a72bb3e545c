// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/OutputFile.h"

#include "output/FileMetadata.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace tamrisk {

namespace {

constexpr int kMaxLinks = 40;
constexpr long kMaxBaseInTemporaryName = 200;
constexpr long kTemporaryNameExtra = 12; // "." before, ".XXXXXX.tmp" after the name
constexpr long kDefaultNameMax = 255;

struct Target {
    std::string path;
    bool direct = false;
    bool exists = false;
    struct stat status {};
    int descriptor = -1; // of this process, for /dev/stdout and its kin
};

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

// /dev/stdout and its kin lead to /proc/self/fd: links to open streams, which
// are written as they are, whatever they point at.
bool IsStreamPath(const std::string& path) { return StartsWith(path, "/proc/") || StartsWith(path, "/dev/fd/"); }

// The descriptor of this process that a stream path names, or -1.
int NamedDescriptor(const std::string& path)
{
    const std::string prefixes[] = {"/proc/self/fd/", "/dev/fd/", "/proc/thread-self/fd/",
                                    "/proc/" + std::to_string(::getpid()) + "/fd/"};
    for (const std::string& prefix : prefixes) {
        if (!StartsWith(path, prefix))
            continue;
        int descriptor = -1;
        const char* end = path.data() + path.size();
        const auto [ptr, error] = std::from_chars(path.data() + prefix.size(), end, descriptor);
        return error == std::errc() && ptr == end && ptr != path.data() + prefix.size() ? descriptor : -1;
    }
    return -1;
}

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

bool Fail(std::string* reason, std::string text)
{
    if (reason != nullptr)
        *reason = std::move(text);
    return false;
}

// -1, after *reason says why.
int Refuse(std::string* reason, std::string text)
{
    Fail(reason, std::move(text));
    return -1;
}

// Follows symlinks to the file they name, which need not exist yet.
bool Resolve(const std::string& path, Target& target, std::string* reason)
{
    std::string current = path;
    for (int hop = 0; hop <= kMaxLinks; ++hop) {
        if (IsStreamPath(current)) {
            target.path = path;
            target.direct = true;
            target.descriptor = NamedDescriptor(current);
            return true;
        }
        struct stat status {};
        if (::lstat(current.c_str(), &status) != 0) {
            if (errno != ENOENT)
                return Fail(reason, errno);
            target.path = current; // a new file; its folder is checked when it is created
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

// Why a new file cannot be made in the folder, in words.
std::string FolderReason(const std::string& folder, int error)
{
    const std::string name = "the folder '" + folder + "'";
    switch (error) {
    case ENOENT:
        return name + " does not exist";
    case ENOTDIR:
        return "'" + folder + "' is not a folder";
    case EACCES:
    case EPERM:
        return name + " does not let us create files (" + std::strerror(error) + ")";
    case EROFS:
        return name + " is on a read-only file system";
    default:
        return name + ": " + std::strerror(error);
    }
}

// A new file in the folder beside `base`, created with the mode a new file gets.
int CreateTemporary(const std::string& folder, const std::string& base, std::string& name)
{
    thread_local std::mt19937_64 random{std::random_device{}()};
    const std::string prefix = folder + "/." + base + ".";
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

// The temporary file that will replace the target, with what the old file
// has besides its bytes; -1 after *reason says why there can be none.
int CreateReplacement(const Target& target, std::string& temporary, std::string* reason)
{
    const std::string folder = Folder(target.path);
    const std::string base = BaseName(target.path);
    if (base.empty())
        return Refuse(reason, "the name ends in '/', as a folder's does");
    struct stat folderStatus {};
    if (::stat(folder.c_str(), &folderStatus) != 0)
        return Refuse(reason, FolderReason(folder, errno));
    if (!S_ISDIR(folderStatus.st_mode))
        return Refuse(reason, FolderReason(folder, ENOTDIR));
    const long pathMax = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    const long nameMax = pathMax > kTemporaryNameExtra ? pathMax : kDefaultNameMax;
    if (long(base.size()) > nameMax)
        return Refuse(reason, "the name is longer than its file system allows (" + std::to_string(nameMax) + " bytes)");

    int probe = -1;
    if (target.exists) {
        // Renaming would replace even a file the user may not write: ask the file itself.
        probe = ::open(target.path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (probe < 0)
            return Refuse(reason, std::strerror(errno));
        // In a sticky folder (/tmp) only the file's or the folder's owner may replace the file.
        const uid_t user = ::geteuid();
        if ((folderStatus.st_mode & S_ISVTX) != 0 && user != 0 && target.status.st_uid != user &&
            folderStatus.st_uid != user) {
            ::close(probe);
            return Refuse(reason, "the folder '" + folder +
                                      "' is sticky and the file belongs to another user, who alone may replace it");
        }
    }
    const int descriptor = CreateTemporary(
        folder, base.substr(0, std::size_t(std::min(kMaxBaseInTemporaryName, nameMax - kTemporaryNameExtra))),
        temporary);
    if (descriptor < 0) {
        const int error = errno;
        if (probe >= 0)
            ::close(probe);
        return Refuse(reason,
                      error == ENAMETOOLONG ? std::string("the path is too long") : FolderReason(folder, error));
    }
    if (probe >= 0) {
        const std::optional<std::string> problem = CopyFileMetadata(probe, descriptor, target.status);
        ::close(probe);
        if (problem) {
            ::unlink(temporary.c_str());
            ::close(descriptor);
            return Refuse(reason, *problem);
        }
    }
    return descriptor;
}

} // namespace

std::unique_ptr<OutputFile> OutputFile::Open(const std::string& path, std::string* reason)
{
    Target target;
    if (path.empty()) {
        Fail(reason, "the name is empty");
        return nullptr;
    }
    if (!Resolve(path, target, reason))
        return nullptr;
    if (target.direct) {
        std::unique_ptr<FileSink> file = target.descriptor >= 0 ? FileSink::Duplicate(target.descriptor, path, reason)
                                                                : FileSink::Open(path, reason);
        if (!file)
            return nullptr;
        return std::unique_ptr<OutputFile>(new OutputFile(std::move(file), path, path, {}, -1));
    }
    std::string temporary;
    const int descriptor = CreateReplacement(target, temporary, reason);
    if (descriptor < 0)
        return nullptr;
    // The temporary file is synced before it replaces the target.
    return std::unique_ptr<OutputFile>(
        new OutputFile(FileSink::Adopt(descriptor, path, true), path, target.path, std::move(temporary), descriptor));
}

bool OutputFile::Replaces(const std::string& path)
{
    Target target;
    return path != "-" && !path.empty() && Resolve(path, target, nullptr) && !target.direct;
}

std::optional<std::string> OutputFile::Check(const std::string& path)
{
    std::string reason;
    Target target;
    if (path.empty())
        return "the name is empty";
    if (!Resolve(path, target, &reason))
        return reason;
    if (target.direct) {
        if (target.descriptor >= 0) {
            const int flags = ::fcntl(target.descriptor, F_GETFL);
            if (flags < 0 || (flags & O_ACCMODE) == O_RDONLY)
                return std::strerror(flags < 0 ? errno : EBADF);
            return std::nullopt;
        }
        if (target.exists && S_ISDIR(target.status.st_mode))
            return std::strerror(EISDIR);
        // A FIFO is not opened here: that would wait for its reader.
        if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0)
            return std::strerror(errno);
        return std::nullopt;
    }
    std::string temporary;
    const int descriptor = CreateReplacement(target, temporary, &reason);
    if (descriptor < 0)
        return reason;
    ::unlink(temporary.c_str());
    ::close(descriptor);
    return std::nullopt;
}

std::unique_ptr<OutputFile> OutputFile::StandardOutput()
{
    return std::unique_ptr<OutputFile>(new OutputFile(FileSink::StandardOutput(), "stdout", "-", {}, -1));
}

OutputFile::OutputFile(std::unique_ptr<FileSink> file, std::string name, std::string target, std::string temporary,
                       int descriptor)
    : file_(std::move(file)),
      name_(std::move(name)),
      target_(std::move(target)),
      temporary_(std::move(temporary)),
      descriptor_(descriptor)
{
}

OutputFile::~OutputFile() { Discard(); }

void OutputFile::Discard() noexcept
{
    descriptor_ = -1;
    if (!temporary_.empty()) {
        // The name goes first; the bytes still buffered are not worth writing.
        ::unlink(temporary_.c_str());
        temporary_.clear();
        if (file_)
            file_->Abandon();
    }
    file_.reset();
}

void OutputFile::Write(std::string_view bytes)
{
    if (!file_ || finished_)
        throw FileError(name_ + ": " + std::strerror(EBADF));
    file_->Write(bytes);
}

void OutputFile::Finish()
{
    if (!file_)
        throw FileError(name_ + ": " + std::strerror(EBADF));
    if (finished_)
        return;
    try {
        file_->Close(replaces());
    } catch (...) {
        Discard();
        throw;
    }
    descriptor_ = -1;
    finished_ = true;
}

void OutputFile::Commit()
{
    Finish();
    if (replaces()) {
        if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
            const int error = errno;
            Discard();
            throw FileError(name_ + ": " + std::strerror(error));
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
