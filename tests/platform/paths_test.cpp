#include "platform/paths.h"

#include <gtest/gtest.h>

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

  // A file far larger than anything the program reads is refused unread.
  std::filesystem::resize_file(path, kMaxReadableFileSize + 1);
  EXPECT_EQ(readWholeFile(path).error, EFBIG);
}

}  // namespace
}  // namespace pelt
