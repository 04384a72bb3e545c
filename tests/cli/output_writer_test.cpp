// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Interrupts.h"
#include "cli/OutputPaths.h"
#include "cli/OutputWriter.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

namespace tamrisk::cli {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;

struct ClashCase {
    const char* name;
    std::vector<std::string> paths; // relative to the test folder, except "-" and /dev paths
    bool link = false;              // "link" is a symlink to "a"
    bool clash;
};

class OutputClashTest : public ::testing::TestWithParam<ClashCase> {};

TEST_P(OutputClashTest, FindsOutputsThatNameOneFile)
{
    const ClashCase& c = GetParam();
    testing::TempDir dir;
    if (c.link)
        fs::create_symlink(dir / "a", dir / "link");
    std::vector<NamedOutput> outputs;
    for (const std::string& path : c.paths) {
        const bool absolute = path == "-" || path.rfind("/dev/", 0) == 0;
        outputs.push_back({"--opt" + std::to_string(outputs.size()), absolute ? path : dir / path});
    }
    const std::optional<std::string> clash = OutputClash(outputs);
    EXPECT_EQ(clash.has_value(), c.clash) << c.name;
    if (clash) {
        EXPECT_NE(clash->find("--opt"), std::string::npos) << *clash;
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, OutputClashTest,
                         ::testing::Values(ClashCase{"Distinct", {"a", "b"}, false, false},
                                           ClashCase{"Same", {"a", "a"}, false, true},
                                           ClashCase{"SameThroughDotDot", {"a", "sub/../a"}, false, true},
                                           ClashCase{"ThroughLinkToNewFile", {"a", "link"}, true, true},
                                           ClashCase{"BothStandardOutput", {"-", "-"}, false, true},
                                           ClashCase{"DevStdoutAndDash", {"/dev/stdout", "-"}, false, true},
                                           ClashCase{"FileAndStandardOutput", {"a", "-"}, false, false},
                                           ClashCase{"ThirdClashesWithFirst", {"a", "b", "a"}, false, true}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(OutputClash, FindsAnExistingFileThroughALink)
{
    testing::TempDir dir;
    std::ofstream(dir / "a") << "old";
    fs::create_symlink(dir / "a", dir / "link");
    EXPECT_TRUE(OutputClash({{"-o", dir / "a"}, {"--record", dir / "link"}}));
}

TEST(OutputWriter, CommitsEveryOutputOnlyWhenAllAreComplete)
{
    testing::TempDir dir;
    std::ofstream(dir / "table") << "old table";
    std::ofstream(dir / "record") << "old record";
    std::ostringstream err;
    OutputWriter writer(err);
    // The second output fails: the first, complete, must not replace its old file.
    const int code = writer.WriteAll({{dir / "table", [](ByteSink& sink) { sink.Write("new table"); }},
                                      {dir / "record", [](ByteSink&) { throw FileError("record: disk full"); }}});
    EXPECT_EQ(code, 1);
    EXPECT_EQ(ReadFile(dir / "table"), "old table");
    EXPECT_EQ(ReadFile(dir / "record"), "old record");
    EXPECT_NE(err.str().find("disk full"), std::string::npos);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);

    EXPECT_EQ(writer.WriteAll({{dir / "table", [](ByteSink& sink) { sink.Write("new table"); }},
                               {dir / "record", [](ByteSink& sink) { sink.Write("new record"); }}}),
              0);
    EXPECT_EQ(ReadFile(dir / "table"), "new table");
    EXPECT_EQ(ReadFile(dir / "record"), "new record");
}

TEST(OutputWriter, MessagesShowControlBytesEscaped)
{
    std::ostringstream err;
    OutputWriter writer(err);
    EXPECT_EQ(writer.Open("/nonexistent-folder/\x1b[31mred.csv"), nullptr);
    EXPECT_EQ(err.str().find('\x1b'), std::string::npos);
    EXPECT_NE(err.str().find("\\x1B[31mred.csv"), std::string::npos) << err.str();
}

struct ShownCase {
    const char* name;
    std::string text;
    std::string shown;
};

class ShownTest : public ::testing::TestWithParam<ShownCase> {};

// What reaches the terminal cannot start an escape sequence; readable UTF-8 stays readable.
TEST_P(ShownTest, EscapesWhatATerminalWouldActOn) { EXPECT_EQ(Shown(GetParam().text), GetParam().shown); }

INSTANTIATE_TEST_SUITE_P(
    Texts, ShownTest,
    ::testing::Values(
        ShownCase{"Plain", "out.csv", "out.csv"}, ShownCase{"Escape", "\x1b[31mred", "\\x1B[31mred"},
        ShownCase{"NewlineAndDelete", "a\nb\x7f", "a\\x0Ab\\x7F"}, ShownCase{"Backslash", "a\\b", "a\\x5Cb"},
        ShownCase{"Umlaut", "Tiefe-\xc3\xa4.csv", "Tiefe-\xc3\xa4.csv"},
        ShownCase{"EuroAndEmoji", "\xe2\x82\xac \xf0\x9f\x98\x80", "\xe2\x82\xac \xf0\x9f\x98\x80"},
        ShownCase{"C1ControlInUtf8",
                  "\xc2\x9b"
                  "31m",
                  "\\xC2\\x9B31m"},
        ShownCase{"LoneC1Byte",
                  "\x9b"
                  "31m",
                  "\\x9B31m"},
        ShownCase{"Latin1Name", "r\xe9sum\xe9", "r\\xE9sum\\xE9"}, ShownCase{"Overlong", "\xc0\xaf", "\\xC0\\xAF"},
        ShownCase{"Surrogate", "\xed\xa0\x80", "\\xED\\xA0\\x80"}, ShownCase{"CutShort", "ok\xe2\x82", "ok\\xE2\\x82"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(ForcedExit, RemovesEveryListedFileOnASecondSignal)
{
    testing::TempDir dir;
    const std::vector<std::string> files = {dir / "one", dir / "two", dir / "three", dir / "kept"};
    for (const std::string& file : files)
        std::ofstream(file) << "unfinished";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        CatchInterrupts();
        {
            const RemovedOnForcedExit gone(files[3]); // no longer listed once destroyed
        }
        const RemovedOnForcedExit first(files[0]);
        const auto second = std::make_unique<RemovedOnForcedExit>(files[1]);
        const RemovedOnForcedExit third(files[2]);
        std::raise(SIGINT);
        std::raise(SIGINT); // the second one ends the process
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGINT);
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(fs::exists(files[std::size_t(i)])) << files[std::size_t(i)];
    EXPECT_TRUE(fs::exists(files[3]));
}

} // namespace
} // namespace tamrisk::cli
