// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/ByteSink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <atomic>
#include <chrono>
#include <csignal>
#include <future>
#include <thread>

#include <fcntl.h>
#include <pthread.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace tamrisk {
namespace {

namespace fs = std::filesystem;

class FileSinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() /
               ("tamrisk-sink-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    static std::string Contents(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    fs::path dir_;
};

TEST_F(FileSinkTest, WritesBytesUnchangedAndEmptiesAnExistingFile)
{
    const fs::path path = dir_ / "out.txt";
    std::ofstream(path) << "old content that is longer than the new one";

    auto sink = FileSink::Open(path.string());
    ASSERT_NE(sink, nullptr);
    const std::string bytes("a\tb\n\0c\xE4", 7);
    sink->Write(bytes);
    sink->Close();
    EXPECT_EQ(Contents(path), bytes);
}

TEST_F(FileSinkTest, WritesMoreThanItsBuffer)
{
    const fs::path path = dir_ / "big.txt";
    auto sink = FileSink::Open(path.string());
    ASSERT_NE(sink, nullptr);
    std::string expected;
    for (int i = 0; i < 50000; ++i) {
        const std::string piece = std::to_string(i) + '\n';
        sink->Write(piece);
        expected += piece;
    }
    sink->Close();
    EXPECT_EQ(Contents(path), expected);
}

TEST_F(FileSinkTest, SmallWritesReachTheFileInLargeWrites)
{
    // A row at a time, as the scan writes: the file grows only by whole
    // buffers of many rows, never by the C library's 4 KiB blocks.
    const fs::path path = dir_ / "rows.txt";
    auto sink = FileSink::Open(path.string());
    ASSERT_NE(sink, nullptr);
    const std::string row(70, 'r');
    std::uintmax_t grownBy = 0;
    std::uintmax_t size = 0;
    for (int i = 0; i < 20000; ++i) {
        sink->Write(row);
        const std::uintmax_t now = fs::file_size(path);
        if (now != size)
            grownBy = grownBy == 0 ? now - size : std::min(grownBy, now - size);
        size = now;
    }
    EXPECT_GE(grownBy, 64u * 1024);
    sink->Close();
    EXPECT_EQ(fs::file_size(path), 20000u * 70);
}

TEST_F(FileSinkTest, DestructorClosesAndKeepsWhatWasWritten)
{
    const fs::path path = dir_ / "kept.txt";
    {
        auto sink = FileSink::Open(path.string());
        ASSERT_NE(sink, nullptr);
        sink->Write("partial");
    }
    EXPECT_EQ(Contents(path), "partial");
}

TEST_F(FileSinkTest, UnopenablePathsGiveNoSinkAndCreateNothing)
{
    struct Case {
        fs::path path;
        const char* reason;
    };
    const Case cases[] = {
        {dir_ / "missing" / "out.txt", "No such file or directory"},
        {dir_, "Is a directory"},
    };
    for (const Case& c : cases) {
        std::string reason;
        EXPECT_EQ(FileSink::Open(c.path.string(), &reason), nullptr) << c.path;
        EXPECT_EQ(reason, c.reason);
    }
    EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

// A file the user may not write keeps its content. Root ignores permission
// bits, so there a file that even root cannot open for writing stands in.
TEST_F(FileSinkTest, ReadOnlyFileIsRefusedAndKeepsItsContent)
{
    fs::path path = dir_ / "locked.txt";
    std::ofstream(path) << "keep me";
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    if (::geteuid() == 0) {
        path = "/sys/kernel/notes";
        if (!fs::exists(path))
            GTEST_SKIP() << "no file here that root cannot write";
    }
    const std::string before = Contents(path);
    std::string reason;
    EXPECT_EQ(FileSink::Open(path.string(), &reason), nullptr);
    EXPECT_EQ(reason, "Permission denied");
    EXPECT_EQ(Contents(path), before);
}

TEST(FileSinkFullDevice, CloseReportsTheFailedFlush)
{
    auto sink = FileSink::Open("/dev/full");
    ASSERT_NE(sink, nullptr);
    sink->Write("fits in the buffer");
    try {
        sink->Close();
        FAIL() << "Close succeeded on a full device";
    } catch (const FileError& error) {
        EXPECT_STREQ(error.what(), "/dev/full: No space left on device");
    }
    // Closing again is harmless and silent.
    EXPECT_NO_THROW(sink->Close());
}

TEST(FileSinkFullDevice, WriteBeyondTheBufferFails)
{
    auto sink = FileSink::Open("/dev/full");
    ASSERT_NE(sink, nullptr);
    EXPECT_THROW(sink->Write(std::string(256 * 1024, 'x')), FileError);
}

// A write into a pipe nobody reads, interrupted by a signal after part of
// its bytes went in, must end once a stop is asked rather than wait on.
TEST(FileSinkStop, PartlyDoneWriteToAStalledPipeEndsWhenAStopIsAsked)
{
    static std::atomic<bool> stop{false};
    stop = false;
    FileSink::SetStopCheck([] { return stop.load(); });
    struct sigaction action {
    }, previous{};
    action.sa_handler = [](int) {}; // no SA_RESTART: the signal ends the wait
    ::sigaction(SIGUSR1, &action, &previous);

    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    std::unique_ptr<FileSink> sink = FileSink::Duplicate(fds[1], "pipe");
    ::close(fds[1]);
    ASSERT_NE(sink, nullptr);
    std::promise<std::string> ended;
    std::future<std::string> end = ended.get_future();
    std::thread writer([&] {
        try {
            sink->Write(std::string(1 << 20, 'x')); // larger than the buffer: written at once
            ended.set_value("written");
        } catch (const FileError& error) {
            ended.set_value(error.what());
        }
    });
    // The pipe is full: the write has put part of its bytes in and waits.
    int queued = 0;
    for (int i = 0; i < 2000 && queued < 4096; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ::ioctl(fds[0], FIONREAD, &queued);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    stop = true;
    ::pthread_kill(writer.native_handle(), SIGUSR1);
    const bool endedInTime = end.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    if (!endedInTime) {
        // Let the stuck write finish, so that the test ends.
        std::string drain(1 << 16, '\0');
        while (end.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
            if (::read(fds[0], drain.data(), drain.size()) <= 0)
                break;
    }
    writer.join();
    ::close(fds[0]);
    sink->Abandon();
    FileSink::SetStopCheck(nullptr);
    ::sigaction(SIGUSR1, &previous, nullptr);
    ASSERT_TRUE(endedInTime) << "the write went on waiting for a reader";
    EXPECT_EQ(end.get(), "pipe: Interrupted system call");
}

TEST(FileSinkDuplicate, WritesWhereTheDescriptorStandsAndRefusesAReadOnlyOne)
{
    const fs::path path = fs::temp_directory_path() / ("tamrisk-sink-dup-" + std::to_string(::getpid()));
    std::ofstream(path) << "kept\n";
    const int appending = ::open(path.c_str(), O_WRONLY | O_APPEND);
    auto sink = FileSink::Duplicate(appending, "log");
    ASSERT_NE(sink, nullptr);
    sink->Write("added\n");
    sink->Close();
    EXPECT_GE(::fcntl(appending, F_GETFD), 0) << "the descriptor itself stays open";
    ::close(appending);
    std::ifstream in(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "kept\nadded\n");

    const int reading = ::open(path.c_str(), O_RDONLY);
    std::string reason;
    EXPECT_EQ(FileSink::Duplicate(reading, "log", &reason), nullptr);
    EXPECT_EQ(reason, "Bad file descriptor");
    ::close(reading);
    fs::remove(path);
}

TEST(PieceWriterTest, EveryPieceIsFollowedByOneNul)
{
    StringSink sink;
    PieceWriter writer(sink);
    writer.Piece("Tiefe\t");
    writer.Piece("");
    writer.Piece("1,0\n");
    EXPECT_EQ(sink.data(), std::string("Tiefe\t\0\0"
                                       "1,0\n\0",
                                       13));
}

} // namespace
} // namespace tamrisk
