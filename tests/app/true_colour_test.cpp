// PNG and TGA skins and true-colour pictures, through the command table:
// the question before reducing, a model's skins found as x.png or x.tga,
// saving in the format asked for, and Export True Colour.
#include "app/true_colour.h"

#include <filesystem>

#include "app/frame_lists.h"
#include "frame_fixture.h"
#include "skins/colour_reduction.h"
#include "skins/png_file.h"
#include "skins/tga_file.h"

namespace pelt {
namespace {

using test::patternSkin;
using Messages = std::vector<std::string>;

enum : int { kOpen = 32777, kSave = 32783, kSaveAs = 32784, kExport = 33320 };

class TrueColour : public test::FrameTest {
 protected:
  Skin decoded(const std::string& path) {
    SkinDecodeResult got = decodeSkinImage(readWholeFile(path).bytes);
    EXPECT_TRUE(got.skin) << path << got.message;
    return got.skin ? *got.skin : Skin{};
  }
};

// The picture holds only palette colours, so both ways give its indices;
// keeping protected colours out moves those pixels to other entries.
TEST_F(TrueColour, OpenAsksHowToReduceAndSaysHowManyColoursThePictureHad) {
  loadStrip();
  const Skin painted = patternSkin(16, 8, 5);
  const TrueColourPicture picture = pictureOfSkin(painted);
  const std::string path = dir.write("pic.png", encodeRgbPng(picture));
  platform.reduceAnswers = {std::nullopt, ReduceColoursValues{0, true, false},
                            ReduceColoursValues{0, false, true}};
  app.protectedColors[painted.pixels[0]] = 1;
  for (int i = 0; i < 3; ++i) {
    platform.answerFile(path);
    run(kOpen);
  }
  EXPECT_EQ(platform.reduceColourCounts, std::vector<int>(3, countColours(picture)));
  ASSERT_EQ(app.model.skins.size(), 3u);  // the cancelled one was not added
  EXPECT_EQ(app.model.skins[1]->pixels, painted.pixels);
  EXPECT_EQ(app.model.skins[1]->fileFormat, kFormatPng);
  EXPECT_NE(skin().pixels[0], painted.pixels[0]);
  EXPECT_EQ(std::count(skin().pixels.begin(), skin().pixels.end(), painted.pixels[0]), 0);
  EXPECT_EQ(platform.statusText, "The picture had " + std::to_string(countColours(picture)) +
                                     " colours; reduced to the palette by nearest colour");
  EXPECT_EQ(platform.messages.size(), 0u);

  // Save does not write the reduced skin over the picture: it asks for a name.
  platform.answerFile(dir.file("kept.png"));
  run(kSave);
  EXPECT_EQ(readWholeFile(path).bytes, encodeRgbPng(picture));
  EXPECT_EQ(decoded(dir.file("kept.png")).pixels, skin().pixels);
}

TEST_F(TrueColour, ModelSkinsFallBackToPngThenTgaAndAreSavedBackThere) {
  const std::string m = "baseq2/models/m/";
  dir.write("baseq2/pics/colormap.pcx",
            encodeSkinPcx(patternSkin(256, 64)));  // the default palette
  dir.write(m + "a.png", encodeSkinPng(patternSkin(16, 8, 2)));
  dir.write(m + "a.tga", encodeSkinTga(patternSkin(16, 8, 3)));
  dir.write(m + "b.tga", encodeRgbTga(pictureOfSkin(patternSkin(16, 8, 4))));
  dir.write(m + "c.pcx", encodeSkinPcx(patternSkin(16, 8, 6)));
  const std::string model = dir.write(
      m + "tris.md2", encodeMd2(test::quadStripMd2(
                          2, 16, 8, {"models/m/a.pcx", "models/m/b.pcx", "models/m/c.pcx"})));
  ASSERT_TRUE(loadMd2(app, model));
  EXPECT_EQ(platform.messageTexts(),
            Messages{std::string(kReducedSkinsMessage) + "\n" + dir.file(m + "b.tga")});
  EXPECT_EQ(listContents(app, FrameList::Skins).entries,
            (Messages{"  models/m/a.pcx (a.png)", "  models/m/b.pcx (b.tga)", "  models/m/c.pcx"}));
  EXPECT_EQ(app.model.skins[0]->pixels, patternSkin(16, 8, 2).pixels);
  EXPECT_EQ(app.model.skins[1]->pixels, patternSkin(16, 8, 4).pixels);

  skin().pixels[3] = 9;
  run(kSave);
  EXPECT_FALSE(std::filesystem::exists(dir.file(m + "a.pcx")));
  EXPECT_EQ(decoded(dir.file(m + "a.png")).pixels, skin().pixels);

  // A typed extension names the format over the filter; none typed, the filter does.
  const std::tuple<std::string, int, std::string, std::uint8_t> saves[] = {
      {"models/m/x.tga", 1, "models/m/x.tga", kFormatTga},
      {"models/m/y", 4, "models/m/y.png", kFormatPng},
      {"models/m/w", 3, "models/m/w.png", kFormatPng},  // All Files: the skin's own format
      {"models/m/z.BMP", 5, "models/m/z.BMP", kFormatBmp},
  };
  for (const auto& [typed, filter, written, format] : saves) {
    platform.answerFile(app.baseFolder + "/" + typed, filter);
    run(kSaveAs);
    EXPECT_EQ(decoded(app.baseFolder + "/" + written).fileFormat, format) << typed;
    EXPECT_EQ(skin().readInstead, "");
  }

  platform.answerFile(dir.file("export"), 2);
  run(kExport);
  SkinDecodeResult exported = decodeSkinImage(readWholeFile(dir.file("export.tga")).bytes);
  ASSERT_TRUE(exported.picture);
  EXPECT_EQ(exported.picture->rgb, pictureOfSkin(skin()).rgb);
}

}  // namespace
}  // namespace pelt
