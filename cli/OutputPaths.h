// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "output/OutputFile.h"

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>

namespace tamrisk::cli {

// The text with control bytes (and the backslash) written as \xNN, so that a
// file name cannot send escape sequences to the terminal.
std::string Shown(const std::string& text);

// What became of an output that was not finished: an existing file is kept;
// standard output has only part of it.
std::string NotWrittenText(const std::string& path);

// A byte count and a duration as people read them: "1.4 GB", "3 min 20 s".
std::string SizeText(double bytes);
std::string DurationText(double seconds);

} // namespace tamrisk::cli
