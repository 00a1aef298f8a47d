// Map from 3D View: the selected triangles laid out in the mapping rectangle
// as the initial camera sees them (+y to the right, +z up).
#include "view3d/map_from_view.h"

#include <gtest/gtest.h>

#include <vector>

#include "model/model.h"

namespace pelt {
namespace {

constexpr MapCamera kCamera{64, 48, {100, 0, 0}, {0, 0, 0}, 33.0f};

// Triangles over the given frame vertices, the first `selected` of them
// selected, each corner on its own st entry (s = 200 + 3 * triangle + corner).
struct Scene {
  Model model;

  Scene(std::vector<Vec3> vertices, std::vector<std::array<std::int16_t, 3>> tris, int selected) {
    model.frames.push_back(ModelFrame{"f", vertices});
    model.vertexCount = static_cast<int>(vertices.size());
    model.triangleCount = static_cast<int>(tris.size());
    for (size_t i = 0; i < tris.size(); ++i) {
      ModelTriangle& t = model.triangles[i];
      t.vertexIndex = tris[i];
      t.flags = static_cast<int>(i) < selected ? std::uint32_t{kTriangleSelected} : 0u;
      for (size_t k = 0; k < 3; ++k)
        t.cornerSt[k] = {static_cast<std::int16_t>(200 + 3 * i + k), 90};
    }
    rebuildStIndices(model);
  }
  std::array<StCoord, 3> corners(int i) const {
    return model.triangles[static_cast<size_t>(i)].cornerSt;
  }
};

bool near(int value, int edge) { return value == edge || value == edge - 1; }

TEST(MapFromView, OptionsTurnAndSkipTheLayout) {
  // Corners: bottom-left, top-left, bottom-right on screen; it faces the eye.
  const std::vector<Vec3> facing = {{0, 0, 0}, {0, 0, 10}, {0, 10, 0}};
  const std::vector<Vec3> away = {{0, 0, 0}, {0, 10, 0}, {0, 0, 10}};
  struct Case {
    const char* what;
    bool facing, noBackfaces, flip, mirror;
    MapRectangle rect;
    std::array<int, 6> expected;  // s, t of the three corners; -1: as before
  };
  // clang-format off
  const Case cases[] = {
      {"plain", true, false, false, false, {10, 10, 74, 74}, {10, 74, 10, 10, 74, 74}},
      {"mirror", true, false, false, true, {0, 0, 100, 50}, {100, 50, 100, 0, 0, 50}},
      {"flip", true, false, true, false, {0, 0, 100, 50}, {0, 0, 0, 50, 100, 0}},
      {"reversed", true, false, false, false, {74, 74, 10, 10}, {10, 74, 10, 10, 74, 74}},
      {"back face", false, false, false, false, {0, 0, 100, 50}, {0, 50, 100, 50, 0, 0}},
      {"back skipped", false, true, false, false, {0, 0, 100, 50}, {-1, -1, -1, -1, -1, -1}},
      {"front face kept", true, true, false, false, {0, 0, 100, 50}, {0, 50, 0, 0, 100, 50}},
      {"empty rectangle", true, false, false, false, {7, 9, 7, 9}, {7, 9, 7, 9, 7, 9}},
  };
  // clang-format on
  for (const Case& c : cases) {
    Scene scene(c.facing ? facing : away, {{0, 1, 2}}, 1);
    const auto before = scene.corners(0);
    MapFromViewValues options = defaultMapFromViewValues();
    options.noBackfaces = c.noBackfaces, options.flip = c.flip, options.mirror = c.mirror;
    MapRectangle rect = c.rect;
    ASSERT_TRUE(mapFromView(scene.model, kCamera, rect, options)) << c.what;
    EXPECT_TRUE(rect.x0 <= rect.x1 && rect.y0 <= rect.y1) << c.what;
    const auto got = scene.corners(0);
    for (size_t k = 0; k < 3; ++k) {
      const int s = c.expected[2 * k] < 0 ? before[k].s : c.expected[2 * k];
      const int t = c.expected[2 * k + 1] < 0 ? before[k].t : c.expected[2 * k + 1];
      // The far edges may fall one short of the rectangle.
      EXPECT_TRUE(s == got[k].s || (s > rect.x0 && near(got[k].s, s))) << c.what << " s" << k;
      EXPECT_TRUE(t == got[k].t || (t > rect.y0 && near(got[k].t, t))) << c.what << " t" << k;
    }
  }
}

TEST(MapFromView, EachProjectionDoesWhatItsButtonSaysAndSharedEdgesStayShared) {
  // A quad standing on z = 0 whose right edge is twice as near: in
  // perspective that edge looks twice as tall, so the far top corner lands
  // halfway down the rectangle. A third, unselected, triangle shares the edge.
  Scene scene({{0, 0, 0}, {0, 0, 10}, {50, 10, 10}, {50, 10, 0}}, {{0, 1, 2}, {0, 2, 3}, {3, 2, 1}},
              2);
  MapFromViewValues options = defaultMapFromViewValues();
  EXPECT_EQ(options.projection, kProjectionParallel);
  MapRectangle rect{0, 0, 100, 100};
  ASSERT_TRUE(mapFromView(scene.model, kCamera, rect, options));
  EXPECT_EQ(scene.corners(0)[1], (StCoord{0, 0}));
  EXPECT_EQ(scene.corners(0)[2].t, 0);
  // Shared edges stay shared; the unselected triangle keeps its own entries.
  const auto& t = scene.model.triangles;
  EXPECT_EQ(t[0].stIndex[0], t[1].stIndex[0]);
  EXPECT_EQ(t[0].stIndex[2], t[1].stIndex[1]);
  EXPECT_EQ(t[2].cornerSt[0], (StCoord{206, 90}));
  EXPECT_EQ(scene.model.stCount, 4 + 3);

  options.projection = kProjectionPerspective;
  ASSERT_TRUE(mapFromView(scene.model, kCamera, rect, options));
  EXPECT_EQ(scene.corners(0)[1].s, 0);
  EXPECT_TRUE(near(scene.corners(0)[1].t, 50)) << scene.corners(0)[1].t;
  EXPECT_EQ(scene.corners(0)[2].t, 0);
  EXPECT_TRUE(near(scene.corners(0)[2].s, 100));
  EXPECT_TRUE(near(scene.corners(1)[2].t, 100));
}

}  // namespace
}  // namespace pelt
