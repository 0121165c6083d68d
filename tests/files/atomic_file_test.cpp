// Safe writes: a failed write leaves the target as it was and no temporary
// file behind; a link is followed and kept; modes are kept.
#include "host/files/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "temp_dir.h"

namespace qualty {
namespace {

namespace fs = std::filesystem;

using testing::slurp;
using testing::TempDir;

size_t entries(const fs::path& dir) {
  size_t n = 0;
  for (const auto& e : fs::directory_iterator(dir)) n += e.path().empty() ? 0 : 1;
  return n;
}

TEST(AtomicFile, ReplacesWholeAndKeepsTheMode) {
  const TempDir tmp("atomic-replace");
  const fs::path& dir = tmp.path();
  const fs::path file = dir / "out.csv";
  std::ofstream(file) << "old";
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  std::string error;
  ASSERT_TRUE(write_file_atomically(file.string(), "new contents", error)) << error;
  EXPECT_EQ(slurp(file), "new contents");
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(entries(dir), 1u) << "no temporary file left";
}

// The writer opened the target with "wb" and then wrote: a write that failed
// half-way (here a file-size limit) left a truncated file.
TEST(AtomicFile, FileSizeLimitLeavesTheTargetUntouched) {
  const TempDir tmp("atomic-limit");
  const fs::path& dir = tmp.path();
  const fs::path file = dir / "sheet.csv";
  std::ofstream(file) << "the user's data";
  // In a child: the limit must not reach this test process.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{1024, 1024};
    setrlimit(RLIMIT_FSIZE, &limit);
    std::string error;
    const bool ok = write_file_atomically(file.string(), std::string(5000, 'x'), error);
    _exit(!ok && error.find("cannot write") == 0 ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the write must report failure";
  EXPECT_EQ(slurp(file), "the user's data");
  EXPECT_EQ(entries(dir), 1u) << "the temporary file is removed";
}

TEST(AtomicFile, FollowsALinkAndKeepsIt) {
  const TempDir tmp("atomic-link");
  const fs::path& dir = tmp.path();
  fs::create_directories(dir / "real");
  std::ofstream(dir / "real" / "data.csv") << "old";
  fs::create_symlink("real/data.csv", dir / "link.csv");
  std::string error;
  ASSERT_TRUE(write_file_atomically((dir / "link.csv").string(), "new", error)) << error;
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "link.csv")));
  EXPECT_EQ(slurp(dir / "real" / "data.csv"), "new");
  EXPECT_TRUE(same_file((dir / "link.csv").string(), (dir / "real/../real/data.csv").string()));
}

TEST(AtomicFile, RefusesWhatIsNoRegularFileOrFolder) {
  const TempDir tmp("atomic-refuse");
  const fs::path& dir = tmp.path();
  std::string error;
  EXPECT_FALSE(write_file_atomically(dir.string(), "x", error)) << "a folder";
  EXPECT_FALSE(write_file_atomically((dir / "missing" / "f.txt").string(), "x", error));
  EXPECT_NE(error.find("missing"), std::string::npos) << error;
  EXPECT_EQ(entries(dir), 0u);
}

TEST(AtomicFile, SameFileComparesIdentityNotSpelling) {
  const TempDir tmp("atomic-same");
  const fs::path& dir = tmp.path();
  std::ofstream(dir / "a.csv") << "1";
  std::ofstream(dir / "b.csv") << "1";
  fs::create_hard_link(dir / "a.csv", dir / "hard.csv");
  EXPECT_TRUE(same_file((dir / "a.csv").string(), (dir / "." / "a.csv").string()));
  EXPECT_TRUE(same_file((dir / "a.csv").string(), (dir / "hard.csv").string()));
  EXPECT_FALSE(same_file((dir / "a.csv").string(), (dir / "b.csv").string())) << "same contents";
  EXPECT_FALSE(same_file((dir / "a.csv").string(), (dir / "none.csv").string()));
}

}  // namespace
}  // namespace qualty
