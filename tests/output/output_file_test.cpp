// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/OutputFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <vector>

#include <cstring>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace tamrisk {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;

std::vector<std::string> Names(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class OutputFileTest : public ::testing::Test {
protected:
    std::string Old(const char* name, const std::string& content,
                    fs::perms perms = fs::perms::owner_read | fs::perms::owner_write)
    {
        const std::string path = dir_ / name;
        std::ofstream(path, std::ios::binary) << content;
        fs::permissions(path, perms);
        return path;
    }

    testing::TempDir dir_;
};

TEST_F(OutputFileTest, OldFileStaysUntilCommitAndKeepsItsPermissions)
{
    const fs::perms perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    const std::string path = Old("out.txt", "the old, complete result", perms);
    auto file = OutputFile::Open(path);
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->replaces());
    file->Write(std::string(100000, 'n'));
    EXPECT_EQ(ReadFile(path), "the old, complete result");
    file->Commit();
    EXPECT_EQ(ReadFile(path), std::string(100000, 'n'));
    EXPECT_EQ(fs::status(path).permissions(), perms);
    EXPECT_EQ(Names(dir_.path()), std::vector<std::string>{"out.txt"});
}

TEST_F(OutputFileTest, FileOfSeveralMegabytesIsStoredWhole)
{
    // Long enough that storing starts while the file is still being written.
    const std::string path = Old("big.txt", "old");
    auto file = OutputFile::Open(path);
    ASSERT_NE(file, nullptr);
    std::string expected;
    for (int i = 0; i < 60000; ++i) {
        const std::string row = std::to_string(i * 7919) + std::string(std::size_t(i % 150), 'x') + '\n';
        file->Write(row);
        expected += row;
    }
    file->Write(std::string(300000, 'y')); // larger than a buffer: written at once
    expected += std::string(300000, 'y');
    file->Commit();
    EXPECT_GT(expected.size(), 4u << 20);
    EXPECT_EQ(ReadFile(path), expected);
    EXPECT_EQ(Names(dir_.path()), std::vector<std::string>{"big.txt"});
}

// Writes that fail after a number of bytes, from the file system itself: the
// failure shows in a buffered write or only when the file is put in place.
class FailingAfterBytes : public OutputFileTest, public ::testing::WithParamInterface<rlim_t> {};

