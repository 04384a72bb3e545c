// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "output/OutputFile.h"
#include "plot/Raster.h"

#include <optional>
#include <string>

namespace tamrisk {

// The picture as the bytes of an 8-bit RGB PNG file, or nothing with the
// reason in *error.
std::optional<std::string> EncodePng(const Raster& picture, std::string* error = nullptr);

// Writes the picture as a PNG file to the path, replacing an existing file
// only once the new one is complete. False on failure, with the reason in *error.
bool WritePng(const Raster& picture, const std::string& path, std::string* error = nullptr);

} // namespace tamrisk
