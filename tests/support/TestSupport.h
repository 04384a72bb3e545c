// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helpers that the tests of every folder share.

#include "model/CurveTable.h"
#include "model/ProfileArrays.h"
#include "output/ByteSink.h"
#include "output/ProfileExport.h"
#include "plot/Recompute.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tamrisk::testing {

// Bitwise equality, except that any NaN matches any NaN: the sign of a NaN
// that propagates through a product depends on the compiler's operand order.
inline bool SameBits(float a, float b)
{
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b) || (std::isnan(a) && std::isnan(b));
}

inline ::testing::AssertionResult SameBits(const std::vector<float>& actual, const std::vector<float>& expected)
{
    if (actual.size() != expected.size())
        return ::testing::AssertionFailure() << "size " << actual.size() << " vs " << expected.size();
    for (std::size_t i = 0; i < actual.size(); ++i)
        if (!SameBits(actual[i], expected[i]))
            return ::testing::AssertionFailure() << "at " << i << ": " << actual[i] << " vs " << expected[i];
    return ::testing::AssertionSuccess();
}

inline void ExpectSameProfile(const DepthProfile& a, const DepthProfile& b)
{
    for (const ProfileArrayRow& row : kProfileArrays)
        EXPECT_TRUE(SameBits(a.*row.values, b.*row.values)) << row.column;
    EXPECT_TRUE(SameBits(a.effLabTotal, b.effLabTotal)) << "effLabTotal";
    EXPECT_TRUE(SameBits(a.effNatTotal, b.effNatTotal)) << "effNatTotal";
}

inline void ExpectSameCurves(const SignalCurves& a, const SignalCurves& b)
{
    for (const SignalArrayRow& row : kSignalArrays)
        EXPECT_TRUE(SameBits(a.*row.values, b.*row.values)) << row.column;
    EXPECT_EQ(a.summedComputed, b.summedComputed);
    EXPECT_EQ(a.signalAtDepthComputed, b.signalAtDepthComputed);
}

// A sink that takes `allowedWrites` writes and fails every one after them.
class FailingSink : public ByteSink {
public:
    explicit FailingSink(int allowedWrites) : allowed_(allowedWrites) {}
    void Write(std::string_view bytes) override
    {
        if (allowed_-- <= 0)
            throw FileError("test: No space left on device");
        data.append(bytes);
    }
    std::string data;

private:
    int allowed_;
};

inline std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A fresh directory of its own for one test, removed with everything in it.
class TempDir {
public:
    TempDir()
    {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string name = test != nullptr ? std::string(test->test_suite_name()) + "." + test->name() : "test";
        path_ = std::filesystem::temp_directory_path() / ("tamrisk-" + std::to_string(::getpid()) + "-" + name);
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// The profile export of the window after a recomputation from the controls.
inline std::string ExpectedExport(const ControlState& controls, const ParameterOverrides& overrides = {})
{
    ModelState state;
    Recompute(controls, state, overrides);
    StringSink sink;
    WriteProfileExport(sink, state.params, state.profile);
    return sink.data();
}

// The texts between the NUL bytes of an output file.
inline std::vector<std::string> Pieces(const std::string& file)
{
    std::vector<std::string> pieces;
    std::size_t begin = 0;
    for (std::size_t nul = file.find('\0'); nul != std::string::npos; nul = file.find('\0', begin)) {
        pieces.push_back(file.substr(begin, nul - begin));
        begin = nul + 1;
    }
    return pieces;
}

// Every curve of one plot shown.
inline DisplayFlags CurvesOf(PlotKind plot)
{
    DisplayFlags flags;
    for (const CurveRow& row : kCurves)
        if (row.plot == plot)
            flags.*row.flag = true;
    return flags;
}

} // namespace tamrisk::testing
