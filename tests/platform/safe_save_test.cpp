#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>

#include "platform/file_io.h"
#include "platform/safe_save.h"
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
  fs::create_hard_link(real, dir.file("hard.pcx"));
  ASSERT_EQ(writeFileAtomically(real, {2}), 0);
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
// reservation fails, new files in `closedFolder` are refused, opening the
// file itself fails, or the rewrite in place stops half-way (with an error,
// or killed).
class FaultySystem : public SaveSystem {
 public:
  long room = -1;
  int reserveError = 0;
  std::string closedFolder;
  int openError = 0;
  int rewriteError = 0;  // SIGKILL: the process dies there

  int open(const std::string& path, int flags, mode_t mode) override {
    const bool create = (flags & O_CREAT) != 0;
    if ((create && !closedFolder.empty() && path.starts_with(closedFolder)) ||
        (!create && openError != 0)) {
      errno = create ? EACCES : openError;
      return -1;
    }
    const int fd = SaveSystem::open(path, flags, mode);
    inPlace_ = create ? -1 : fd;  // descriptors are reused
    return fd;
  }
  ssize_t pwrite(int fd, const void* data, size_t size, off_t offset) override {
    if (fd == inPlace_ && offset == 0 && rewriteError != 0) {
      SaveSystem::pwrite(fd, data, size / 2, offset);
      if (rewriteError == SIGKILL) ::raise(SIGKILL);
      errno = rewriteError;
      return -1;
    }
    if (room >= 0 && static_cast<long>(size) > room) size = static_cast<size_t>(room);
    if (size == 0) {
      errno = ENOSPC;
      return -1;
    }
    const ssize_t n = SaveSystem::pwrite(fd, data, size, offset);
    if (n > 0 && room >= 0) room -= n;
    return n;
  }
  int reserve(int fd, off_t length) override {
    return reserveError != 0 ? reserveError : SaveSystem::reserve(fd, length);
  }

 private:
  int inPlace_ = -1;
};

// A file with a second name (or in a folder that takes no new files) on a
// disk that cannot hold its new contents is never changed; a rewrite that
// stops half-way (an error, a kill) leaves the complete new contents under a
// name after the file, which the next save removes.
TEST(SafeSave, FaultsInTheRewriteInPlaceNeverLoseBothContents) {
  const Bytes before(1000, 'a'), after(3000, 'b');
  enum Expect { kOldKept, kCopyBeside, kCopyInTemp };
  struct Case {
    const char* what;
    bool closedFolder;
    long room;
    int reserveError, openError, rewriteError;
    int error;
    Expect expect;
  } cases[] = {
      {"disk full at the reservation", false, -1, ENOSPC, 0, 0, ENOSPC, kOldKept},
      {"no reservation, the tail does not fit", false, 3500, EOPNOTSUPP, 0, 0, ENOSPC, kOldKept},
      {"closed folder, disk full", true, -1, ENOSPC, 0, 0, ENOSPC, kOldKept},
      {"read-only file system", false, -1, 0, EROFS, 0, EROFS, kOldKept},
      {"write error half-way", false, -1, 0, 0, EIO, EIO, kCopyBeside},
      {"killed half-way", false, -1, 0, 0, SIGKILL, 0, kCopyBeside},
      {"closed folder, killed half-way", true, -1, 0, 0, SIGKILL, 0, kCopyInTemp},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::TempDir dir;
    const std::string target = dir.write("skin.pcx", before);
    fs::create_hard_link(target, dir.file("other.pcx"));
    FaultySystem faults;
    faults.room = c.room;
    faults.reserveError = c.reserveError;
    faults.openError = c.openError;
    faults.rewriteError = c.rewriteError;
    if (c.closedFolder) faults.closedFolder = dir.path() + "/";
    SaveResult result;
    if (c.rewriteError == SIGKILL) {
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
    EXPECT_EQ(fs::exists(beside), c.expect == kCopyBeside);
    EXPECT_EQ(fs::exists(inTemp), c.expect == kCopyInTemp);
    EXPECT_FALSE(fs::exists(dir.file(".skin.pcx.pelt-new")));
    if (c.expect == kOldKept) {
      EXPECT_EQ(readWholeFile(dir.file("other.pcx")).bytes, before);
    } else {
      EXPECT_EQ(readWholeFile(c.expect == kCopyBeside ? beside : inTemp).bytes, after);
      EXPECT_NE(readWholeFile(dir.file("other.pcx")).bytes, after);
    }
    if (c.error == EROFS) {
      EXPECT_EQ(saveErrorMessage("/games/baseq2/skin.pcx", result),
                "Error Saving: 30\n/games/baseq2/skin.pcx: Read-only file system");
    }
    if (c.error == EIO) {
      EXPECT_EQ(saveErrorMessage(target, result),
                "Error Saving: 5\n" + target + ": Input/output error\n" +
                    "The complete new file was kept as " + beside);
    }

    ASSERT_TRUE(saveFile(target, after).ok());
    EXPECT_EQ(readWholeFile(dir.file("other.pcx")).bytes, after);
    EXPECT_FALSE(fs::exists(beside) || fs::exists(inTemp));
  }
}

}  // namespace
}  // namespace pelt
