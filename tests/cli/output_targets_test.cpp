// SPDX-License-Identifier: GPL-3.0-or-later
// What the tool does to the file each kind of target names: a stream opened
// for appending is appended to, a link's target is replaced and the link
// kept, a replaced file keeps its ACL and extended attributes, and a target
// that cannot be written (a sticky or read-only folder, an empty or too long
// name, a clash) is refused before any work, old files untouched.
#include "cli/ToolProcess.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace tamrisk {
namespace {

namespace fs = std::filesystem;
using namespace testing;

// A shell command's exit status and standard output.
std::pair<int, std::string> Shell(const std::string& command)
{
    std::string out;
    FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr)
        return {-1, out};
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, got);
    const int status = ::pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

// A sweep of 10^8 rows: minutes of work, so a refusal that comes quickly came first.
const std::vector<std::string> kLongSweep = {"sweep", "--vary", "dose-rate=0:2:9999", "--vary", "rate1=0.01:1:9999"};
const std::vector<std::string> kShortSweep = {"sweep", "--vary", "dose-rate=0:2:99", "--shard", "2/4"};

std::vector<std::string> Plus(std::vector<std::string> args, const std::vector<std::string>& more)
{
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

struct TargetCase {
    const char* name;
    // Prepares the folder; a reason when this system cannot have the case.
    std::function<std::string(const fs::path& dir)> setup;
    std::vector<std::string> args;
    int exitCode;
    const char* message; // in standard error; "" for none
    // What the files must be afterwards.
    std::function<void(const fs::path& dir)> check;
    bool asOtherUser = false;          // run as nobody when the test runs as root
    const char* appendedOut = nullptr; // standard output: this file, opened for appending
};

void PrintTo(const TargetCase& c, std::ostream* os) { *os << c.name; }

std::string Old(const fs::path& path, const std::string& content = "old")
{
    std::ofstream(path, std::ios::binary) << content;
    return {};
}

// A folder of the user the tool runs as, which it may not create files in;
// the test's folder beside it takes new files.
std::string ReadOnlyFolder(const fs::path& dir)
{
    if (::geteuid() == 0 && !OtherUser())
        return "root writes into any folder, and there is no user nobody to run as";
    fs::create_directory(dir / "locked");
    fs::permissions(dir, fs::perms::all);
    if (const auto other = OtherUser()) {
        EXPECT_EQ(::chown((dir / "locked").c_str(), other->first, other->second), 0);
    }
    fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                        fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    return "";
}

void Unchanged(const fs::path& path, const std::string& content = "old") { EXPECT_EQ(ReadFile(path), content) << path; }

const std::string kAppended = "earlier line\n";

void AppendedShard(const fs::path& dir)
{
    const std::string log = ReadFile(dir / "log.csv");
    EXPECT_TRUE(log.starts_with(kAppended)) << log.substr(0, 40);
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1 + 25) << "the second of four blocks of 100 rows";
}

