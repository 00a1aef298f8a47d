// The Mapping and Companion menus through the command table: selection,
// hiding, the mapping files, and the models shown beside the current one.
#include <filesystem>
#include <stdexcept>

#include "app/commands/companion.h"
#include "app/commands/mapping.h"
#include "app/frame_lists.h"
#include "frame_fixture.h"
#include "model/companion.h"
#include "model/mapping_file.h"
#include "platform/settings_keys.h"
#include "skins/byte_order.h"

namespace pelt {
namespace {

using Corners = std::array<int, 3>;
using Messages = std::vector<std::string>;

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
      {"hidden triangles stop the flood", {S, H, 0, 0, 0, H}, kConnected, {0}},
      {"a hidden selection does not spread", {S | H, 0, 0, 0, 0, 0}, kConnected, {0}},
      // 1 and 5 touch 0; 2 touches only 1, so it stays out.
      {"grow by one ring", {S, 0, 0, 0, 0, 0}, kGrow, {0, 1, 5}},
      {"shrink keeps a whole island", {S, S, S, 0, 0, S}, kShrink, {0, 1, 2, 5}},
      {"shrink drops the rim", {S, S, 0, 0, 0, S}, kShrink, {0, 5}},
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

  // A ring where 3 touches the selection only through corners of 1 and 2:
  // a hidden triangle in the ring neither spreads the growth nor takes it.
  build({{0, 1, 2}, {2, 3, 4}, {1, 5, 6}, {3, 4, 5}});
  for (const Case& c : {Case{"hidden 1 does not spread", {S, H, 0, 0}, kGrow, {0, 2}},
                        Case{"hidden 3 is not grown into", {S, 0, 0, H}, kGrow, {0, 1, 2}}}) {
    setFlags(c.flags);
    run(c.command);
    EXPECT_EQ(selected(), c.expected) << c.what;
  }
}

TEST_F(MappingCommands, ExportThenImportKeepsTheMappingAndRevertUndoesIt) {
  build(kIslands);
  const auto before = corners();
  std::filesystem::create_directories(dir.file("sub"));
  platform.answerFile(dir.file("sub/map"));  // no extension: ".pmp" is added
  run(kExport);
  ASSERT_EQ(fileSize(dir.file("sub/map.pmp")), 12 + 24 * 6);
  // A file that cannot be written leaves the table as it was, uncompacted.
  app.model.stCoords[static_cast<size_t>(app.model.stCount)] = {5, 5};
  const int stCount = ++app.model.stCount;
  platform.answerFile(dir.file("missing/map.pmp"));
  run(kExport);
  EXPECT_EQ(platform.messageTexts(),
            std::vector<std::string>{"Error Saving: 2\n" + dir.file("missing/map.pmp") +
                                     ": No such file or directory"});
  EXPECT_EQ(app.model.stCount, stCount);

  app.model.stCoords[3] = {77, 77};
  rebuildStTable(app.model);
  app.model.triangles[0].vertexIndex = {2, 1, 0};
  // Bytes after the records are no part of the mapping.
  Bytes file = readWholeFile(dir.file("sub/map.pmp")).bytes;
  file.resize(file.size() + 5, 0xEE);
  platform.answerFile(dir.write("sub/long.pmp", file));
  run(kImport);  // the file's vertex indices come too
  EXPECT_EQ(corners(), before);
  EXPECT_EQ(app.model.triangles[0].vertexIndex, (std::array<std::int16_t, 3>{0, 1, 2}));
  run(kRevert);  // the import stored the mapping it replaced, indices included
  EXPECT_EQ(app.model.triangles[1].cornerSt[1], (StCoord{77, 77}));
  EXPECT_EQ(app.model.triangles[0].vertexIndex, (std::array<std::int16_t, 3>{2, 1, 0}));
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

constexpr int kOpenCompanion = 32809, kCloseCompanion = 32810, kHideCompanion = 32811,
              kCompanionSkin = 32813, kCompanionOffset = 32814;

class Companions : public test::FrameTest {
 protected:
  Companions() { app.baseFolder = app.loadFolder = dir.path(); }
  // A companion of 16 x 8 skin and `frames` frames naming `skin` ("": none).
  std::string writeCompanion(const std::string& name, const std::string& skin, int frames = 2) {
    std::vector<std::string> skins;
    if (!skin.empty()) skins.push_back(skin);
    return dir.write(name, encodeMd2(test::quadStripMd2(2, 16, 8, skins, frames)));
  }
  void writeSkin(const std::string& name, int w, int h, int seed = 0) {
    dir.write(name, encodeSkinPcx(test::patternSkin(w, h, seed)));
  }
  Companion& open(const std::string& path) {
    platform.answerFile(path);
    runCommand(frame, kOpenCompanion);
    if (app.companions.items.empty()) throw std::runtime_error("no companion opened: " + path);
    return *app.companions.items.back();
  }
  static bool isChecker(const Companion& c) {
    Skin expected;
    allocateSkin(expected, c.skinWidth, c.skinHeight);
    fillCheckerboard(expected, 64, 192);
    return c.skin.pixels == expected.pixels && c.skin.rowOffsets == expected.rowOffsets;
  }
  Messages entries() { return listContents(app, FrameList::Companions).entries; }
};

TEST_F(Companions, OpenFindsTheNamedSkinBelowTheBaseFolderInAnyCase) {
  writeSkin("Models/W/Skin.PCX", 16, 8, 3);
  const std::string path = writeCompanion("weapons/weapon.md2", "models\\w\\skin.pcx");
  platform.answerFile(dir.file("weapons/weapon"));  // ".md2" is added
  run(kOpenCompanion);
  ASSERT_EQ(platform.fileRequests.size(), 1u);  // no skin dialog
  EXPECT_TRUE(platform.messages.empty());
  const Companion& c = *app.companions.items.at(0);
  EXPECT_EQ(c.skin.pixels, test::patternSkin(16, 8, 3).pixels);
  EXPECT_EQ(std::tuple(c.vertexCount, c.triangleCount, c.stCount, c.frameCount),
            std::tuple(6, 4, 8, 2));
  EXPECT_EQ(c.triangles[3].cornerSt[0], (StCoord{0, 0}));  // through the file's duplicate entry
  EXPECT_EQ(entries(), Messages{"  " + path});
}

TEST_F(Companions, DamagedFilesAreRefusedAndTheListStaysAsItWas) {
  open(writeCompanion("good.md2", ""));
  auto edited = [](auto edit) {
    Bytes b = encodeMd2(test::quadStripMd2(2, 16, 8));
    edit(b);
    return b;
  };
  const std::pair<Bytes, const char*> cases[] = {
      {{}, "There was an error loading the specified file!"},  // no such file
      {edited([](Bytes& b) { b[3] = '3'; }), "This companion is not an MD2!"},
      {edited([](Bytes& b) { b.pop_back(); }), kDamagedCompanionMessage},
      // A vertex index past the six vertices, an st index past the eight entries.
      {edited([](Bytes& b) { b[readU32(&b[52]) + 2] = 6; }), kDamagedCompanionMessage},
      {edited([](Bytes& b) { b[readU32(&b[52]) + 6] = 8; }), kDamagedCompanionMessage},
      {edited([](Bytes& b) { b[49] = 0x7F; }), kDamagedCompanionMessage},  // st block far out
  };
  for (const auto& [bytes, message] : cases) {
    platform.messages.clear();
    open(bytes.empty() ? dir.file("missing.md2") : dir.write("bad.md2", bytes));
    EXPECT_EQ(platform.messageTexts(), Messages{message}) << bytes.size();
    EXPECT_EQ(app.companions.items.size(), 1u);
    EXPECT_EQ(app.companions.currentIndex, 0);
  }
}

// All open companions share one memory budget; one that would pass it is
// called too large, not damaged.
TEST_F(Companions, OpenCompanionsShareOneBudget) {
  // Eight skins of 4096 x 4000 fit the budget alone; the first is on disk
  // and stays in memory while the companion is open, so a second is refused.
  Skin first;
  allocateSkin(first, 4096, 4000);
  dir.write("big.pcx", encodeSkinPcx(first));
  const std::string big =
      dir.write("big.md2", encodeMd2(test::quadStripMd2(2, 4096, 4000, Messages(8, "big.pcx"))));
  EXPECT_EQ(open(big).skin.pixels.size(), 4096u * 4000u);
  open(big);
  EXPECT_EQ(platform.messageTexts().at(0).substr(0, 95),
            "This companion is too large: it would need 251 MB, and the open companions together "
            "may use 241");
  EXPECT_EQ(app.companions.items.size(), 1u);
  run(kCloseCompanion);
  open(big);
  EXPECT_EQ(app.companions.items.size(), 1u);
}

TEST_F(Companions, ShownWhileNotHiddenAndTheModelHasTheirFrame) {
  platform.writeInt(settings::kPreferences, settings::kDirScanPrompt, 1);
  ASSERT_TRUE(loadMd2(app, dir.write("m.md2", encodeMd2(test::quadStripMd2(1, 16, 8, {}, 41)))));
  const std::string path = writeCompanion("w.md2", "", 20);
  Companion& c = open(path);
  app.model.currentFrameIndex = 20;  // the first frame it lacks
  EXPECT_TRUE(shownCompanionScenes(app).empty());
  app.model.currentFrameIndex = 19;
  ASSERT_EQ(shownCompanionScenes(app).size(), 1u);
  EXPECT_EQ(shownCompanionScenes(app)[0].vertices.data(), c.frames[19].vertices.data());

  for (bool hidden : {true, false}) {
    run(kHideCompanion);
    EXPECT_STREQ(commandText(*findCommand(kHideCompanion), app), hidden ? "&Show\tH" : "&Hide\tH");
    EXPECT_EQ(entries()[0], (hidden ? "* " : "  ") + path);
    EXPECT_EQ(shownCompanionScenes(app).size(), hidden ? 0u : 1u);
  }

  // The offset dialog starts from the values; x moves along y.
  platform.offsetAnswers = {OffsetCompanionValues{10.0f, 2.0f, 3.0f}, std::nullopt};
  run(kCompanionOffset);
  run(kCompanionOffset);  // cancelled: nothing changes
  EXPECT_EQ(platform.offsetRequests.at(1).x, 10.0f);
  EXPECT_EQ(std::tuple(c.offsetX, c.offsetY, c.offsetZ), std::tuple(10.0f, 2.0f, 3.0f));
  EXPECT_EQ(shownCompanionScenes(app)[0].offset, (Vec3{3.0f, 10.0f, 2.0f}));
}

TEST_F(Companions, LoadSkinReplacesFallsBackOrKeeps) {
  writeSkin("fits.pcx", 16, 8, 4);
  writeSkin("wide.pcx", 32, 8);
  Companion& c = open(writeCompanion("w.md2", ""));  // dialog cancelled: checkerboard
  ASSERT_TRUE(isChecker(c));
  struct Case {
    std::optional<std::string> chosen;
    bool checker;
    Messages messages;
  } cases[] = {{"fits", false, {}},
               {std::nullopt, false, {}},  // cancel keeps the skin it has
               {"wide.pcx", true, {kSkinDoesNotFitMessage}},
               {"fits.pcx", false, {}},
               {"nothing.pcx", true, {}}};
  for (const Case& k : cases) {
    platform.messages.clear();
    if (k.chosen) platform.answerFile(dir.file(*k.chosen));
    run(kCompanionSkin);
    EXPECT_EQ(isChecker(c), k.checker);
    if (!k.checker) {
      EXPECT_EQ(c.skin.pixels, test::patternSkin(16, 8, 4).pixels);
    }
    EXPECT_EQ(platform.messageTexts(), k.messages);
    EXPECT_EQ(platform.refreshes.back(), (test::RecordedRefresh{0, 2, true}));
  }
}

}  // namespace
}  // namespace pelt
