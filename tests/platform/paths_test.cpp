#include "platform/paths.h"

#include <gtest/gtest.h>

#include "support/fixtures.h"

namespace pelt {
namespace {

TEST(Paths, FolderAndExtensionRules) {
  EXPECT_EQ(folderOf("/q2/baseq2/models/tris.md2"), "/q2/baseq2/models");
  EXPECT_EQ(folderOf("/tris.md2"), "/");
  EXPECT_TRUE(lacksExtension("/home/me/.config/q2/tris"));
  std::string rest;
  EXPECT_TRUE(isBelowFolder("/q2/baseq2/models/a.pcx", "/q2/baseq2", &rest));
  EXPECT_EQ(rest, "models/a.pcx");
  EXPECT_FALSE(isBelowFolder("/q2/baseq2x/a.pcx", "/q2/baseq2", &rest));
  EXPECT_FALSE(isBelowFolder("/q2/baseq2", "/q2/baseq2", &rest));
}

// Names read from files match in any case and never reach outside the
// folder they are relative to.
TEST(Paths, ResolvesStoredNamesBelowTheFolderInAnyCase) {
  test::TempDir dir;
  const std::string skin = dir.write("Models/Grub/Skin.PCX", {1});
  EXPECT_EQ(resolveBelow(dir.path(), "models\\grub\\skin.pcx"), skin);
  EXPECT_EQ(resolveBelow(dir.path(), "./MODELS/grub/Skin.pcx"), skin);
  EXPECT_EQ(resolveBelow(dir.path(), "models/none.pcx"), dir.file("models/none.pcx"));
  const std::pair<const char*, bool> names[] = {
      {"a..b/c.pcx", true},     {"..a/b", true},     {"/etc/passwd", false},
      {"\\etc\\passwd", false}, {"../a.pcx", false}, {"Models/../../a", false},
      {"Models\\..\\a", false}, {"..", false},       {"Models/..", false},
  };
  for (const auto& [name, stays] : names) {
    EXPECT_EQ(staysBelow(name), stays) << name;
    EXPECT_TRUE(stays || resolveBelow(dir.path(), name).empty()) << name;
  }
}

TEST(Paths, ListingsAreReadOncePerFolder) {
  test::TempDir dir;
  for (const char* name :
       {"Skins/B.pcx", "Skins/b.PCX", "Skins/a.pcx", "Skins/e.Pcx", "Skins/d.pcx.txt"})
    dir.write(name, {1});
  EXPECT_EQ(listFilesWithExtension(dir.file("Skins"), ".pcx"),
            (std::vector<std::string>{"B.pcx", "a.pcx", "b.PCX", "e.Pcx"}));
  FolderListings listings;
  // Of two spellings the first in byte order is taken.
  EXPECT_EQ(resolveBelow(dir.path(), "skins/b.pcx", &listings), dir.file("Skins/B.pcx"));
  // The folder was listed before c.pcx existed; as spelled it is still found.
  dir.write("Skins/c.pcx", {1});
  EXPECT_EQ(resolveBelow(dir.path(), "skins/C.PCX", &listings), dir.file("skins/C.PCX"));
  EXPECT_EQ(resolveBelow(dir.path(), "Skins/c.pcx", &listings), dir.file("Skins/c.pcx"));
}

}  // namespace
}  // namespace pelt
