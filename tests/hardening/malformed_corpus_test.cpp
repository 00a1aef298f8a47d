// Every malformed file goes through the path a user would take: File/Open's
// loader for models, Skins/Open for images, Re-Palette for palettes.

#include "support/malformed_corpus.h"

#include <gtest/gtest.h>

#include "app/app.h"
#include "app/model_loading.h"
#include "app/palette_commands.h"
#include "app/skin_commands.h"
#include "platform/settings_keys.h"
#include "support/fixtures.h"
#include "support/scripted_platform.h"

namespace pelt::test {
namespace {

// Everything a refused file must leave as it was.
std::string fingerprint(const App& app) {
  const Model& m = app.model;
  std::string out(app.rawModelImage.begin(), app.rawModelImage.end());
  auto add = [&out](const auto* data, size_t count) {
    out.append(reinterpret_cast<const char*>(data), count * sizeof(*data));
  };
  add(&m.currentSkinIndex, 1);
  add(m.stCoords.data(), static_cast<size_t>(m.stCount));
  for (int i = 0; i < m.triangleCount; ++i) add(m.triangles[i].vertexIndex.data(), 3);
  for (const ModelFrame& f : m.frames) add(f.vertices.data(), f.vertices.size());
  for (const auto& skin : m.skins) {
    out += skin->name;
    add(skin->pixels.data(), skin->pixels.size());
    add(skin->palette.data(), skin->palette.size());
  }
  return out;
}

// Runs one file through its path; returns whether it was taken.
bool offer(App& app, ScriptedPlatform& platform, const CorpusFile& file, const std::string& path) {
  if (file.kind == CorpusKind::Md2) return loadMd2(app, path);
  platform.answerFile(path);
  if (file.kind == CorpusKind::Palette) {
    rePalette(app);
    return platform.messages.empty();
  }
  const size_t before = app.model.skins.size();
  openSkin(app);
  return app.model.skins.size() != before ||
         platform.messageTexts() == std::vector<std::string>{kWrongDimensionsMessage};
}

TEST(MalformedCorpus, EachFileIsRefusedWithItsMessageOrTakenSanely) {
  TempDir dir;
  ScriptedPlatform platform;
  App app{platform};
  app.baseFolder = app.loadFolder = dir.path();
  platform.writeInt(settings::kPreferences, settings::kDirScanPrompt, 1);
  const std::vector<CorpusFile> corpus = malformedCorpus();
  const std::vector<std::string> paths = writeCorpus(dir.path(), corpus);
  const std::string goodModel =
      dir.write("good.md2",
                encodeMd2(quadStripMd2(3, kCorpusSkinSide, kCorpusSkinSide, {kCorpusSkinName}, 2)));
  ASSERT_GE(corpus.size(), 60u);
  for (size_t i = 0; i < corpus.size(); ++i) {
    const CorpusFile& file = corpus[i];
    SCOPED_TRACE(file.name);
    ASSERT_TRUE(loadMd2(app, goodModel));
    platform.messages.clear();
    const std::string before = fingerprint(app);
    EXPECT_EQ(offer(app, platform, file, paths[i]), !file.refused);
    if (file.refused) {
      EXPECT_EQ(platform.messageTexts(), file.message.empty()
                                             ? std::vector<std::string>{}
                                             : std::vector<std::string>{file.message});
      EXPECT_EQ(fingerprint(app), before);
      continue;
    }
    for (const std::string& text : platform.messageTexts())
      EXPECT_TRUE(text == kMissingSkinMessage || text == kWrongSkinSizeMessage ||
                  text == kWrongDimensionsMessage)
          << text;
    EXPECT_EQ(modelFault(app.model, true), "");
    // Names that point outside the base folder or at special files become
    // stand-ins, never reads.
    if (file.name.starts_with("skin_name_")) {
      ASSERT_EQ(app.model.skins.size(), 1u);
      EXPECT_FALSE(app.model.skins[0]->hasFile);
    }
  }
}

}  // namespace
}  // namespace pelt::test
