// The platform file store: a save killed at any point leaves the old file or
// the complete new one, and nothing else.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <vector>

#include "history/file_store.h"
#include "temp_dir.h"

namespace trisk {
namespace {

std::vector<uint8_t> Pattern(size_t size, uint8_t seed) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>(seed + i * 31 + (i >> 12));
    return bytes;
}

TEST(FileStore, AKilledSaveLeavesTheOldFileOrTheNewOneAndNothingElse) {
    test::TTempDir dir;
    const std::string path = (dir / "game.kxr").string();
    const std::vector<uint8_t> before = Pattern(64 << 10, 1);
    const std::vector<uint8_t> after = Pattern(8 << 20, 2);
    TFileStore& files = PlatformFileStore();
    ASSERT_TRUE(files.WriteFileAtomically(path, before));
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);

    // How long a whole save takes, to spread the kills over it.
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(files.WriteFileAtomically(path, after));
    const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(
                           std::chrono::steady_clock::now() - start)
                           .count();
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u) << "a save keeps the permissions of the old file";

    int sawOld = 0;
    int sawNew = 0;
    constexpr int kKills = 16;
    for (int k = 0; k < kKills; ++k) {
        ASSERT_TRUE(files.WriteFileAtomically(path, before));
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            PlatformFileStore().WriteFileAtomically(path, after);
            ::_exit(0);
        }
        ::usleep(static_cast<useconds_t>(whole * (k + 1) / kKills));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);

        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
            names.push_back(entry.path().filename().string());
        ASSERT_EQ(names, std::vector<std::string>{"game.kxr"}) << "after kill " << k;
        std::vector<uint8_t> now;
        ASSERT_TRUE(files.ReadWholeFile(path, now));
        if (now == before) {
            ++sawOld;
        } else {
            ASSERT_TRUE(now == after) << "kill " << k << " left " << now.size() << " bytes";
            ++sawNew;
        }
    }
    // The kills fell both before and after the file was complete.
    EXPECT_GT(sawOld, 0);
    EXPECT_EQ(sawOld + sawNew, kKills);
}

TEST(FileStore, ReadsAWholeFileAndRefusesWhatIsNotOne) {
    test::TTempDir dir;
    const std::vector<uint8_t> bytes = Pattern(200000, 7);
    TFileStore& files = PlatformFileStore();
    ASSERT_TRUE(files.WriteFileAtomically((dir / "a.kxr").string(), bytes));
    std::vector<uint8_t> read;
    EXPECT_TRUE(files.ReadWholeFile((dir / "a.kxr").string(), read));
    EXPECT_TRUE(read == bytes);
    EXPECT_FALSE(files.ReadWholeFile((dir / "a.kxr").string(), read, bytes.size() - 1));
    EXPECT_FALSE(files.ReadWholeFile((dir / "missing.kxr").string(), read));
    EXPECT_FALSE(files.ReadWholeFile(dir.Path().string(), read));
    // A save into a folder that does not exist fails and creates nothing.
    EXPECT_FALSE(files.WriteFileAtomically((dir / "no/such/x.kxr").string(), bytes));
}

TEST(FileStore, ASaveReplacesOnlyRegularFilesAndLinksAndKeepsOnlyTheirPermissions) {
    test::TTempDir dir;
    TFileStore& files = PlatformFileStore();
    const std::vector<uint8_t> bytes = Pattern(1000, 3);
    struct stat info {};

    // A FIFO (as a device node would) stays what it is.
    const std::string fifo = (dir / "fifo.kxr").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(files.WriteFileAtomically(fifo, bytes));
    ASSERT_EQ(::lstat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));

    // A regular file keeps its permission bits, never a set-id bit.
    const std::string plain = (dir / "plain.kxr").string();
    ASSERT_TRUE(files.WriteFileAtomically(plain, bytes));
    ASSERT_EQ(::chmod(plain.c_str(), 06750), 0);
    ASSERT_TRUE(files.WriteFileAtomically(plain, bytes));
    ASSERT_EQ(::stat(plain.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0750u);

    // A link is replaced: its target keeps its bytes and its mode, which the
    // new file does not take.
    const std::string target = (dir / "target").string();
    ASSERT_TRUE(files.WriteFileAtomically(target, {1, 2, 3}));
    ASSERT_EQ(::chmod(target.c_str(), 04755), 0);
    const std::string link = (dir / "link.kxr").string();
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    ASSERT_TRUE(files.WriteFileAtomically(link, bytes));
    ASSERT_EQ(::lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_mode & 07000, 0u);
    std::vector<uint8_t> read;
    ASSERT_TRUE(files.ReadWholeFile(target, read));
    EXPECT_EQ(read, (std::vector<uint8_t>{1, 2, 3}));
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 04755u);
}

}  // namespace
}  // namespace trisk
