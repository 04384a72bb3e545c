// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/PngFile.h"

#include <png.h>

#include <cstring>
#include <vector>

namespace tamrisk {

std::optional<std::string> EncodePng(const Raster& picture, std::string* error)
{
    const auto fail = [error](const std::string& reason) -> std::optional<std::string> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    if (picture.width() <= 0 || picture.height() <= 0)
        return fail("empty picture");

    std::vector<png_byte> rgb;
    rgb.reserve(picture.pixels().size() * 3);
    for (Color c : picture.pixels()) {
        rgb.push_back(static_cast<png_byte>(c >> 16));
        rgb.push_back(static_cast<png_byte>(c >> 8));
        rgb.push_back(static_cast<png_byte>(c));
    }

    // The simplified API reports errors through image.message instead of
    // longjmp, which must not cross C++ frames. Encoding into memory leaves
    // the file to the caller, who never has a half-written one removed for it.
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.width());
    image.height = static_cast<png_uint_32>(picture.height());
    image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    int ok = png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr);
    std::string bytes;
    if (ok) {
        bytes.resize(size);
        ok = png_image_write_to_memory(&image, bytes.data(), &size, 0, rgb.data(), 0, nullptr);
        bytes.resize(size);
    }
    const std::string message = image.message;
    png_image_free(&image);
    if (!ok)
        return fail(message.empty() ? "cannot encode the picture" : message);
    return bytes;
}

bool WritePng(const Raster& picture, const std::string& path, std::string* error)
{
    const std::optional<std::string> bytes = EncodePng(picture, error);
    if (!bytes)
        return false;
    std::unique_ptr<OutputFile> file = OutputFile::Open(path, error);
    if (!file)
        return false;
    try {
        file->Write(*bytes);
        file->Commit();
    } catch (const FileError& failure) {
        if (error)
            *error = failure.what();
        return false;
    }
    return true;
}

} // namespace tamrisk
