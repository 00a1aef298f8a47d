// The Mapping menu through the command table: selection, hiding, and the
// mapping files.
#include "app/mapping_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "app/app.h"
#include "app/command_table.h"
#include "app/main_frame.h"
#include "model/mapping_file.h"
#include "platform/settings_keys.h"
#include "support/fixtures.h"
#include "support/scripted_platform.h"

namespace pelt {
namespace {

using test::ScriptedPlatform;
using test::TempDir;
using Corners = std::array<int, 3>;

enum : int {
  kSelectAll = 32796,
  kSelectNone = 32797,
  kInvert = 32798,
  kConnected = 32837,
  kGrow = 32838,
  kShrink = 32839,
  kHide = 32830,
  kUnhide = 32831,
  kStore = 32840,
  kRevert = 32841,
  kImport = 32816,
  kExport = 32815,
  kImportToSelected = 32846,
};

struct QuietHost : FrameHost {
  void layoutChanged() override {}
  void grabSplitPointer(bool) override {}
  void closeWindow() override {}
};

class MappingCommands : public ::testing::Test {
 protected:
  MappingCommands() : app(platform), frame(app, host) {
    app.baseFolder = app.loadFolder = app.saveFolder = dir.path();
  }

  // Triangles given by their st indices; entry j holds (4j, 2j), vertex
  // indices follow the st indices.
  void build(const std::vector<Corners>& triangles, int skinWidth = 256, int skinHeight = 256) {
    Model& m = app.model;
    m.triangleCount = static_cast<int>(triangles.size());
    m.skinWidth = skinWidth;
    m.skinHeight = skinHeight;
    int entries = 0;
    for (size_t i = 0; i < triangles.size(); ++i)
      for (size_t k = 0; k < 3; ++k) {
        m.triangles[i].stIndex[k] = static_cast<std::int16_t>(triangles[i][k]);
        m.triangles[i].vertexIndex[k] = static_cast<std::int16_t>(triangles[i][k]);
        entries = std::max(entries, triangles[i][k] + 1);
      }
    m.vertexCount = m.stCount = entries;
    for (int j = 0; j < entries; ++j)
      m.stCoords[static_cast<size_t>(j)] = {static_cast<std::int16_t>(4 * j),
                                            static_cast<std::int16_t>(2 * j)};
    storeMapping(m);
  }

  void run(int id) { ASSERT_TRUE(runCommand(frame, id)) << id; }

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
      out.push_back(app.model.triangles[static_cast<size_t>(i)].cornerSt);
    return out;
  }

  TempDir dir;
  ScriptedPlatform platform;
  App app;
  QuietHost host;
  MainFrame frame;
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
  };
  build(kIslands);
  for (const Case& c : cases) {
    setFlags(c.flags);
    platform.refreshes.clear();
    run(c.command);
    EXPECT_EQ(selected(), c.expected) << c.what;
    EXPECT_EQ(platform.refreshes, (std::vector<test::RecordedRefresh>{{0, 0x2F, true}})) << c.what;
  }
}

TEST_F(MappingCommands, HideThenUnhideGivesBackASelectedVisibleTriangle) {
  build(kIslands);
  setFlags({kTriangleSelected, 0, kTriangleSelected, 0, 0, 0});
  run(kHide);
  EXPECT_EQ(app.model.triangles[0].flags, kTriangleSelected | kTriangleHidden);
  run(kSelectNone);
  EXPECT_EQ(app.model.triangles[2].flags, kTriangleHidden);
  run(kUnhide);
  EXPECT_EQ(selected(), (std::vector<int>{0, 2}));
  EXPECT_EQ(app.model.triangles[0].flags, kTriangleSelected);
  EXPECT_EQ(app.model.triangles[1].flags, 0u);
}

TEST_F(MappingCommands, ExportThenImportKeepsTheMapping) {
  build(kIslands);
  const auto before = corners();
  platform.answerFile(dir.file("sub/map"));  // no extension: ".pmp" is added
  std::filesystem::create_directories(dir.file("sub"));
  run(kExport);
  const FileDialogRequest& request = platform.fileRequests.back();
  EXPECT_TRUE(request.save);
  EXPECT_EQ(request.filter, "Pelt Mapping (*.pmp)|*.pmp|All Files (*.*)|*.*||");
  EXPECT_EQ(request.initialName, "*.pmp");
  EXPECT_EQ(request.startFolder, dir.path());
  EXPECT_EQ(app.saveFolder, dir.file("sub"));
  EXPECT_EQ(platform.settings[settings::kProject][settings::kSaveDir], dir.file("sub"));
  ASSERT_EQ(fileSize(dir.file("sub/map.pmp")), 12 + 24 * 6);

  app.model.stCoords[3] = {77, 77};
  rebuildStTable(app.model);
  platform.answerFile(dir.file("sub/map.pmp"));
  run(kImport);
  EXPECT_FALSE(platform.fileRequests.back().save);
  EXPECT_EQ(app.loadFolder, dir.file("sub"));
  EXPECT_EQ(corners(), before);
  EXPECT_TRUE(platform.messages.empty());

  // The import stored the mapping it replaced.
  run(kRevert);
  EXPECT_EQ(app.model.triangles[1].cornerSt[1], (StCoord{77, 77}));
}

