#include "platform/safe_save.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>

#include "platform/file_io.h"
#include "support/fixtures.h"

namespace pelt {
namespace {

namespace fs = std::filesystem;

// A replaced file keeps its mode and its other hard links; what a direct
// write could not open is refused with the same error and left as it was.
// The closed folder is tried as an ordinary user (root ignores permissions).
TEST(SafeSave, KeepsLinksAndModeAndRefusesWhatADirectWriteWould) {
  test::TempDir dir;
  const std::string real = dir.write("real.pcx", {1});
  ::chmod(real.c_str(), 0640);
  // A file of one name is replaced by a new one; one with two is rewritten.
  auto inode = [](const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : ino_t{0};
  };
  ino_t was = inode(real);
  ASSERT_EQ(writeFileAtomically(real, {3}), 0);
  EXPECT_NE(inode(real), was);
  EXPECT_EQ(fs::status(real).permissions(), fs::perms(0640));
  fs::create_hard_link(real, dir.file("hard.pcx"));
  was = inode(real);
  ASSERT_EQ(writeFileAtomically(real, {2}), 0);
  EXPECT_EQ(inode(real), was);
  EXPECT_EQ(readWholeFile(dir.file("hard.pcx")).bytes, Bytes{2});
  EXPECT_EQ(fs::status(real).permissions(), fs::perms(0640));
  EXPECT_EQ(writeFileAtomically(dir.path(), {1}), EISDIR);
  fs::create_symlink("loop", dir.file("loop"));
  EXPECT_EQ(writeFileAtomically(dir.file("loop"), {1}), ELOOP);

  const std::string readOnly = dir.write("closed/read-only.pcx", {1, 2});
  const std::string writable = dir.write("closed/writable.pcx", {1, 2});
  ::chmod(dir.path().c_str(), 0755);
  ::chmod(readOnly.c_str(), 0444);
  ::chmod(writable.c_str(), 0666);
  ::chmod(dir.file("closed").c_str(), ::geteuid() == 0 ? 0755 : 0555);
  auto asUser = [](const std::string& path) {
    const pid_t child = ::fork();
    if (child == 0) {
      constexpr uid_t kNobody = 65534;
      if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) ::_exit(255);
      ::_exit(writeFileAtomically(path, {9}));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  EXPECT_EQ(asUser(readOnly), EACCES);
  EXPECT_EQ(asUser(writable), 0);
  EXPECT_EQ(asUser(dir.file("closed/new.pcx")), EACCES);
  ::chmod(dir.file("closed").c_str(), 0755);
  EXPECT_EQ(readWholeFile(readOnly).bytes, (Bytes{1, 2}));
  EXPECT_EQ(readWholeFile(writable).bytes, Bytes{9});
}

// Fails the step a case names: the disk holds only `room` more bytes, the
// reservation fails, new files in a closed folder are refused, opening the
// file itself fails, or the rewrite in place stops half-way (with an error,
// or killed).
struct Faults {
  long room = -1;
  int reserveError = 0;
  bool closedFolder = false;
  int openError = 0;
  int rewriteError = 0;  // SIGKILL: the process dies there
};

class FaultySystem : public SaveSystem {
 public:
  FaultySystem(Faults faults, std::string folder) : f_(faults), folder_(std::move(folder)) {}
  int open(const std::string& path, int flags, mode_t mode) override {
    const bool create = (flags & O_CREAT) != 0;
    errno = create ? EACCES : f_.openError;
    if (create ? f_.closedFolder && path.starts_with(folder_) : f_.openError != 0) return -1;
    const int fd = SaveSystem::open(path, flags, mode);
    inPlace_ = create ? -1 : fd;  // descriptors are reused
    return fd;
  }
  ssize_t pwrite(int fd, const void* data, size_t size, off_t offset) override {
    if (fd == inPlace_ && offset == 0 && f_.rewriteError != 0) {
      SaveSystem::pwrite(fd, data, size / 2, offset);
      if (f_.rewriteError == SIGKILL) ::raise(SIGKILL);
      errno = f_.rewriteError;
      return -1;
    }
    if (f_.room >= 0) size = std::min(size, static_cast<size_t>(f_.room));
    errno = ENOSPC;
    const ssize_t n = size == 0 ? -1 : SaveSystem::pwrite(fd, data, size, offset);
    if (n > 0 && f_.room >= 0) f_.room -= n;
    return n;
  }
  int reserve(int fd, off_t length) override {
    return f_.reserveError != 0 ? f_.reserveError : SaveSystem::reserve(fd, length);
  }

 private:
  Faults f_;
  std::string folder_;
  int inPlace_ = -1;
};

// A file with a second name (or in a folder that takes no new files) on a
// disk that cannot hold its new contents is never changed; a rewrite that
// stops (refused, failed half-way, killed) leaves the complete new contents
// under a name after the file, which the next save removes.
TEST(SafeSave, FaultsInTheRewriteInPlaceNeverLoseBothContents) {
  const Bytes before(1000, 'a'), after(3000, 'b');
  enum Copy { kNone, kBeside, kInTemp };
  const struct {
    const char* what;
    Faults faults;
    int error;
    bool oldKept;
    Copy copy;
  } cases[] = {
      {"disk full at the reservation", {.reserveError = ENOSPC}, ENOSPC, true, kBeside},
      {"no reservation, no room for the tail", {3500, EOPNOTSUPP}, ENOSPC, true, kBeside},
      {"closed folder, disk full", {-1, ENOSPC, true}, ENOSPC, true, kInTemp},
      {"read-only file system", {.openError = EROFS}, EROFS, true, kNone},
      {"write error half-way", {.rewriteError = EIO}, EIO, false, kBeside},
      {"killed half-way", {.rewriteError = SIGKILL}, 0, false, kBeside},
      {"closed folder, killed half-way", {-1, 0, true, 0, SIGKILL}, 0, false, kInTemp},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test::TempDir dir;
    const std::string target = dir.write("skin.pcx", before), other = dir.file("other.pcx");
    fs::create_hard_link(target, other);
    FaultySystem faults(c.faults, dir.path() + "/");
    SaveResult result;
    if (c.faults.rewriteError == SIGKILL) {
      const pid_t child = ::fork();
      if (child == 0) ::_exit(saveFile(target, after, faults).error);
      int status = 0;
      ::waitpid(child, &status, 0);
      ASSERT_TRUE(WIFSIGNALED(status));
    } else {
      result = saveFile(target, after, faults);
    }
    EXPECT_EQ(result.error, c.error);
    const std::string beside = keptCopyPath(target), inTemp = keptCopyPath(target, false);
    EXPECT_EQ(fs::exists(beside), c.copy == kBeside);
    EXPECT_EQ(fs::exists(inTemp), c.copy == kInTemp);
    EXPECT_FALSE(fs::exists(dir.file(".skin.pcx.pelt-new")));
    EXPECT_EQ(readWholeFile(other).bytes == before, c.oldKept);
    EXPECT_TRUE(c.copy == kNone ||
                readWholeFile(c.copy == kBeside ? beside : inTemp).bytes == after);
    EXPECT_TRUE(c.error != EIO || saveErrorMessage(target, result) ==
                                      "Error Saving: 5\n" + target + ": Input/output error\n" +
                                          "The complete new file was kept as " + beside);
    EXPECT_TRUE(c.error != EROFS ||
                saveErrorMessage("/games/baseq2/skin.pcx", result) ==
                    "Error Saving: 30\n/games/baseq2/skin.pcx: Read-only file system");

    ASSERT_TRUE(saveFile(target, after).ok());
    EXPECT_EQ(readWholeFile(other).bytes, after);
    EXPECT_FALSE(fs::exists(beside) || fs::exists(inTemp));
  }
}

}  // namespace
}  // namespace pelt
