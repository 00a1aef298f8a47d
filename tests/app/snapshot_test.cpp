// Snapshots of the demo model: the dialog's size rule, both paths, the
// files they write and what reads them back.
#include "view3d/snapshot.h"

#include <cstdlib>
#include <filesystem>

#include "app/map_commands.h"
#include "app/refresh.h"
#include "app/snapshot_command.h"
#include "demo/demo_folder.h"
#include "frame_fixture.h"
#include "platform/settings_keys.h"
#include "skins/byte_order.h"
#include "view3d/model_view.h"

namespace pelt {
namespace {

using Messages = std::vector<std::string>;
constexpr int kSnapshot = 32857;

class Snapshot : public test::FrameTest {
 protected:
  Snapshot() {
    EXPECT_TRUE(writeDemoGameFolder(dir.path(), nullptr));
    const std::string base = dir.file("baseq2");
    app.baseFolder = app.saveFolder = base;
    platform.settings[settings::kPreferences][settings::kPalettePath] =
        base + "/" + kDemoColormapPath;
    EXPECT_TRUE(loadMd2(app, base + "/" + kDemoModelPath));
    EXPECT_GT(scanMapFolder(app, MapKind::Phong, base + "/" + kDemoPhongFolder), 0);
    chooseMap(app, MapKind::Phong, 0);
    frame.resizeView(ViewId::ModelView, 403, 60);
    platform.refreshes.clear();
  }