TEST_F(MappingCommands, ImportRescalesToTheSkinAndReplacesIndices) {
  build({{0, 1, 2}});
  const Bytes narrow = encodeMappingFile(app.model);  // made for 256 x 256
  app.model.skinWidth = 512;
  app.model.triangles[0].vertexIndex = {2, 1, 0};
  std::string path = dir.write("wide.pmp", narrow);

  platform.answerFile(path);
  run(kImport);
  EXPECT_EQ(app.model.triangles[0].cornerSt,
            (std::array<StCoord, 3>{StCoord{0, 0}, {8, 2}, {16, 4}}));
  EXPECT_EQ(app.model.triangles[0].vertexIndex, (std::array<std::int16_t, 3>{0, 1, 2}));

  // Import to Selected takes corner values only.
  app.model.stCoords[2] = {1, 1};
  rebuildStTable(app.model);
  app.model.triangles[0].vertexIndex = {2, 1, 0};
  app.model.triangles[0].flags = kTriangleSelected;
  platform.answerFile(path);
  run(kImportToSelected);
  EXPECT_EQ(app.model.triangles[0].cornerSt[2], (StCoord{16, 4}));
  EXPECT_EQ(app.model.triangles[0].vertexIndex, (std::array<std::int16_t, 3>{2, 1, 0}));
}

TEST_F(MappingCommands, ImportToSelectedWithNothingSelectedOnlyCompacts) {
  build({{0, 1, 2}, {3, 4, 5}});
  const std::string path = dir.write("m.pmp", encodeMappingFile(app.model));
  app.model.stCoords[0] = app.model.stCoords[3] = {9, 9};  // a duplicate to compact away
  app.model.stCoords[6] = {1, 1};
  app.model.stCount = 7;
  platform.answerFile(path);
  run(kImportToSelected);
  EXPECT_EQ(app.model.stCount, 5);
  EXPECT_EQ(app.model.triangles[1].cornerSt[0], (StCoord{9, 9}));
  EXPECT_EQ(app.model.triangles[1].stIndex[0], 0);
}

TEST_F(MappingCommands, RefusedFilesLeaveTheModelAlone) {
  build({{0, 1, 2}, {2, 1, 3}});
  const Bytes good = encodeMappingFile(app.model);
  app.model.stCoords[3] = {50, 60};
  rebuildStTable(app.model);  // current differs from stored
  const auto current = corners();
  Bytes badIndex = good;
  badIndex[12 + 24 + 18] = 9;  // vertex index beyond vertexCount
  struct Case {
    const char* what;
    Bytes bytes;
    int command;
    std::string message;
  };
  const Case cases[] = {
      {"magic", Bytes{'X', 'M', 'A', 'P', 2, 0, 4, 0, 0, 1, 0, 1}, kImport, kNotPmapMessage},
      {"count", Bytes{'P', 'M', 'A', 'P', 1, 0, 4, 0, 0, 1, 0, 1}, kImport,
       kPmapTriangleCountMessage},
      {"short", Bytes(good.begin(), good.end() - 2), kImport, kNotPmapMessage},
      {"index", badIndex, kImport, kNotPmapMessage},
      {"short, to selected", Bytes(good.begin(), good.end() - 2), kImportToSelected,
       kNotPmapMessage},
      {"missing file", {}, kImport, "Error Loading: 2"},
  };
  for (const Case& c : cases) {
    platform.messages.clear();
    std::string path = c.bytes.empty() ? dir.file("absent.pmp") : dir.write("bad.pmp", c.bytes);
    platform.answerFile(path);
    run(c.command);
    EXPECT_EQ(platform.messageTexts(), std::vector<std::string>{c.message}) << c.what;
    EXPECT_EQ(corners(), current) << c.what;
    EXPECT_EQ(app.model.storedStCoords[3], (StCoord{12, 6})) << c.what;
  }
}

TEST_F(MappingCommands, ExportReportsAFolderItCannotWrite) {
  build({{0, 1, 2}});
  platform.answerFile(dir.file("missing/sub/map.pmp"));
  run(kExport);
  EXPECT_EQ(platform.messageTexts(), std::vector<std::string>{"Error Saving: 2"});
}

TEST_F(MappingCommands, AnEmptyModelExportsAHeaderOnly) {
  platform.answerFile(dir.file("empty.pmp"));
  run(kExport);
  EXPECT_EQ(fileSize(dir.file("empty.pmp")), 12);
  platform.answerFile(dir.file("empty.pmp"));
  run(kImport);
  EXPECT_TRUE(platform.messages.empty());
}

}  // namespace
}  // namespace pelt
