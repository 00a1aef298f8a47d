#include "support/gl_commands_oracle.h"

#include <array>
#include <bit>
#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <utility>

namespace pelt::test {

namespace {

using Corner = std::pair<std::int16_t, std::int16_t>;

Corner corner(const Model& model, int t, int k) {
  const ModelTriangle& tri = model.triangles[t];
  return {tri.vertexIndex[k % 3], tri.stIndex[k % 3]};
}

}  // namespace

std::vector<std::int32_t> literalGlCommands(const Model& model) {
  struct Run {
    bool fan = true;
    std::vector<Corner> vertices;
    std::vector<int> triangles;
  };
  const int count = model.triangleCount;
  std::vector<int> used(count, 0);  // 1 taken, 2 in the run being tried
  std::vector<std::int32_t> out;
  for (int i = 0; i < count; ++i) {
    if (used[i] != 0) continue;
    Run best;
    for (bool fan : {true, false}) {
      for (int c = 0; c < 3; ++c) {
        used[i] = 2;
        Run run{fan, {corner(model, i, c), corner(model, i, c + 1), corner(model, i, c + 2)}, {i}};
        Corner m1 = fan ? corner(model, i, c) : corner(model, i, c + 2);
        Corner m2 = fan ? corner(model, i, c + 2) : corner(model, i, c + 1);
        for (;;) {
          int foundJ = -1, foundK = -1;
          for (int j = i + 1; j < count && foundJ < 0; ++j)
            for (int k = 0; k < 3 && foundJ < 0; ++k)
              if (corner(model, j, k) == m1 && corner(model, j, k + 1) == m2) {
                foundJ = j;
                foundK = k;
              }
          if (foundJ < 0 || used[foundJ] != 0) break;
          Corner next = corner(model, foundJ, foundK + 2);
          (!fan && run.triangles.size() % 2 == 0 ? m1 : m2) = next;
          run.vertices.push_back(next);
          run.triangles.push_back(foundJ);
          used[foundJ] = 2;
        }
        for (int t = i + 1; t < count; ++t)
          if (used[t] == 2) used[t] = 0;
        if (run.triangles.size() > best.triangles.size()) best = run;
      }
    }
    for (int t : best.triangles) used[t] = 1;
    const int length = static_cast<int>(best.vertices.size());
    out.push_back(best.fan ? -length : length);
    for (const auto& [vertex, st] : best.vertices) {
      const StCoord& coord = model.stCoords[st];
      out.push_back(
          std::bit_cast<std::int32_t>(static_cast<float>((coord.s + 0.5) / model.skinWidth)));
      out.push_back(
          std::bit_cast<std::int32_t>(static_cast<float>((coord.t + 0.5) / model.skinHeight)));
      out.push_back(vertex);
    }
  }
  out.push_back(0);
  return out;
}

void randomSmallMesh(Model& model, std::uint32_t seed) {
  std::mt19937 rng(seed);
  auto below = [&](int n) { return static_cast<int>(rng() % static_cast<std::uint32_t>(n)); };
  model.vertexCount = 2 + below(5);
  model.stCount = 1 + below(5);
  model.skinWidth = 64;
  model.skinHeight = 32;
  // Values from a 2 x 2 grid: equal (s, t) under different indices is common.
  for (int s = 0; s < model.stCount; ++s)
    model.stCoords[s] = {static_cast<std::int16_t>(below(2) * 8),
                         static_cast<std::int16_t>(below(2) * 8)};
  model.triangleCount = 1 + below(40);
  auto randomCorner = [&]() -> Corner {
    return {static_cast<std::int16_t>(below(model.vertexCount)),
            static_cast<std::int16_t>(below(model.stCount))};
  };
  for (int t = 0; t < model.triangleCount; ++t) {
    std::array<Corner, 3> c{randomCorner(), randomCorner(), randomCorner()};
    if (t > 0 && below(3) != 0) {
      // Turn an edge of an earlier triangle around, as a neighbour would.
      const int from = below(t), k = below(3);
      c[0] = corner(model, from, k + 1);
      c[1] = corner(model, from, k);
    }
    if (below(8) == 0) c[2] = c[below(2)];
    const int turn = below(3);
    ModelTriangle& tri = model.triangles[t];
    tri = ModelTriangle{};
    for (int k = 0; k < 3; ++k) std::tie(tri.vertexIndex[k], tri.stIndex[k]) = c[(k + turn) % 3];
  }
}

void connectedGridMesh(Model& model, int triangles, std::uint32_t seed) {
  std::mt19937 rng(seed);
  const int quads = triangles / 2;
  const int columns = std::max(1, static_cast<int>(std::sqrt(quads * 2.0)));
  const int rows = (quads + columns - 1) / columns;
  model.vertexCount = (columns + 1) * (rows + 1);
  model.skinWidth = model.skinHeight = 256;
  model.stCount = model.vertexCount;
  auto at = [&](int x, int y) { return static_cast<std::int16_t>(y * (columns + 1) + x); };
  for (int y = 0; y <= rows; ++y)
    for (int x = 0; x <= columns; ++x)
      model.stCoords[at(x, y)] = {static_cast<std::int16_t>(x * 255 / columns),
                                  static_cast<std::int16_t>(y * 255 / rows)};
  model.triangleCount = 0;
  auto add = [&](std::array<std::int16_t, 3> v, std::array<std::int16_t, 3> st) {
    ModelTriangle& tri = model.triangles[model.triangleCount++];
    tri = ModelTriangle{};
    tri.vertexIndex = v;
    tri.stIndex = st;
  };
  for (int q = 0; q < quads; ++q) {
    const int x = q % columns, y = q / columns;
    std::array<std::int16_t, 4> v{at(x, y), at(x + 1, y), at(x, y + 1), at(x + 1, y + 1)};
    std::array<std::int16_t, 4> st = v;
    if (rng() % 16 == 0) {
      // A seam: this quad's corners get st entries of their own, one texel over.
      for (auto& s : st) {
        StCoord moved = model.stCoords[s];
        ++moved.s;
        model.stCoords[model.stCount] = moved;
        s = static_cast<std::int16_t>(model.stCount++);
      }
    }
    if (rng() % 2 == 0) {
      add({v[0], v[1], v[3]}, {st[0], st[1], st[3]});
      add({v[0], v[3], v[2]}, {st[0], st[3], st[2]});
    } else {
      add({v[0], v[1], v[2]}, {st[0], st[1], st[2]});
      add({v[1], v[3], v[2]}, {st[1], st[3], st[2]});
    }
  }
}

Md2Data connectedGridMd2(int triangles, std::uint32_t seed, int frames) {
  const auto model = std::make_unique<Model>();
  connectedGridMesh(*model, triangles, seed);
  Md2Data data;
  data.skinWidth = data.skinHeight = 256;  // as the grid mesh
  data.vertexCount = model->vertexCount;
  data.st.assign(model->stCoords.begin(), model->stCoords.begin() + model->stCount);
  for (int t = 0; t < model->triangleCount; ++t)
    data.triangles.push_back({model->triangles[t].vertexIndex, model->triangles[t].stIndex});
  for (int f = 0; f < frames; ++f) {
    Md2Frame& frame = data.frames.emplace_back(
        Md2Frame{{0.25f, 0.25f, 0.25f}, {}, "frame" + std::to_string(f), {}});
    for (int v = 0; v < data.vertexCount; ++v) {
      const StCoord& st = model->stCoords[v];
      frame.vertices.push_back({{static_cast<std::uint8_t>(st.s), static_cast<std::uint8_t>(st.t),
                                 static_cast<std::uint8_t>((v * 7 + f) & 0xFF)},
                                0});
    }
  }
  return data;
}

}  // namespace pelt::test
