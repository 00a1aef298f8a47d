// The Mapping menu through the command table: selection, hiding, and the
// mapping files.
#include "app/mapping_commands.h"

#include <filesystem>

#include "frame_fixture.h"
#include "model/mapping_file.h"
#include "platform/settings_keys.h"

namespace pelt {
namespace {

using Corners = std::array<int, 3>;

// clang-format off
enum : int {
  kSelectAll = 32796, kSelectNone = 32797, kInvert = 32798, kConnected = 32837, kGrow = 32838,
  kShrink = 32839, kHide = 32830, kUnhide = 32831, kRevert = 32841, kImport = 32816,
  kExport = 32815, kImportToSelected = 32846,
};
// clang-format on

class MappingCommands : public test::FrameTest {
 protected:
  MappingCommands() { app.baseFolder = app.loadFolder = app.saveFolder = dir.path(); }

  // Triangles given by their st indices; entry j holds (4j, 2j), vertex
  // indices follow the st indices.
  void build(const std::vector<Corners>& triangles) {
    Model& m = app.model;
    m.triangleCount = static_cast<int>(triangles.size());
    m.skinWidth = m.skinHeight = 256;
    int entries = 0;
    for (size_t i = 0; i < triangles.size(); ++i)
      for (size_t k = 0; k < 3; ++k) {
        m.triangles[i].stIndex[k] = static_cast<std::int16_t>(triangles[i][k]);
        m.triangles[i].vertexIndex[k] = static_cast<std::int16_t>(triangles[i][k]);
        entries = std::max(entries, triangles[i][k] + 1);
      }
    m.vertexCount = m.stCount = entries;
    for (int j = 0; j < entries; ++j)
      m.stCoords[static_cast<size_t>(j)] = {std::int16_t(4 * j), std::int16_t(2 * j)};
    storeMapping(m);
  }

