// The game's files: loose files over pak files over zip archives, names in
// any case, and damaged archives refused by name while the others serve.
#include "platform/game_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "skins/byte_order.h"
#include "support/archive_writer.h"
#include "support/fixtures.h"
#include "support/scripted_platform.h"

namespace pelt {
namespace {

using test::packBytes;
using test::zipBytes;

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// Where a zip's headers start: "PK\1\2" central entries, "PK\5\6" its end.
size_t zipRecord(const Bytes& zip, std::uint8_t kind) {
  for (size_t i = zip.size() - 4; i > 0; --i)
    if (zip[i] == 'P' && zip[i + 1] == 'K' && zip[i + 2] == kind && zip[i + 3] == kind + 1)
      return i;
  return 0;
}

class GameFiles : public ::testing::Test {
 protected:
  GameFiles() : base(dir.file("baseq2")) { dir.write("baseq2/.keep", {}); }
  std::string contents(const std::string& name) {
    std::optional<GameFile> file = files.find(name);
    if (!file) return "(none)";
    const Bytes bytes = files.read(*file).bytes;
    return (file->source.empty() ? "loose" : file->source) + ":" +
           std::string(bytes.begin(), bytes.end());
  }

  test::TempDir dir;
  std::string base;
  test::ScriptedPlatform platform;
  GameFileSystem files{base, platform};
};

TEST_F(GameFiles, LooseOverPak1OverPak0OverZipsInNameOrderInAnyCase) {
  dir.write("baseq2/pics/Colormap.pcx", text("L"));
  dir.write("baseq2/pak0.pak", packBytes({{"pics/colormap.pcx", text("P0")},
                                          {"models/a.md2", text("P0")},
                                          {"zipped.txt", text("P0")},
                                          {"only0.txt", text("P0")}}));
  dir.write("baseq2/PAK1.pak", packBytes({{"MODELS\\A.md2", text("P1")}}));
  dir.write("baseq2/pak10.pak", packBytes({{"only0.txt", text("P10")}}));
  dir.write("baseq2/b.pk3", zipBytes({{"zipped.txt", text("B")}, {"zonly.txt", text("B")}}));
  dir.write("baseq2/a.pkz", zipBytes({{"zonly.txt", text("A")}, {"models\\z.md2", text("A")}}));
  const std::pair<std::string, std::string> rows[] = {
      {"PICS\\colormap.PCX", "loose:L"}, {"models/A.MD2", "PAK1.pak:P1"},
      {"only0.txt", "pak10.pak:P10"},    {"zipped.txt", "pak0.pak:P0"},
      {"ZONLY.txt", "a.pkz:A"},          {"models/z.md2", "a.pkz:A"},
      {"missing.txt", "(none)"},         {"../baseq2/pics/colormap.pcx", "(none)"}};
  for (const auto& [name, expected] : rows) EXPECT_EQ(contents(name), expected) << name;

  std::map<std::string, std::string> listed;
  for (const GameFileListing& row : files.list()) listed[row.name] = sourceText(row);
  EXPECT_EQ(listed["pics/Colormap.pcx"], "loose, shadows pak0.pak");
  EXPECT_EQ(listed["MODELS/A.md2"], "PAK1.pak, shadows pak0.pak");
  EXPECT_EQ(listed["zonly.txt"], "a.pkz, shadows b.pk3");
  std::vector<std::string> models;
  for (const GameFile& file : files.filesIn(base + "/Models", ".MD2")) models.push_back(file.path);
  EXPECT_EQ(models, (std::vector{base + "/MODELS/A.md2", base + "/models/z.md2"}));
  EXPECT_TRUE(platform.messages.empty());
}

// Each damaged archive is named once; the sound one beside it still serves.
TEST_F(GameFiles, RefusesEachDamagedArchiveByName) {
  dir.write("baseq2/sound.pk3", zipBytes({{"kept.txt", text("K")}}));
  const Bytes pack = packBytes({{"a.pcx", text("abc")}});  // directory at 15
  auto patched = [](Bytes bytes, size_t at, std::uint32_t value) {
    writeU32(&bytes[at], value);
    return bytes;
  };
  auto packWith = [&](size_t at, std::uint32_t value) { return patched(pack, at, value); };
  Bytes unended = pack;
  std::fill_n(unended.begin() + 15, 56, 'a');
  const Bytes zip = zipBytes({{"a.pcx", text("abcabcabc")}});
  const size_t central = zipRecord(zip, 1), end = zipRecord(zip, 5);
  // Both headers claim 4 GB.
  const Bytes bomb = patched(patched(zip, central + 24, 0xF0000000u), 22, 0xF0000000u);
  const std::tuple<const char*, Bytes, std::string> rows[] = {
      {"pak0.pak", text("PAK"), "it is not a PACK file"},
      {"pak0.pak", packWith(4, 16), "its directory lies outside the file"},
      {"pak0.pak", packWith(8, 65), "its directory lies outside the file"},
      {"pak0.pak", packWith(4, 0x80000000u), "its directory lies outside the file"},
      {"pak0.pak", packWith(8, 63), "its directory holds more entries than it has room for"},
      {"pak0.pak", packWith(15 + 56, 77), "entry 1 (a.pcx) lies outside the file"},
      {"pak0.pak", packWith(15 + 60, 68), "entry 1 (a.pcx) lies outside the file"},
      {"pak0.pak", unended, "entry 1 has a name without an end"},
      {"pak0.pak", packBytes({{"x", {}}, {"/etc/passwd", {}}}),
       "entry 2 (/etc/passwd) has a name that leaves the game folder"},
      {"pak0.pak", packBytes({{"models/../../x.pcx", {}}}), "leaves the game folder"},
      {"pak0.pak", packBytes({{"", {}}}), "entry 1 has no name"},
      {"z.pk3", text("PK\x03\x04 not a zip"), "Not a zip archive"},
      {"z.pk3", patched(zip, end + 8, 0x00020002u), "Zip archive inconsistent"},
      {"z.pk3", patched(zip, central + 42, 0x7FFFFFF0u), "an entry lies outside the file or"},
      {"z.pk3", patched(zip, central + 20, 0x7FFFFFF0u), "entry 1 (a.pcx) lies outside the"},
      {"z.pk3", zipBytes({{"\\abs.pcx", {}}}), "entry 1 (/abs.pcx) has a name that leaves"},
      {"z.pk3", zipBytes({{"../x.pcx", {}}}), "entry 1 (../x.pcx) has a name that leaves"},
      {"z.pk3", bomb, "entry 1 (a.pcx) unpacks to more than Pelt reads (4026531840 bytes)"},
  };
  for (const auto& [name, bytes, reason] : rows) {
    const std::string path = dir.write(std::string("baseq2/") + name, bytes);
    platform.messages.clear();
    files.list();  // reads the changed archives
    EXPECT_EQ(contents("kept.txt"), "sound.pk3:K") << reason;
    EXPECT_EQ(contents("a.pcx"), "(none)") << reason;
    ASSERT_EQ(platform.messages.size(), 1u) << reason;
    EXPECT_EQ(
        platform.messages[0].text.find("The archive " + path + " is damaged and was left out: "),
        0u);
    EXPECT_NE(platform.messages[0].text.find(reason), std::string::npos)
        << platform.messages[0].text;
    std::filesystem::remove(path);
    files.list();
  }
  // A range past the end of a file is an error, not a short answer.
  EXPECT_EQ(readFileRange(dir.write("short.bin", text("abc")), 1, 5).error, EIO);
}

}  // namespace
}  // namespace pelt
