#include "platform/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "support/fixtures.h"

namespace pelt {
namespace {

namespace fs = std::filesystem;

mode_t modeOf(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

// Every save goes through a link to the file it names: absolute, relative,
// chained, or dangling (then the named file is created).
TEST(SafeSave, FollowsSymbolicLinksToTheRealFile) {
  test::TempDir dir;
  std::string real = dir.write("skins/real.pcx", {1, 2, 3});
  fs::create_symlink(real, dir.file("absolute.pcx"));
  fs::create_symlink("skins/real.pcx", dir.file("relative.pcx"));
  fs::create_symlink("relative.pcx", dir.file("chained.pcx"));
  fs::create_symlink("skins/later.pcx", dir.file("dangling.pcx"));
  std::uint8_t value = 10;
  for (const char* link : {"absolute.pcx", "relative.pcx", "chained.pcx"}) {
    ASSERT_EQ(writeFileAtomically(dir.file(link), {value}), 0) << link;
    EXPECT_TRUE(fs::is_symlink(dir.file(link))) << link;
    EXPECT_EQ(readWholeFile(real).bytes, Bytes{value}) << link;
    ++value;
  }
  ASSERT_EQ(writeFileAtomically(dir.file("dangling.pcx"), {7}), 0);
  EXPECT_TRUE(fs::is_symlink(dir.file("dangling.pcx")));
  EXPECT_EQ(readWholeFile(dir.file("skins/later.pcx")).bytes, Bytes{7});

  fs::create_symlink("loop-b", dir.file("loop-a"));
  fs::create_symlink("loop-a", dir.file("loop-b"));
  EXPECT_EQ(writeFileAtomically(dir.file("loop-a"), {1}), ELOOP);
}

TEST(SafeSave, KeepsModeHardLinksAndLongNames) {
  test::TempDir dir;
  std::string path = dir.write("shared.pcx", {1});
  ::chmod(path.c_str(), 0640);
  fs::create_hard_link(path, dir.file("other-name.pcx"));
  ASSERT_EQ(writeFileAtomically(path, {2, 3}), 0);
  EXPECT_EQ(modeOf(path), 0640u);
  EXPECT_EQ(readWholeFile(dir.file("other-name.pcx")).bytes, (Bytes{2, 3}));

  // The longest name the folder allows still saves.
  std::string longName = dir.file(std::string(255 - 4, 'n') + ".pcx");
  EXPECT_EQ(writeFileAtomically(longName, {4}), 0);
  EXPECT_EQ(writeFileAtomically(longName, {5}), 0);
  EXPECT_EQ(readWholeFile(longName).bytes, Bytes{5});

  // No temporary file is left behind.
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir.path())) ++entries;
  EXPECT_EQ(entries, 3);

  EXPECT_EQ(writeFileAtomically(dir.path(), {1}), EISDIR);
}

// Runs `body` as an unprivileged user (root ignores permission bits) and
// returns its exit status; when we are no root the body runs as we are.
template <class Body>
int asOrdinaryUser(Body body) {
  pid_t child = ::fork();
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) ::_exit(255);
    ::_exit(body());
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SafeSave, RefusesWhatADirectWriteWouldRefuse) {
  test::TempDir dir;
  ::chmod(dir.path().c_str(), 0755);
  std::string readOnly = dir.write("read-only.pcx", {1, 2});
  ::chmod(readOnly.c_str(), 0444);
  std::string writable = dir.write("writable.pcx", {1, 2});
  ::chmod(writable.c_str(), 0666);
  // Root's folder is closed to the ordinary user; close it to ourselves otherwise.
  if (::geteuid() != 0) ::chmod(dir.path().c_str(), 0555);

  // The folder is closed to the user: the read-only file is refused with
  // EACCES and stays; the writable one is still written, in place.
  EXPECT_EQ(asOrdinaryUser([&] { return writeFileAtomically(readOnly, {9}); }), EACCES);
  EXPECT_EQ(readWholeFile(readOnly).bytes, (Bytes{1, 2}));
  EXPECT_EQ(asOrdinaryUser([&] { return writeFileAtomically(writable, {9}); }), 0);
  EXPECT_EQ(readWholeFile(writable).bytes, Bytes{9});
  EXPECT_EQ(asOrdinaryUser([&] { return writeFileAtomically(dir.file("new.pcx"), {9}); }), EACCES);
  ::chmod(dir.path().c_str(), 0755);
}

}  // namespace
}  // namespace pelt