const TargetCase kCases[] = {
    {"AppendedThroughDash", [](const fs::path& dir) { return Old(dir / "log.csv", kAppended); },
     Plus(kShortSweep, {"-o", "-"}), 0, "", AppendedShard, false, "log.csv"},
    {"AppendedThroughDevStdout", [](const fs::path& dir) { return Old(dir / "log.csv", kAppended); },
     Plus(kShortSweep, {"-o", "/dev/stdout"}), 0, "", AppendedShard, false, "log.csv"},
    {"AppendedThroughDevFd", [](const fs::path& dir) { return Old(dir / "log.csv", kAppended); },
     Plus(kShortSweep, {"-o", "/dev/fd/1"}), 0, "", AppendedShard, false, "log.csv"},
    {"AppendedThroughProcSelfFd", [](const fs::path& dir) { return Old(dir / "log.csv", kAppended); },
     Plus(kShortSweep, {"-o", "/proc/self/fd/1"}), 0, "", AppendedShard, false, "log.csv"},
    {"SymlinkKeptItsTargetReplaced",
     [](const fs::path& dir) {
         fs::create_directory(dir / "data");
         fs::create_symlink("data/real.csv", dir / "link.csv");
         return Old(dir / "data/real.csv");
     },
     {"export", "-o", "link.csv"},
     0,
     "",
     [](const fs::path& dir) {
         EXPECT_TRUE(fs::is_symlink(dir / "link.csv"));
         EXPECT_TRUE(ReadFile(dir / "data/real.csv").starts_with("depth_mm,"));
     }},
    {"AccessControlListKept",
     [](const fs::path& dir) -> std::string {
         Old(dir / "shared.csv");
         fs::permissions(dir / "shared.csv", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
         if (Shell("setfacl -m u:nobody:rw,g::r " + Quoted(dir / "shared.csv")).first != 0)
             return "setfacl is missing or the file system has no ACLs";
         Shell("getfacl -c " + Quoted(dir / "shared.csv") + " > " + Quoted(dir / "acl.before"));
         return "";
     },
     {"export", "-o", "shared.csv"},
     0,
     "",
     [](const fs::path& dir) {
         EXPECT_TRUE(ReadFile(dir / "shared.csv").starts_with("depth_mm,"));
         const std::string after = Shell("getfacl -c " + Quoted(dir / "shared.csv")).second;
         EXPECT_EQ(after, ReadFile(dir / "acl.before")) << "the group must not gain the mask's write access";
         EXPECT_NE(after.find("user:nobody:rw-"), std::string::npos) << after;
     }},
    {"ExtendedAttributesKept",
     [](const fs::path& dir) -> std::string {
         Old(dir / "tagged.csv");
         if (Shell("setfattr -n user.origin -v lab7 " + Quoted(dir / "tagged.csv")).first != 0 ||
             Shell("setfattr -n user.empty " + Quoted(dir / "tagged.csv")).first != 0)
             return "setfattr is missing or the file system has no user.* attributes";
         return "";
     },
     {"export", "-o", "tagged.csv"},
     0,
     "",
     [](const fs::path& dir) {
         EXPECT_TRUE(ReadFile(dir / "tagged.csv").starts_with("depth_mm,"));
         EXPECT_EQ(Shell("getfattr --only-values -n user.origin " + Quoted(dir / "tagged.csv")).second, "lab7");
         EXPECT_EQ(Shell("getfattr -n user.empty " + Quoted(dir / "tagged.csv")).first, 0);
     }},
    {"StickyFolderOfAnotherUsersFile",
     [](const fs::path& dir) -> std::string {
         if (!OtherUser())
             return "a file of another user needs the test to run as root";
         fs::create_directory(dir / "shared");
         fs::permissions(dir / "shared", fs::perms::all | fs::perms::sticky_bit);
         Old(dir / "shared/theirs.csv");
         fs::permissions(dir / "shared/theirs.csv", fs::perms::owner_read | fs::perms::owner_write |
                                                        fs::perms::group_read | fs::perms::group_write |
                                                        fs::perms::others_read | fs::perms::others_write);
         return "";
     },
     Plus(kLongSweep, {"-o", "shared/theirs.csv"}), 1, "is sticky and the file belongs to another user",
     [](const fs::path& dir) {
         Unchanged(dir / "shared/theirs.csv");
         EXPECT_EQ(std::distance(fs::directory_iterator(dir / "shared"), fs::directory_iterator()), 1);
     },
     true},
    {"ReadOnlyFolder", ReadOnlyFolder, Plus(kLongSweep, {"-o", "locked/new.csv"}), 1,
     "'locked' does not let us create files", [](const fs::path& dir) { EXPECT_TRUE(fs::is_empty(dir / "locked")); },
     true},
    {"ReadOnlyFolderOfTheRecord", ReadOnlyFolder, Plus(kLongSweep, {"-o", "table.csv", "--record", "locked/run.json"}),
     1, "'locked' does not let us create files",
     [](const fs::path& dir) {
         EXPECT_TRUE(fs::is_empty(dir / "locked"));
         EXPECT_FALSE(fs::exists(dir / "table.csv"));
     },
     true},
    {"MissingFolder", [](const fs::path&) { return std::string(); }, Plus(kLongSweep, {"-o", "none/new.csv"}), 1,
     "the folder 'none' does not exist", [](const fs::path& dir) { EXPECT_FALSE(fs::exists(dir / "none")); }},
    {"EmptyName", [](const fs::path&) { return std::string(); }, Plus(kLongSweep, {"-o", ""}), 2, "the name is empty",
     [](const fs::path&) {}},
    {"EmptyRecordName", [](const fs::path& dir) { return Old(dir / "table.csv"); },
     Plus(kLongSweep, {"-o", "table.csv", "--record", ""}), 2, "the name is empty",
     [](const fs::path& dir) { Unchanged(dir / "table.csv"); }},
    {"EmptyPictureName",
     [](const fs::path& dir) { return Old(dir / "signal.png"); },
     {"render", "--depth-picture", "", "--signal-picture", "signal.png"},
     2,
     "the name is empty",
     [](const fs::path& dir) { Unchanged(dir / "signal.png"); }},
    {"NameLongerThanTheFileSystemAllows", [](const fs::path&) { return std::string(); },
     Plus(kLongSweep, {"-o", std::string(256, 'n')}), 1, "too long", [](const fs::path&) {}},
    {"LongestNameHasRoomForItsTemporaryFile",
     [](const fs::path& dir) { return Old(dir / std::string(255, 'n')); },
     {"export", "-o", std::string(255, 'n')},
     0,
     "",
     [](const fs::path& dir) { EXPECT_NE(ReadFile(dir / std::string(255, 'n')), "old"); }},
    {"NameEndingInSlash", [](const fs::path&) { return std::string(); }, Plus(kLongSweep, {"-o", "new/"}), 1,
     "ends in '/'", [](const fs::path& dir) { EXPECT_FALSE(fs::exists(dir / "new")); }},
    {"OutputAndRecordOneFileThroughALink",
     [](const fs::path& dir) {
         fs::create_symlink("data.csv", dir / "link.csv");
         return Old(dir / "data.csv");
     },
     Plus(kLongSweep, {"-o", "link.csv", "--record", "data.csv"}), 2, "both name",
     [](const fs::path& dir) { Unchanged(dir / "data.csv"); }},
};

class OutputTargets : public ::testing::TestWithParam<TargetCase> {};

TEST_P(OutputTargets, WrittenAsTheTargetAsksOrRefusedBeforeAnyWork)
{
    const TargetCase& c = GetParam();
    TempDir dir;
    if (const std::string skip = c.setup(dir.path()); !skip.empty())
        GTEST_SKIP() << skip;

    ToolLaunch launch;
    launch.args = c.args;
    launch.folder = dir.path().string();
    launch.err = dir / ".stderr";
    if (c.appendedOut != nullptr)
        launch.out = ::open((dir / c.appendedOut).c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (const auto other = OtherUser(); other && c.asOtherUser) {
        launch.user = other->first;
        launch.group = other->second;
    }
    const ToolEnd end = WaitForTool(StartTool(launch), std::chrono::seconds(20));
    if (launch.out >= 0)
        ::close(launch.out);
    const std::string err = ReadFile(dir / ".stderr");
    ::unlink((dir / ".stderr").c_str());

    ASSERT_FALSE(end.timedOut) << "the refusal came only after the work";
    EXPECT_EQ(end.exitCode, c.exitCode) << err;
    if (*c.message != '\0') {
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
    }
    c.check(dir.path());
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(dir.path()))
        EXPECT_FALSE(entry.path().filename().string().ends_with(".tmp")) << entry.path();
}

INSTANTIATE_TEST_SUITE_P(Targets, OutputTargets, ::testing::ValuesIn(kCases),
                         [](const auto& param) { return std::string(param.param.name); });

} // namespace
} // namespace tamrisk
