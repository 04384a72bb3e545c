// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include <sys/stat.h>

namespace tamrisk {

// Gives the new file `to`, which will replace the file open as `from`
// (status: its stat), what the old one had besides its bytes: its owner and
// group where the system lets us set them (root may set both, others the
// group only where they belong to it), its mode, its access control list
// and its extended attributes. Where the ACL or an attribute cannot be
// given, the reason; `to` is then to be thrown away.
std::optional<std::string> CopyFileMetadata(int from, int to, const struct stat& status);

} // namespace tamrisk