  std::vector<int> selected() const {
    std::vector<int> out;
    for (int i = 0; i < app.model.triangleCount; ++i)
      if (app.model.triangles[static_cast<size_t>(i)].flags & kTriangleSelected) out.push_back(i);
    return out;
  }
  void setFlags(const std::vector<std::uint32_t>& flags) {
    for (size_t i = 0; i < flags.size(); ++i) app.model.triangles[i].flags = flags[i];
  }
  std::vector<std::array<StCoord, 3>> corners() const {
    std::vector<std::array<StCoord, 3>> out;
    for (int i = 0; i < app.model.triangleCount; ++i)
      out.push_back(app.model.triangles[size_t(i)].cornerSt);
    return out;
  }
};

// Two islands: 0-1-2 chained through shared entries, 3-4 apart; 5 shares
// entries only with 0 and 1.
const std::vector<Corners> kIslands = {{0, 1, 2}, {2, 3, 4},   {4, 5, 6},
                                       {7, 8, 9}, {9, 10, 11}, {1, 2, 3}};

TEST_F(MappingCommands, SelectionCommandsFollowSharedStEntries) {
  constexpr std::uint32_t S = kTriangleSelected, H = kTriangleHidden;
  struct Case {
    const char* what;
    std::vector<std::uint32_t> flags;
    int command;
    std::vector<int> expected;
  };
  const Case cases[] = {
      {"all, hidden too", {0, H, 0, 0, 0, 0}, kSelectAll, {0, 1, 2, 3, 4, 5}},
      {"none", {S, S, 0, S, 0, S | H}, kSelectNone, {}},
      {"invert", {S, 0, 0, S, 0, 0}, kInvert, {1, 2, 4, 5}},
      {"connected fills one island", {S, 0, 0, 0, 0, 0}, kConnected, {0, 1, 2, 5}},
      {"connected from the other island", {0, 0, 0, 0, S, 0}, kConnected, {3, 4}},
      {"hidden triangles stop the flood", {S, H, 0, 0, 0, H}, kConnected, {0}},
      {"a hidden selection does not spread", {S | H, 0, 0, 0, 0, 0}, kConnected, {0}},
      // 1 and 5 touch 0; 2 touches only 1, so it stays out.
      {"grow by one ring", {S, 0, 0, 0, 0, 0}, kGrow, {0, 1, 5}},
      {"grow without neighbours", {0, 0, 0, S, S, 0}, kGrow, {3, 4}},
      {"grow past a hidden neighbour", {S, H, 0, 0, 0, 0}, kGrow, {0, 5}},
      {"shrink keeps a whole island", {S, S, S, 0, 0, S}, kShrink, {0, 1, 2, 5}},
      {"shrink drops the rim", {S, S, 0, 0, 0, S}, kShrink, {0, 5}},
      {"shrink with every triangle on the rim", {S, 0, 0, 0, S, 0}, kShrink, {}},
      {"shrink ignores hidden neighbours", {0, 0, 0, S, 0 | H, 0}, kShrink, {3}},
      {"shrink keeps hidden selected ones", {S | H, 0, 0, 0, 0, 0}, kShrink, {0}},
      {"unhide gives back selected triangles", {H, 0, H, 0, 0, 0}, kUnhide, {0, 2}},
  };
  build(kIslands);
  for (const Case& c : cases) {
    setFlags(c.flags);
    platform.refreshes.clear();
    run(c.command);
    EXPECT_EQ(selected(), c.expected) << c.what;
    EXPECT_EQ(platform.refreshes, (std::vector<test::RecordedRefresh>{{0, 0x2F, true}})) << c.what;
  }
  setFlags({S, 0, 0, 0, 0, 0});
  run(kHide);
  EXPECT_EQ(app.model.triangles[0].flags, S | H);
}

TEST_F(MappingCommands, ExportThenImportKeepsTheMappingAndRevertUndoesIt) {
  build(kIslands);
  const auto before = corners();
  std::filesystem::create_directories(dir.file("sub"));
  platform.answerFile(dir.file("sub/map"));  // no extension: ".pmp" is added
  run(kExport);
  EXPECT_EQ(platform.settings[settings::kProject][settings::kSaveDir], dir.file("sub"));
  ASSERT_EQ(fileSize(dir.file("sub/map.pmp")), 12 + 24 * 6);
  platform.answerFile(dir.file("missing/map.pmp"));
  run(kExport);
  EXPECT_EQ(platform.messageTexts(), std::vector<std::string>{"Error Saving: 2"});

  app.model.stCoords[3] = {77, 77};
  rebuildStTable(app.model);
  app.model.triangles[0].vertexIndex = {2, 1, 0};
  platform.answerFile(dir.file("sub/map.pmp"));
  run(kImport);  // the file's vertex indices come too
  EXPECT_EQ(corners(), before);
  EXPECT_EQ(app.model.triangles[0].vertexIndex, (std::array<std::int16_t, 3>{0, 1, 2}));
  run(kRevert);  // the import stored the mapping it replaced
  EXPECT_EQ(app.model.triangles[1].cornerSt[1], (StCoord{77, 77}));
}

TEST_F(MappingCommands, RefusedFilesLeaveTheModelAndItsStoredMappingAlone) {
  build({{0, 1, 2}, {2, 1, 3}});
  app.model.stCoords[3] = {50, 60};
  rebuildStTable(app.model);
  const auto current = corners();
  const std::pair<Bytes, std::string> cases[] = {
      {Bytes{'X', 'M', 'A', 'P', 2, 0, 4, 0, 0, 1, 0, 1}, kNotPmapMessage},
      {Bytes{'P', 'M', 'A', 'P', 1, 0, 4, 0, 0, 1, 0, 1}, kPmapTriangleCountMessage},
      {{}, "Error Loading: 2"},  // no such file
  };
  for (const auto& [bytes, message] : cases)
    for (int command : {kImport, kImportToSelected}) {
      platform.messages.clear();
      platform.answerFile(bytes.empty() ? dir.file("absent.pmp") : dir.write("bad.pmp", bytes));
      run(command);
      EXPECT_EQ(platform.messageTexts(), std::vector<std::string>{message}) << message;
      EXPECT_EQ(corners(), current) << message;
      EXPECT_EQ(app.model.storedStCoords[3], (StCoord{12, 6})) << message;
    }
}

}  // namespace
}  // namespace pelt
