// Every malformed file goes through the path a user would take: File/Open's
// loader for models, Skins/Open for images, Re-Palette for palettes.

#include "support/malformed_corpus.h"

#include <gtest/gtest.h>

#include <sstream>

#include "app/app.h"
#include "app/model_loading.h"
#include "app/palette_commands.h"
#include "app/skin_commands.h"
#include "platform/settings_keys.h"
#include "skins/skin_image.h"
#include "support/fixtures.h"
#include "support/model_invariants.h"
#include "support/scripted_platform.h"

namespace pelt::test {
namespace {

// Everything a refused file must leave as it was.
std::string fingerprint(const App& app) {
  const Model& m = app.model;
  std::ostringstream out;
  out << m.vertexCount << ' ' << m.triangleCount << ' ' << m.stCount << ' ' << m.skinWidth << ' '
      << m.currentSkinIndex << ' ' << m.frames.size() << ' ' << app.rawModelImage.size() << '\n';
  for (int i = 0; i < m.stCount; ++i)
    out << m.stCoords[static_cast<size_t>(i)].s << ',' << m.stCoords[static_cast<size_t>(i)].t
        << ' ';
  for (int i = 0; i < m.triangleCount; ++i)
    for (auto v : m.triangles[static_cast<size_t>(i)].vertexIndex) out << v << ' ';
  for (const ModelFrame& f : m.frames)
    for (const Vec3& v : f.vertices) out << v.x << ' ' << v.y << ' ' << v.z << ' ';
  for (const auto& skin : m.skins) {
    out << skin->name << ' ' << skin->pixels.size() << ' ';
    out.write(reinterpret_cast<const char*>(skin->pixels.data()),
              static_cast<std::streamsize>(skin->pixels.size()));
    out.write(reinterpret_cast<const char*>(skin->palette.data()), 768);
  }
  return out.str();
}

class MalformedCorpus : public ::testing::Test {
 protected:
  MalformedCorpus() {
    app.baseFolder = dir.path();
    app.loadFolder = dir.path();
    platform.writeInt(settings::kPreferences, settings::kDirScanPrompt, 1);
    paths = writeCorpus(dir.path(), corpus);
    goodModel = dir.write("good.md2", encodeMd2(quadStripMd2(3, kCorpusSkinSide, kCorpusSkinSide,
                                                             {kCorpusSkinName}, 2)));
  }

  void loadGoodModel() {
    ASSERT_TRUE(loadMd2(app, goodModel));
    platform.messages.clear();
  }

  // Runs one file through its path; returns whether it was taken.
  bool offer(const CorpusFile& file, const std::string& path) {
    switch (file.kind) {
      case CorpusKind::Md2:
        return loadMd2(app, path);
      case CorpusKind::Skin: {
        const size_t before = app.model.skins.size();
        platform.answerFile(path);
        openSkin(app);
        return app.model.skins.size() != before ||
               (!platform.messages.empty() &&
                platform.messages.back().text == kWrongDimensionsMessage);
      }
      case CorpusKind::Palette: {
        platform.answerFile(path);
        rePalette(app);
        return platform.messages.empty();
      }
    }
    return false;
  }

  TempDir dir;
  ScriptedPlatform platform;
  App app{platform};
  std::vector<CorpusFile> corpus = malformedCorpus();
  std::vector<std::string> paths;
  std::string goodModel;
};

TEST_F(MalformedCorpus, EachFileIsRefusedWithItsMessageOrTakenSanely) {
  ASSERT_GE(corpus.size(), 60u);
  for (size_t i = 0; i < corpus.size(); ++i) {
    const CorpusFile& file = corpus[i];
    SCOPED_TRACE(file.name);
    loadGoodModel();
    const std::string before = fingerprint(app);
    const bool taken = offer(file, paths[i]);
    EXPECT_EQ(taken, !file.refused);
    if (file.refused) {
      const std::vector<std::string> expected = file.message.empty()
                                                    ? std::vector<std::string>{}
                                                    : std::vector<std::string>{file.message};
      EXPECT_EQ(platform.messageTexts(), expected);
      EXPECT_EQ(fingerprint(app), before);
      continue;
    }
    for (const std::string& text : platform.messageTexts())
      EXPECT_TRUE(text == kMissingSkinMessage || text == kWrongSkinSizeMessage ||
                  text == kWrongDimensionsMessage)
          << text;
    EXPECT_EQ(modelFault(app.model, true), "");
  }
}

// Names that point outside the base folder or at special files become
// stand-ins, never reads.
TEST_F(MalformedCorpus, HostileSkinNamesBecomeStandIns) {
  for (size_t i = 0; i < corpus.size(); ++i) {
    if (corpus[i].name.rfind("skin_name_", 0) != 0) continue;
    SCOPED_TRACE(corpus[i].name);
    ASSERT_TRUE(loadMd2(app, paths[i]));
    ASSERT_EQ(app.model.skins.size(), 1u);
    EXPECT_FALSE(app.model.skins[0]->hasFile);
  }
}

}  // namespace
}  // namespace pelt::test
