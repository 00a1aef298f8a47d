#include "platform/paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "platform/file_io.h"
#include "support/fixtures.h"

namespace pelt {
namespace {

TEST(Paths, FolderAndExtensionRules) {
  EXPECT_EQ(folderOf("/q2/baseq2/models/tris.md2"), "/q2/baseq2/models");
  EXPECT_EQ(folderOf("/tris.md2"), "/");
  EXPECT_EQ(folderOf("tris.md2"), "");
  EXPECT_TRUE(lacksExtension("/home/me/.config/q2/tris"));
  EXPECT_FALSE(lacksExtension("/q2/tris.md2"));
  std::string rest;
  EXPECT_TRUE(isBelowFolder("/q2/baseq2/models/a.pcx", "/q2/baseq2", &rest));
  EXPECT_EQ(rest, "models/a.pcx");
  EXPECT_FALSE(isBelowFolder("/q2/baseq2x/a.pcx", "/q2/baseq2", &rest));
  EXPECT_FALSE(isBelowFolder("/q2/baseq2", "/q2/baseq2", &rest));
  EXPECT_EQ(withForwardSlashes("models\\a\\b.pcx"), "models/a/b.pcx");
}

TEST(Paths, ResolvesStoredNamesInAnyCase) {
  test::TempDir dir;
  dir.write("Models/Grub/Skin.PCX", {1});
  EXPECT_EQ(resolveBelow(dir.path(), "models\\grub\\skin.pcx"), dir.file("Models/Grub/Skin.PCX"));
  EXPECT_EQ(resolveBelow(dir.path(), "Models/Grub/Skin.PCX"), dir.file("Models/Grub/Skin.PCX"));
  EXPECT_EQ(resolveBelow(dir.path(), "models/none.pcx"), dir.file("models/none.pcx"));
}

// Names read from files never reach outside the folder they are relative to.
TEST(Paths, NamesThatLeaveTheFolderResolveToNothing) {
  test::TempDir dir;
  dir.write("inside/a.pcx", {1});
  struct Case {
    const char* name;
    bool stays;
  };
  const Case cases[] = {
      {"inside/a.pcx", true},   {"a..b/c.pcx", true},
      {"..a/b", true},          {"./inside/a.pcx", true},
      {"/etc/passwd", false},   {"\\etc\\passwd", false},
      {"../a.pcx", false},      {"inside/../../a", false},
      {"inside\\..\\a", false}, {"..", false},
      {"inside/..", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(staysBelow(c.name), c.stays) << c.name;
    if (!c.stays) {
      EXPECT_EQ(resolveBelow(dir.path(), c.name), "") << c.name;
    }
  }
  EXPECT_EQ(resolveBelow(dir.path(), "./INSIDE/A.pcx"), dir.file("inside/a.pcx"));
}

TEST(Paths, ListingsAreReadOncePerFolder) {
  test::TempDir dir;
  dir.write("Skins/B.pcx", {1});
  dir.write("Skins/b.PCX", {1});
  FolderListings listings;
  // Of two spellings the first in byte order is taken.
  EXPECT_EQ(resolveBelow(dir.path(), "skins/b.pcx", &listings), dir.file("Skins/B.pcx"));
  dir.write("Skins/c.pcx", {1});
  // The folder was listed before c.pcx existed; as spelled it is still found.
  EXPECT_EQ(resolveBelow(dir.path(), "skins/C.PCX", &listings), dir.file("skins/C.PCX"));
  EXPECT_EQ(resolveBelow(dir.path(), "Skins/c.pcx", &listings), dir.file("Skins/c.pcx"));
}

TEST(Paths, ListsMatchingFilesSortedInAnyCase) {
  test::TempDir dir;
  for (const char* name : {"b.PCX", "a.pcx", "c.bmp", "d.pcx.txt", "e.Pcx"}) dir.write(name, {1});
  EXPECT_EQ(listFilesWithExtension(dir.path(), ".pcx"), (std::vector<std::string>{"a.pcx", "b.PCX", "e.Pcx"}));
}

TEST(FileIo, AtomicWritesReplaceOrKeepTheOldFile) {
  test::TempDir dir;
  std::string path = dir.write("f.bin", {1, 2, 3});
  EXPECT_EQ(writeFileAtomically(path, {4, 5}), 0);
  EXPECT_EQ(readWholeFile(path).bytes, (Bytes{4, 5}));
  EXPECT_NE(writeFileAtomically(dir.file("missing/f.bin"), {1}), 0);
  EXPECT_EQ(readWholeFile(dir.file("nothing")).error, ENOENT);
  EXPECT_EQ(fileSize(path), 2);

  // Folders, FIFOs and devices are refused at once, never waited on.
  ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
  EXPECT_EQ(readWholeFile(dir.file("fifo")).error, ENODEV);
  EXPECT_EQ(readWholeFile("/dev/zero").error, ENODEV);
  EXPECT_EQ(readWholeFile(dir.path()).error, EISDIR);

  // A file far larger than anything the program reads is refused unread.
  std::filesystem::resize_file(path, kMaxReadableFileSize + 1);
  EXPECT_EQ(readWholeFile(path).error, EFBIG);
}

}  // namespace
}  // namespace pelt
