#include "platform/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "support/fixtures.h"

namespace pelt {
namespace {

namespace fs = std::filesystem;

// Saves through links (absolute, relative, chained, dangling) replace the
// file they name; mode and other hard links stay; long names still save.
TEST(SafeSave, ReplacesWhatTheUserMeant) {
  test::TempDir dir;
  std::string real = dir.write("skins/real.pcx", {1});
  ::chmod(real.c_str(), 0640);
  fs::create_hard_link(real, dir.file("hard.pcx"));
  fs::create_symlink(real, dir.file("absolute.pcx"));
  fs::create_symlink("skins/real.pcx", dir.file("relative.pcx"));
  fs::create_symlink("relative.pcx", dir.file("chained.pcx"));
  fs::create_symlink("skins/later.pcx", dir.file("dangling.pcx"));
  std::uint8_t value = 10;
  for (const char* name : {"absolute.pcx", "relative.pcx", "chained.pcx", "dangling.pcx"}) {
    ASSERT_EQ(writeFileAtomically(dir.file(name), {++value}), 0) << name;
    EXPECT_TRUE(fs::is_symlink(dir.file(name))) << name;
  }
  EXPECT_EQ(readWholeFile(dir.file("hard.pcx")).bytes, Bytes{13});
  EXPECT_EQ(readWholeFile(dir.file("skins/later.pcx")).bytes, Bytes{14});
  EXPECT_EQ(fs::status(real).permissions(), fs::perms(0640));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.file("skins")), {}), 2);  // no temporaries

  EXPECT_EQ(writeFileAtomically(dir.file(std::string(251, 'n') + ".pcx"), {4}), 0);
  EXPECT_EQ(writeFileAtomically(dir.path(), {1}), EISDIR);
  EXPECT_NE(writeFileAtomically(dir.file("missing/f.bin"), {1}), 0);
  fs::create_symlink("loop", dir.file("loop"));
  EXPECT_EQ(writeFileAtomically(dir.file("loop"), {1}), ELOOP);
}

// As an ordinary user (root ignores permission bits) in a folder closed to
// that user: a read-only file is refused with EACCES and kept, a writable
// one is written in place, a new one cannot be created.
TEST(SafeSave, RefusesWhatADirectWriteWouldRefuse) {
  test::TempDir dir;
  std::string readOnly = dir.write("read-only.pcx", {1, 2});
  std::string writable = dir.write("writable.pcx", {1, 2});
  ::chmod(readOnly.c_str(), 0444);
  ::chmod(writable.c_str(), 0666);
  ::chmod(dir.path().c_str(), ::geteuid() == 0 ? 0755 : 0555);
  auto asUser = [](const std::string& path) {
    pid_t child = ::fork();
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
  EXPECT_EQ(asUser(dir.file("new.pcx")), EACCES);
  ::chmod(dir.path().c_str(), 0755);
  EXPECT_EQ(readWholeFile(readOnly).bytes, (Bytes{1, 2}));
  EXPECT_EQ(readWholeFile(writable).bytes, Bytes{9});
}

// Folders, FIFOs and devices are refused at once, never waited on; a file
// far larger than anything the program reads is refused unread.
TEST(FileIo, ReadsRefuseWhatCannotBeAFile) {
  test::TempDir dir;
  const std::string path = dir.write("f.bin", {1, 2});
  EXPECT_EQ(fileSize(path), 2);
  ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
  EXPECT_EQ(readWholeFile(dir.file("fifo")).error, ENODEV);
  EXPECT_EQ(readWholeFile("/dev/zero").error, ENODEV);
  EXPECT_EQ(readWholeFile(dir.path()).error, EISDIR);
  EXPECT_EQ(readWholeFile(dir.file("nothing")).error, ENOENT);
  fs::resize_file(path, kMaxReadableFileSize + 1);
  EXPECT_EQ(readWholeFile(path).error, EFBIG);
}

}  // namespace
}  // namespace pelt
