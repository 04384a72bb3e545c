// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A small sweep cut into parts by the built tool, made once for a test suite
// and copied for each case, so that a case can damage its own copy.
#include "cli/ToolRunner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tamrisk::testing {

// 13 × 8 = 104 rows: 7 parts of 14 or 15 rows.
inline const std::vector<std::string> kSweep = {"--vary", "dose-rate=0:2:12", "--vary", "eval-time=1:1000:7:log"};
inline constexpr int kShards = 7;

inline std::vector<std::string> Joined(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline std::string PartName(int k) { return "p" + std::to_string(k) + ".csv"; }

// Writes parts 1..n of the sweep (with `extra` options) into folder/NAME.
inline void WriteParts(const std::filesystem::path& folder, int n, const std::vector<std::string>& extra = {},
                       const std::string& prefix = "p")
{
    std::filesystem::create_directories(folder);
    for (int k = 1; k <= n; ++k) {
        const ToolOutcome run = RunTool(
            Joined(Joined(Joined({"sweep"}, kSweep), extra),
                   {"--shard", std::to_string(k) + "/" + std::to_string(n), "-o", prefix + std::to_string(k) + ".csv"}),
            folder.string());
        ASSERT_EQ(run.exitCode, 0) << run.err;
    }
}

inline void WriteText(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// The set made once: the whole table, its 7 parts, and parts of other runs.
class ShardedSweepTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::string suite = ::testing::UnitTest::GetInstance()->current_test_suite()->name();
        std::replace(suite.begin(), suite.end(), '/', '.'); // "Join/JoinRefusal": one folder, not two
        master_ =
            std::filesystem::temp_directory_path() / ("tamrisk-shards-" + std::to_string(::getpid()) + "-" + suite);
        std::filesystem::remove_all(master_);
        std::filesystem::create_directories(master_);
        const ToolOutcome whole = RunTool(Joined(Joined({"sweep"}, kSweep), {"-o", "whole.csv"}), master_.string());
        ASSERT_EQ(whole.exitCode, 0) << whole.err;
        WriteParts(master_ / "parts", kShards);
        WriteParts(master_ / "eight", 8);                         // the same sweep in another number of parts
        WriteParts(master_ / "other", kShards, {"--top", "0.1"}); // another sweep
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(master_); }

    // A fresh copy of the parts for one case.
    void SetUp() override
    {
        std::filesystem::copy(master_ / "parts", dir_ / "parts");
        whole_ = ReadFile(master_ / "whole.csv");
    }

    std::filesystem::path Parts() const { return dir_.path() / "parts"; }
    static std::filesystem::path Master() { return master_; }

    TempDir dir_;
    std::string whole_;
    static inline std::filesystem::path master_;
};

} // namespace tamrisk::testing
