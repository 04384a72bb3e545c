// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "output/OutputFile.h"

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace tamrisk::cli {

// The text with control bytes, C1 controls, bytes that are not UTF-8 (and
// the backslash) written as \xNN, so that a file name cannot send escape
// sequences to the terminal; other UTF-8 characters stay as they are.
std::string Shown(const std::string& text);

// What became of outputs that were not finished: an existing file is kept;
// standard output, a pipe or a device may have part of it. Empty paths are
// left out.
std::string NotWrittenText(const std::string& path);
std::string NotWrittenText(const std::vector<std::string>& paths);

// A byte count and a duration as people read them: "1.4 GB", "3 min 20 s".
std::string SizeText(double bytes);
std::string DurationText(double seconds);

} // namespace tamrisk::cli
