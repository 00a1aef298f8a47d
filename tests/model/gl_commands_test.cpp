#include "model/gl_commands.h"

#include <gtest/gtest.h>

#include <bit>
#include <climits>

#include "support/gl_commands_oracle.h"

namespace pelt {
namespace {

using Tri = std::array<std::int16_t, 6>;  // vertex indices, then st indices

// The model's st entry i is (8 i, 4 i).
std::unique_ptr<Model> meshOf(const std::vector<Tri>& tris) {
  auto model = std::make_unique<Model>();
  model->skinWidth = 256;
  model->skinHeight = 128;
  model->vertexCount = model->stCount = 16;
  for (int i = 0; i < 16; ++i)
    model->stCoords[static_cast<size_t>(i)] = {static_cast<std::int16_t>(8 * i),
                                               static_cast<std::int16_t>(4 * i)};
  for (const Tri& t : tris) {
    ModelTriangle& tri = model->triangles[static_cast<size_t>(model->triangleCount++)];
    tri.vertexIndex = {t[0], t[1], t[2]};
    tri.stIndex = {t[3], t[4], t[5]};
  }
  return model;
}

TEST(GlCommands, OneTriangleWordForWord) {
  auto model = meshOf({{4, 5, 6, 0, 1, 2}});
  model->stCoords[1] = {255, 127};
  model->stCoords[2] = {16, 8};
  std::vector<std::int32_t> words;
  ASSERT_EQ(buildGlCommands(*model, words), 11);
  auto f = [](float v) { return std::bit_cast<std::int32_t>(v); };
  EXPECT_EQ(words,
            (std::vector<std::int32_t>{-3, f(0.001953125f), f(0.00390625f), 4, f(255.5f / 256),
                                       f(127.5f / 128), 5, f(16.5f / 256), f(8.5f / 128), 6, 0}));
}

// The list once stopped at a fixed word limit. Copies whose edges all run
// the same way share none: 4096 separate fans.
TEST(GlCommands, BufferGrowsPastTheOldWordLimit) {
  auto model = meshOf(std::vector<Tri>(kMaxTriangles, Tri{0, 1, 2, 0, 1, 2}));
  std::vector<std::int32_t> words;
  EXPECT_EQ(buildGlCommands(*model, words), 40961);
  EXPECT_EQ(glCommandStats(words).fans, kMaxTriangles);
}

TEST(GlCommands, MatchesTheLiteralSearchOnRandomMeshes) {
  for (std::uint32_t seed = 1; seed <= 1500; ++seed) {
    Model model;
    test::randomSmallMesh(model, seed);
    std::vector<std::int32_t> words;
    buildGlCommands(model, words);
    ASSERT_EQ(words, test::literalGlCommands(model)) << "seed " << seed;
  }
  for (auto [triangles, seed] : {std::pair{2, 1u}, {64, 2u}, {1000, 3u}, {4096, 4u}}) {
    Model model;
    test::connectedGridMesh(model, triangles, seed);
    std::vector<std::int32_t> words;
    buildGlCommands(model, words);
    ASSERT_EQ(words, test::literalGlCommands(model)) << triangles;
  }
}

TEST(GlCommands, StatisticsDistrustTheList) {
  using Words = std::vector<std::int32_t>;
  const Words fanThenStrip{-3, 0, 0, 1, 0, 0, 2, 0, 0, 3, 4, 0, 0, 1, 0, 0, 2, 0, 0, 3, 0, 0, 4, 0};
  const GlCommandStats good = glCommandStats(fanThenStrip);
  EXPECT_EQ(std::tuple(good.fans, good.strips, good.vertices, good.wellFormed, good.words),
            std::tuple(1, 1, 7, true, 24));
  for (const Words& bad :
       {Words{4, 0, 0, 1, 0}, Words{INT_MIN, 0}, Words{-3, 0, 0, 1, 0, 0, 2, 0, 0, 3}, Words{}})
    EXPECT_FALSE(glCommandStats(bad).wellFormed) << ::testing::PrintToString(bad);
}

}  // namespace
}  // namespace pelt