  void snap(SnapshotValues values, const std::string& name, int filter = 1) {
    platform.snapshotAnswers.push_back(values);
    platform.answerFile(dir.file(name), filter);
    run(kSnapshot);
  }
  ModelView& view() { return *frame.modelView(); }
};

TEST_F(Snapshot, EightBitAtTheViewsSizeIsTheViewUpsideDown) {
  ASSERT_EQ(view().viewWidth(), 404);  // rounded up from 403
  snap({}, "shot");                    // no extension: the first filter's
  SkinDecodeResult shot = decodeSkinImage(readWholeFile(dir.file("shot.bmp")).bytes);
  ASSERT_TRUE(shot.skin);
  ASSERT_EQ(std::tuple(shot.skin->width, shot.skin->height), std::tuple(404, 60));
  EXPECT_EQ(shot.skin->palette, view().viewPalette());
  for (int row = 0; row < 60; ++row)
    for (int x = 0; x < 404; x += 3)
      ASSERT_EQ(shot.skin->pixel(x, 59 - row), view().pixels()[static_cast<size_t>(row * 404 + x)]);
}

TEST_F(Snapshot, CustomSizeRendersApartAndGivesTheViewBack) {
  const std::vector<std::uint8_t> before(view().pixels().begin(), view().pixels().end());
  struct Case {
    int width, height;
    bool accepted;
  } cases[] = {{16, 2048, true}, {2048, 16, true}, {15, 16, false}, {16, 2049, false}};
  for (const Case& c : cases) {
    platform.messages.clear();
    platform.fileAnswers.clear();  // a refused size never opens the file dialog
    std::filesystem::remove(dir.file("custom.pcx"));
    snap({true, c.width, c.height, false, false, 0}, "custom", 2);
    EXPECT_EQ(platform.messageTexts(), c.accepted ? Messages{} : Messages{kSnapshotSizeMessage});
    SkinDecodeResult shot = decodeSkinImage(readWholeFile(dir.file("custom.pcx")).bytes);
    EXPECT_EQ(shot.skin ? std::pair(shot.skin->width, shot.skin->height) : std::pair(0, 0),
              c.accepted ? std::pair(c.width, c.height) : std::pair(0, 0));
  }
  EXPECT_EQ(view().viewWidth(), 404);
  EXPECT_TRUE(std::equal(before.begin(), before.end(), view().pixels().begin()));
}

TEST_F(Snapshot, TrueColourWritesAPaddedBmpUnderItsOwnExtension) {
  app.blendAmount = 0.3;
  snap({true, 18, 16, true, true, 0}, "colour.pcx", 2);
  EXPECT_FALSE(std::filesystem::exists(dir.file("colour.pcx")));
  const Bytes b = readWholeFile(dir.file("colour.bmp")).bytes;
  ASSERT_EQ(b.size(), 54u + 56u * 16u);  // 18 pixels: 54 bytes and 2 of padding a row
  EXPECT_EQ(std::string(b.begin(), b.begin() + 2), "BM");
  const std::vector<std::pair<size_t, std::uint32_t>> fields = {
      {2, 54 + 56 * 16}, {6, 0},  {10, 54},  {14, 40},  {18, 18}, {22, 16},
      {30, 0},           {34, 0}, {38, 100}, {42, 100}, {46, 0},  {50, 0}};
  for (const auto& [at, value] : fields) EXPECT_EQ(readU32(&b[at]), value) << at;
  EXPECT_EQ(readU32(&b[26]), 1u | 24u << 16);  // one plane, 24 bits
  for (size_t row = 0; row < 16; ++row) EXPECT_EQ(b[54 + row * 56 + 54] | b[54 + row * 56 + 55], 0);
  // Something was drawn, and the gauge is back where it was.
  EXPECT_TRUE(std::any_of(b.begin() + 54, b.end(), [](std::uint8_t v) { return v != 0; }));
  EXPECT_DOUBLE_EQ(app.blendAmount, 0.3);
  EXPECT_EQ(platform.statusTexts.front(), "Snapshot: 0%");
  EXPECT_EQ(platform.refreshes.back(), (test::RecordedRefresh{0, kRefreshGradientBox, false}));

  // ImageMagick agrees, where it is installed.
  if (std::system("command -v identify >/dev/null 2>&1") == 0) {
    const std::string command =
        "identify -format '%w %h %z' " + dir.file("colour.bmp") + " > " + dir.file("id.txt");
    ASSERT_EQ(std::system(command.c_str()), 0);
    FileReadResult id = readWholeFile(dir.file("id.txt"));
    EXPECT_EQ(std::string(id.bytes.begin(), id.bytes.end()), "18 16 8");
  }
}

TEST_F(Snapshot, TrueColourNeedsItsInputsAndReportsWriteFailures) {
  snap({true, 32, 32, true, true, 5000}, "missing/colour.bmp");
  EXPECT_EQ(platform.messageTexts(), std::vector<std::string>{kSnapshotErrorMessage});

  // Without a phong map nothing is written and nothing is said.
  platform.messages.clear();
  while (app.phongMaps.current) closeMap(app, MapKind::Phong);
  snap({true, 32, 32, true, true, 0}, "none.bmp");
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_FALSE(std::filesystem::exists(dir.file("none.bmp")));
}

TEST(SnapshotRules, SmoothingNameAndLightTable) {
  EXPECT_DOUBLE_EQ(smoothingExponentFor(0), 1.0);
  EXPECT_DOUBLE_EQ(smoothingExponentFor(9999), 13.49875);
  EXPECT_EQ(trueColourSnapshotPath("/a.pcx/b"), "/a.pcx/b");

  // Column 3 holds entry 5 for rows 0..9, then 7: a ten-step ramp, then flat.
  Skin colormap;
  allocateSkin(colormap, 256, 64);
  for (size_t row = 0; row < 64; ++row) colormap.pixels[row * 256 + 3] = row < 10 ? 5 : 7;
  Palette palette{};
  palette[21] = 100;
  palette[22] = 200;
  palette[23] = 55;
  const std::vector<std::uint8_t> table = buildLightTableRgb(colormap, palette);
  const std::array<int, 4> expected[] = {
      {0, 0, 0, 0}, {1, 10, 20, 5}, {9, 90, 180, 49}, {10, 100, 200, 55}, {63, 100, 200, 55}};
  for (const auto& [row, r, g, b] : expected) {
    const size_t at = (static_cast<size_t>(row) * 256 + 3) * 3;
    EXPECT_EQ((std::array<int, 3>{table[at], table[at + 1], table[at + 2]}),
              (std::array<int, 3>{r, g, b}))
        << row;
  }
}

}  // namespace
}  // namespace pelt
