// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/PngFile.h"
#include "plot/Recompute.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>
#include <vector>

namespace tamrisk {
namespace {

// Reads a PNG back as 0x00RRGGBB pixels; empty on failure.
std::vector<Color> ReadPng(const std::string& path, int& width, int& height)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
        png_image_free(&image);
        return {};
    }
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    std::vector<Color> pixels;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3)
        pixels.push_back(Rgb(rgb[i], rgb[i + 1], rgb[i + 2]));
    return pixels;
}

std::filesystem::path TempPath(const char* name)
{
    return std::filesystem::temp_directory_path() / (std::string("tamrisk-") + std::to_string(::getpid()) + name);
}

TEST(PngFile, RoundTripsEveryChannelExactly)
{
    Raster picture(7, 3);
    picture.FillSolidRect(0, 0, 7, 3, Rgb(212, 208, 200));
    picture.FillSolidRect(1, 0, 1, 3, Rgb(255, 0, 0));
    picture.FillSolidRect(2, 1, 3, 1, Rgb(0, 255, 0));
    picture.FillSolidRect(6, 2, 1, 1, Rgb(0, 0, 255));
    picture.FillSolidRect(0, 2, 1, 1, Rgb(1, 2, 3));

    const std::filesystem::path path = TempPath("-roundtrip.png");
    std::string error;
    ASSERT_TRUE(WritePng(picture, path.string(), &error)) << error;
    int w = 0, h = 0;
    EXPECT_EQ(ReadPng(path.string(), w, h), picture.pixels());
    EXPECT_EQ(w, 7);
    EXPECT_EQ(h, 3);
    std::filesystem::remove(path);
}

TEST(PngFile, ReportsAFileThatCannotBeWritten)
{
    std::string error;
    EXPECT_FALSE(WritePng(Raster(2, 2), "/nonexistent-dir/x.png", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(WritePng(Raster(0, 5), TempPath("-empty.png").string(), &error));
}

} // namespace
} // namespace tamrisk
