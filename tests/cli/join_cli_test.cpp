// SPDX-License-Identifier: GPL-3.0-or-later
// tamrisk-cli join: the whole table from parts that are all there and whole,
// and a refusal that names each missing, stale, damaged or stray file.
#include "ShardedSweep.h"

#include "cli/PartSurvey.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <regex>
#include <string>
#include <vector>

namespace tamrisk {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::RunTool;
using testing::ToolOutcome;
using testing::WriteText;

class JoinTest : public testing::ShardedSweepTest {};

TEST_F(JoinTest, PartsJoinToTheWholeTable)
{
    struct Way {
        const char* name;
        std::vector<std::string> args;
    };
    std::vector<std::string> partFiles, manifestFiles;
    for (int k = testing::kShards; k >= 1; --k) { // the order given does not matter
        partFiles.push_back("parts/" + testing::PartName(k));
        manifestFiles.push_back("parts/" + testing::PartName(k) + ".manifest.json");
    }
    const std::vector<Way> ways = {
        {"folder", {"join", "parts", "-o", "joined.csv"}},
        {"folder with slash", {"join", "parts/", "-o", "joined.csv"}},
        {"parts", testing::Joined(testing::Joined({"join"}, partFiles), {"-o", "joined.csv"})},
        {"manifests", testing::Joined(testing::Joined({"join"}, manifestFiles), {"-o", "joined.csv"})},
        // The output among the parts is passed over, and so is a killed write's temporary file.
        {"output in the folder", {"join", "parts", "-o", "parts/joined.csv"}},
    };
    WriteText(Parts() / ".p3.csv.Xy12ab.tmp", "half a part");
    for (const Way& way : ways) {
        for (int round = 0; round < 2; ++round) { // the second time over the first's output
            const ToolOutcome run = RunTool(way.args, dir_.path().string());
            ASSERT_EQ(run.exitCode, 0) << way.name << ": " << run.err;
            EXPECT_EQ(run.err, "") << way.name;
            EXPECT_EQ(ReadFile(dir_.path() / way.args.back()), whole_) << way.name;
        }
    }
    fs::remove(Parts() / "joined.csv");
    const ToolOutcome toStandardOutput = RunTool({"join", "parts"}, dir_.path().string());
    ASSERT_EQ(toStandardOutput.exitCode, 0) << toStandardOutput.err;
    EXPECT_EQ(toStandardOutput.out, whole_);
    const ToolOutcome nothingMissing = RunTool({"join", "--list-missing", "parts"}, dir_.path().string());
    EXPECT_EQ(nothingMissing.exitCode, 0);
    EXPECT_EQ(nothingMissing.out, "");
}

TEST_F(JoinTest, TsvPartsJoinToTheWholeTsvTable)
{
    const std::vector<std::string> tsv = {"--format", "tsv"};
    testing::WriteParts(dir_.path() / "tsv", 3, tsv, "t");
    const ToolOutcome whole =
        RunTool(testing::Joined(testing::Joined({"sweep"}, testing::kSweep), tsv), dir_.path().string());
    const ToolOutcome joined = RunTool({"join", "tsv"}, dir_.path().string());
    ASSERT_EQ(joined.exitCode, 0) << joined.err;
    EXPECT_EQ(joined.out, whole.out);
}

// Each fault, made in a copy of the seven parts: the join writes nothing,
// exits 1 and names what is wrong; --list-missing gives the parts to run again.
struct Fault {
    const char* name;
    std::function<void(const fs::path& parts, const fs::path& master)> make;
    std::vector<std::string> messages;
    std::string rerun; // --list-missing's output
    int listExit = 0;
};

void PrintTo(const Fault& fault, std::ostream* os) { *os << fault.name; }

fs::path Manifest(const fs::path& part) { return part.string() + ".manifest.json"; }

void CopyPart(const fs::path& from, const fs::path& to)
{
    fs::copy_file(from, to);
    fs::copy_file(Manifest(from), Manifest(to));
}

// The manifest of a part with one field's text replaced.
void EditManifest(const fs::path& part, const std::string& pattern, const std::string& replacement)
{
    const std::string text = ReadFile(Manifest(part));
    const std::string edited = std::regex_replace(text, std::regex(pattern), replacement);
    ASSERT_NE(edited, text) << pattern;
    WriteText(Manifest(part), edited);
}

class JoinRefusal : public testing::ShardedSweepTest, public ::testing::WithParamInterface<Fault> {};

TEST_P(JoinRefusal, NamesTheFaultAndWritesNothing)
{
    const Fault& fault = GetParam();
    fault.make(Parts(), Master());
    WriteText(dir_ / "joined.csv", "an older table\n");
    const ToolOutcome run = RunTool({"join", "parts", "-o", "joined.csv"}, dir_.path().string());
    EXPECT_EQ(run.exitCode, 1) << run.err;
    for (const std::string& message : fault.messages)
        EXPECT_NE(run.err.find(message), std::string::npos) << "'" << message << "' not in:\n" << run.err;
    EXPECT_NE(run.err.find("nothing was joined"), std::string::npos) << run.err;
    EXPECT_EQ(ReadFile(dir_ / "joined.csv"), "an older table\n");
    EXPECT_EQ(run.out, "");
    for (const auto& entry : fs::directory_iterator(dir_.path()))
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();

    const ToolOutcome listed = RunTool({"join", "--list-missing", "parts"}, dir_.path().string());
    EXPECT_EQ(listed.exitCode, fault.listExit) << listed.err;
    EXPECT_EQ(listed.out, fault.rerun.empty() ? "" : fault.rerun + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Join, JoinRefusal,
    ::testing::Values(
        Fault{"MissingPart",
              [](const fs::path& parts, const fs::path&) {
                  fs::remove(parts / "p3.csv");
                  fs::remove(Manifest(parts / "p3.csv"));
              },
              {"part 3 of 7 is missing"}, "3"},
        Fault{"ThreeMissingParts",
              [](const fs::path& parts, const fs::path&) {
                  for (const char* name : {"p1.csv", "p5.csv", "p6.csv"}) {
                      fs::remove(parts / name);
                      fs::remove(Manifest(parts / name));
                  }
              },
              {"parts 1,5-6 of 7 are missing"}, "1,5-6"},
        Fault{"OnlyTheManifest", [](const fs::path& parts, const fs::path&) { fs::remove(parts / "p4.csv"); },
              {"'parts/p4.csv' (part 4 of 7) is missing beside its manifest"}, "4"},
        Fault{"NoManifest", [](const fs::path& parts, const fs::path&) { fs::remove(Manifest(parts / "p2.csv")); },
              {"'parts/p2.csv' has no manifest", "part 2 of 7 is missing"}, "2"},
        Fault{"TruncatedPart",
              [](const fs::path& parts, const fs::path&) {
                  fs::resize_file(parts / "p5.csv", fs::file_size(parts / "p5.csv") - 7);
              },
              {"'parts/p5.csv' (part 5 of 7) has", "(cut short)"}, "5"},
        Fault{"EmptiedPart", [](const fs::path& parts, const fs::path&) { fs::resize_file(parts / "p1.csv", 0); },
              {"'parts/p1.csv' (part 1 of 7) has 0 bytes"}, "1"},
        Fault{"FlippedByte",
              [](const fs::path& parts, const fs::path&) {
                  std::string text = ReadFile(parts / "p6.csv");
                  text[text.size() / 2] ^= 1;
                  WriteText(parts / "p6.csv", text);
              },
              {"'parts/p6.csv' (part 6 of 7) does not match its manifest's checksum"}, "6"},
        Fault{"RowsSwapped",  // same bytes, other order: only the checksum sees it
              [](const fs::path& parts, const fs::path&) {
                  std::string text = ReadFile(parts / "p2.csv");
                  const std::size_t first = text.find('\n') + 1;
                  const std::size_t second = text.find('\n', first) + 1;
                  text = text.substr(first, second - first) + text.substr(0, first) + text.substr(second);
                  WriteText(parts / "p2.csv", text);
              },
              {"'parts/p2.csv' (part 2 of 7) does not match"}, "2"},
        Fault{"StaleFromAnotherN",
              [](const fs::path& parts, const fs::path& master) {
                  CopyPart(master / "eight" / "p2.csv", parts / "q2.csv");
              },
              {"'parts/q2.csv' is stale: it is part 2 of 8, the sweep's other parts are of 7"}, ""},
        Fault{"AnotherNInPlace",  // a run in 8 parts overwrote part 3
              [](const fs::path& parts, const fs::path& master) {
                  fs::remove(parts / "p3.csv");
                  fs::remove(Manifest(parts / "p3.csv"));
                  CopyPart(master / "eight" / "p3.csv", parts / "p3.csv");
              },
              {"'parts/p3.csv' is stale: it is part 3 of 8", "part 3 of 7 is missing"}, "3"},
        Fault{"StaleFromAnotherSweep",
              [](const fs::path& parts, const fs::path& master) {
                  CopyPart(master / "other" / "p3.csv", parts / "x3.csv");
              },
              {"'parts/x3.csv' is stale: it is part 3 of 7 of another sweep"}, ""},
        Fault{"StaleFromAnotherVersion",
              [](const fs::path& parts, const fs::path&) {
                  EditManifest(parts / "p2.csv", "\"version\": \"[^\"]*\"", "\"version\": \"0.9.0\"");
                  EditManifest(parts / "p2.csv", "\"fingerprint\": \"[0-9a-f]+\"",
                               "\"fingerprint\": \"" + std::string(64, '0') + "\"");
              },
              {"'parts/p2.csv' is stale: it was made by tamrisk-cli 0.9.0", "part 2 of 7 is missing"}, "2"},
        Fault{"DuplicateK",
              [](const fs::path& parts, const fs::path&) { CopyPart(parts / "p4.csv", parts / "p4-again.csv"); },
              {"'parts/p4-again.csv' and 'parts/p4.csv' are each part 4 of 7"}, ""},
        Fault{"StrayFile", [](const fs::path& parts, const fs::path&) { WriteText(parts / "notes.txt", "x\n"); },
              {"'parts/notes.txt' has no manifest"}, ""},
        Fault{"StrayFolder", [](const fs::path& parts, const fs::path&) { fs::create_directory(parts / "old"); },
              {"'parts/old' is a folder, not a part"}, ""},
        Fault{"DamagedManifest",
              [](const fs::path& parts, const fs::path&) { WriteText(Manifest(parts / "p7.csv"), "{\"manif"); },
              {"'parts/p7.csv.manifest.json' is not a part's manifest", "part 7 of 7 is missing"}, "7"},
        Fault{"ManifestRowsDisagree",
              [](const fs::path& parts, const fs::path&) {
                  EditManifest(parts / "p3.csv", "\"first_row\": [0-9]+", "\"first_row\": 1");
              },
              {"'parts/p3.csv.manifest.json' is not a part's manifest: its rows do not agree"}, "3"},
        Fault{"EmptyFolder",
              [](const fs::path& parts, const fs::path&) {
                  fs::remove_all(parts);
                  fs::create_directory(parts);
              },
              {"'parts' is empty", "no part of a sweep was found"}, "", 1}),
    [](const auto& c) { return c.param.name; });

TEST(JoinUsage, WhatTheCommandLineMustSay)
{
    testing::TempDir dir;
    fs::create_directory(dir.path() / "parts");
    // Without a manifest, --shards says which parts there should be.
    const ToolOutcome all = RunTool({"join", "--list-missing", "--shards", "12", "parts"}, dir.path().string());
    EXPECT_EQ(all.exitCode, 0) << all.err;
    EXPECT_EQ(all.out, "1-12\n");
    const ToolOutcome lines =
        RunTool({"join", "--list-missing", "--one-per-line", "--shards", "3", "parts"}, dir.path().string());
    EXPECT_EQ(lines.out, "1\n2\n3\n");
    for (const std::vector<std::string>& args : {std::vector<std::string>{"join"},
                                                 {"join", "--one-per-line", "parts"},
                                                 {"join", "--list-missing", "-o", "x.csv", "parts"},
                                                 {"join", "--shards", "0", "parts"}}) {
        const ToolOutcome run = RunTool(args, dir.path().string());
        EXPECT_EQ(run.exitCode, 2) << args.back() << run.err;
    }
    const ToolOutcome nothing = RunTool({"join", "no-such-folder"}, dir.path().string());
    EXPECT_EQ(nothing.exitCode, 1);
    EXPECT_NE(nothing.err.find("'no-such-folder': No such file or directory"), std::string::npos) << nothing.err;
}

TEST(ShardList, RangesAsSbatchTakesThem)
{
    const struct {
        std::vector<std::int64_t> ks;
        const char* ranges;
    } cases[] = {
        {{}, ""},
        {{3}, "3"},
        {{3, 4}, "3-4"},
        {{3, 7, 8, 9}, "3,7-9"},
        {{1, 2, 3, 5, 10, 11, 100000}, "1-3,5,10-11,100000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cli::ShardListText(c.ks, false), c.ranges);
    EXPECT_EQ(cli::ShardListText({3, 7, 8}, true), "3\n7\n8\n");
}

} // namespace
} // namespace tamrisk
