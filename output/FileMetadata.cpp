// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/FileMetadata.h"

#include <cerrno>
#include <cstring>
#include <string_view>

#include <sys/acl.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace tamrisk {

namespace {

std::string Because(int error) { return std::string(" (") + std::strerror(error) + ")"; }

// The names of a file's extended attributes, each ending in NUL; nothing with errno set.
std::optional<std::string> AttributeNames(int descriptor)
{
    for (;;) {
        const ssize_t size = ::flistxattr(descriptor, nullptr, 0);
        if (size < 0)
            return std::nullopt;
        std::string names(std::size_t(size), '\0');
        const ssize_t got = ::flistxattr(descriptor, names.data(), names.size());
        if (got >= 0) {
            names.resize(std::size_t(got));
            return names;
        }
        if (errno != ERANGE) // ERANGE: it grew meanwhile, ask again
            return std::nullopt;
    }
}

std::optional<std::string> Attribute(int descriptor, const char* name)
{
    for (;;) {
        const ssize_t size = ::fgetxattr(descriptor, name, nullptr, 0);
        if (size < 0)
            return std::nullopt;
        std::string value(std::size_t(size), '\0');
        const ssize_t got = ::fgetxattr(descriptor, name, value.data(), value.size());
        if (got >= 0) {
            value.resize(std::size_t(got));
            return value;
        }
        if (errno != ERANGE)
            return std::nullopt;
    }
}

std::optional<std::string> CopyAttributes(int from, int to)
{
    const std::optional<std::string> names = AttributeNames(from);
    if (!names)
        return errno == ENOTSUP ? std::nullopt
                                : std::optional("its extended attributes cannot be read" + Because(errno));
    for (std::size_t at = 0; at < names->size(); at = names->find('\0', at) + 1) {
        const char* name = names->c_str() + at;
        const std::string_view view(name);
        if (view.empty())
            break;
        if (view.starts_with("system.posix_acl_"))
            continue; // the access control list, given as such
        const std::optional<std::string> value = Attribute(from, name);
        if (!value) {
            if (errno == ENODATA)
                continue; // removed meanwhile
            return "its extended attribute '" + std::string(view) + "' cannot be read" + Because(errno);
        }
        if (Attribute(to, name) == value)
            continue; // already so, as a label the system gives each new file may be
        if (::fsetxattr(to, name, value->data(), value->size(), 0) != 0) {
            if (view == "security.selinux")
                continue; // the system labels the new file itself where it may not take the old label
            return "its extended attribute '" + std::string(view) + "' cannot be kept" + Because(errno);
        }
    }
    return std::nullopt;
}

std::optional<std::string> CopyAccessControlList(int from, int to)
{
    const acl_t acl = ::acl_get_fd(from);
    if (acl == nullptr)
        return errno == ENOTSUP ? std::nullopt
                                : std::optional("its access control list cannot be read" + Because(errno));
    const int set = ::acl_set_fd(to, acl);
    const int error = errno;
    ::acl_free(acl);
    if (set != 0)
        return "its access control list cannot be kept" + Because(error);
    return std::nullopt;
}

} // namespace

std::optional<std::string> CopyFileMetadata(int from, int to, const struct stat& status)
{
    // Owner first: a new owner clears the set-id bits, which the mode then
    // restores, and attributes such as file capabilities, which follow.
    if (::fchown(to, status.st_uid, status.st_gid) != 0) [[maybe_unused]]
        const int group = ::fchown(to, uid_t(-1), status.st_gid);
    if (std::optional<std::string> problem = CopyAttributes(from, to))
        return problem;
    if (::fchmod(to, status.st_mode & 07777) != 0)
        return "its mode cannot be kept" + Because(errno);
    // Last: the list also sets the group's bits of the mode (its mask).
    return CopyAccessControlList(from, to);
}

} // namespace tamrisk
