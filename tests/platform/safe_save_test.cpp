#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
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

}  // namespace
}  // namespace pelt