TEST_P(FailingAfterBytes, OldFileSurvivesByteForByteAndNoTemporaryFileIsLeft)
{
    const std::string old(29537, 'o');
    const std::string path = Old("scan.txt", old);
    auto file = OutputFile::Open(path);
    ASSERT_NE(file, nullptr);

    std::signal(SIGXFSZ, SIG_IGN); // a write beyond the limit fails with EFBIG instead
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limit = saved;
    limit.rlim_cur = GetParam();
    ::setrlimit(RLIMIT_FSIZE, &limit);
    bool failed = false;
    try {
        for (int i = 0; i < 40; ++i)
            file->Write(std::string(4096, 'n'));
        file->Commit();
    } catch (const FileError& error) {
        failed = true;
        EXPECT_NE(std::string(error.what()).find("scan.txt"), std::string::npos) << error.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    file.reset();

    EXPECT_TRUE(failed);
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_EQ(Names(dir_.path()), std::vector<std::string>{"scan.txt"});
}

INSTANTIATE_TEST_SUITE_P(Limits, FailingAfterBytes, ::testing::Values(0, 40960, 150000));

TEST_F(OutputFileTest, UncommittedFileIsRemovedAndTheOldOneKept)
{
    const std::string path = Old("kept.txt", "old");
    try {
        auto file = OutputFile::Open(path);
        file->Write("half a row");
        throw std::runtime_error("stopped");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(ReadFile(path), "old");
    EXPECT_EQ(Names(dir_.path()), std::vector<std::string>{"kept.txt"});
}

TEST_F(OutputFileTest, SymlinkTargetIsReplacedAndTheLinkKept)
{
    const std::string target = Old("target.txt", "old");
    const std::string link = dir_ / "link.txt";
    fs::create_symlink("target.txt", link);
    auto file = OutputFile::Open(link);
    ASSERT_NE(file, nullptr);
    file->Write("new");
    file->Commit();
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFile(target), "new");
}

TEST_F(OutputFileTest, TwoWritersLeaveOneCompleteFile)
{
    const std::string path = dir_ / "shared.txt";
    auto first = OutputFile::Open(path);
    auto second = OutputFile::Open(path);
    for (int i = 0; i < 1000; ++i) {
        first->Write("first row\n");
        second->Write("second row\n");
    }
    first->Commit();
    second->Commit();
    std::string expected;
    for (int i = 0; i < 1000; ++i)
        expected += "second row\n";
    EXPECT_EQ(ReadFile(path), expected);
    EXPECT_EQ(Names(dir_.path()), std::vector<std::string>{"shared.txt"});
}

TEST_F(OutputFileTest, FileThatMayNotBeWrittenIsRefusedAndKept)
{
    std::string path = Old("locked.txt", "keep me", fs::perms::owner_read);
    if (::geteuid() == 0) {
        path = "/sys/kernel/notes"; // root may write any file but this one
        if (!fs::exists(path))
            GTEST_SKIP() << "no file here that root cannot write";
    }
    const std::string before = ReadFile(path);
    std::string reason;
    EXPECT_EQ(OutputFile::Open(path, &reason), nullptr);
    EXPECT_EQ(reason, "Permission denied");
    EXPECT_EQ(ReadFile(path), before);
}

// Targets that are not regular files are written as they are, never removed.
TEST_F(OutputFileTest, DeviceIsWrittenDirectlyAndNotRemoved)
{
    auto file = OutputFile::Open("/dev/null");
    ASSERT_NE(file, nullptr);
    EXPECT_FALSE(file->replaces());
    file->Write("bytes");
    file->Commit();
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST_F(OutputFileTest, FullDeviceReportsTheFailureAndIsNotRemoved)
{
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    {
        auto file = OutputFile::Open("/dev/full");
        ASSERT_NE(file, nullptr);
        file->Write("fits in the buffer");
        EXPECT_THROW(file->Commit(), FileError);
    }
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

TEST_F(OutputFileTest, FifoIsWrittenDirectlyAndStays)
{
    const std::string path = dir_ / "pipe";
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    std::future<std::string> read = std::async(std::launch::async, [&] { return ReadFile(path); });
    {
        auto file = OutputFile::Open(path);
        ASSERT_NE(file, nullptr);
        EXPECT_FALSE(file->replaces());
        file->Write("through the pipe");
        file->Commit();
    }
    EXPECT_EQ(read.get(), "through the pipe");
    EXPECT_TRUE(fs::is_fifo(path));
}

// A descriptor the shell opened for appending (>>) is appended to, never
// emptied, whichever of the names of an open descriptor leads to it.
TEST_F(OutputFileTest, OpenDescriptorIsWrittenWhereItStands)
{
    const std::string path = Old("log.csv", "earlier\n");
    const int appending = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    ASSERT_GE(appending, 0);
    std::string expected = "earlier\n";
    for (const std::string& name :
         {"/dev/fd/" + std::to_string(appending), "/proc/self/fd/" + std::to_string(appending),
          "/proc/" + std::to_string(::getpid()) + "/fd/" + std::to_string(appending)}) {
        EXPECT_EQ(OutputFile::Check(name), std::nullopt) << name;
        auto file = OutputFile::Open(name);
        ASSERT_NE(file, nullptr) << name;
        EXPECT_FALSE(file->replaces());
        file->Write(name + "\n");
        file->Commit();
        expected += name + "\n";
        EXPECT_EQ(ReadFile(path), expected);
    }
    ::close(appending);
    EXPECT_EQ(Names(dir_.path()), std::vector<std::string>{"log.csv"});
}

TEST_F(OutputFileTest, FinishedFileReplacesTheOldOneOnlyWhenCommitted)
{
    const std::string path = Old("out.txt", "old");
    auto file = OutputFile::Open(path);
    ASSERT_NE(file, nullptr);
    file->Write("new");
    file->Finish();
    EXPECT_EQ(ReadFile(path), "old");
    EXPECT_THROW(file->Write("more"), FileError);
    file->Commit();
    EXPECT_EQ(ReadFile(path), "new");
    EXPECT_EQ(Names(dir_.path()), std::vector<std::string>{"out.txt"});
}

TEST_F(OutputFileTest, ReplacedFileKeepsItsExtendedAttributes)
{
    const std::string path = Old("tagged.txt", "old");
    if (::setxattr(path.c_str(), "user.origin", "lab7", 4, 0) != 0)
        GTEST_SKIP() << "the file system here has no user.* attributes: " << std::strerror(errno);
    ASSERT_EQ(::setxattr(path.c_str(), "user.empty", "", 0, 0), 0);
    auto file = OutputFile::Open(path);
    ASSERT_NE(file, nullptr);
    file->Write("new");
    file->Commit();
    char value[16] = {};
    EXPECT_EQ(::getxattr(path.c_str(), "user.origin", value, sizeof value), 4);
    EXPECT_STREQ(value, "lab7");
    EXPECT_EQ(::getxattr(path.c_str(), "user.empty", value, sizeof value), 0);
}

struct CheckCase {
    const char* name;
    std::string (*target)(const fs::path& dir); // made in dir; the path to check
    const char* reason;                         // nullptr: it can be written
};

class OutputFileCheck : public ::testing::TestWithParam<CheckCase> {};

// Found without writing anything, emptying anything or waiting for a reader.
TEST_P(OutputFileCheck, SaysWhetherTheTargetCanBeWritten)
{
    testing::TempDir dir;
    const std::string path = GetParam().target(dir.path());
    const std::vector<std::string> before = Names(dir.path());
    const std::optional<std::string> problem = OutputFile::Check(path);
    if (GetParam().reason == nullptr) {
        EXPECT_EQ(problem, std::nullopt) << *problem;
    } else {
        ASSERT_TRUE(problem.has_value());
        EXPECT_NE(problem->find(GetParam().reason), std::string::npos) << *problem;
    }
    EXPECT_EQ(Names(dir.path()), before) << "the check left a file";
    if (fs::is_regular_file(dir / "old.txt")) {
        EXPECT_EQ(ReadFile(dir / "old.txt"), "old");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Targets, OutputFileCheck,
    ::testing::Values(CheckCase{"NewFile", [](const fs::path& dir) { return (dir / "new.txt").string(); }, nullptr},
                      CheckCase{"ExistingFile",
                                [](const fs::path& dir) {
                                    std::ofstream(dir / "old.txt") << "old";
                                    return (dir / "old.txt").string();
                                },
                                nullptr},
                      CheckCase{"FifoWithoutReader",
                                [](const fs::path& dir) {
                                    ::mkfifo((dir / "pipe").c_str(), 0600);
                                    return (dir / "pipe").string();
                                },
                                nullptr},
                      CheckCase{"EmptyName", [](const fs::path&) { return std::string(); }, "the name is empty"},
                      CheckCase{"MissingFolder", [](const fs::path& dir) { return (dir / "none/new.txt").string(); },
                                "none' does not exist"},
                      CheckCase{"FileAsFolder",
                                [](const fs::path& dir) {
                                    std::ofstream(dir / "old.txt") << "old";
                                    return (dir / "old.txt/new.txt").string();
                                },
                                "Not a directory"},
                      CheckCase{"Folder", [](const fs::path& dir) { return dir.string(); }, "Is a directory"},
                      CheckCase{"NameEndingInSlash", [](const fs::path& dir) { return (dir / "new").string() + "/"; },
                                "ends in '/'"},
                      CheckCase{"NameTooLong",
                                [](const fs::path& dir) { return (dir / std::string(256, 'n')).string(); }, "too long"},
                      CheckCase{"ClosedDescriptor", [](const fs::path&) { return std::string("/dev/fd/987"); },
                                "Bad file descriptor"}),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace
} // namespace tamrisk
