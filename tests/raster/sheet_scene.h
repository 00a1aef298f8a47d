#pragma once
// The benchmark's inputs, shared with the golden-output test so the figures
// and the checksum describe the same work: a 256x256 skin, an 8-bit shade
// map, 64-row colormaps (indexed and RGB) and a jittered sheet of about 2000
// front-facing triangles over the middle half of a 1024x768 target.

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "raster/screen_vertex.h"
#include "raster/texture_view.h"

namespace pelt::test {

struct SheetScene {
  static constexpr int kWidth = 1024;
  static constexpr int kHeight = 768;
  static constexpr int kSkin = 256;
  static constexpr int kColumns = 40;  // 40 x 25 cells, two triangles each
  static constexpr int kRows = 25;

  SheetScene()
      : skin(kSkin * kSkin),
        skinRows(kSkin),
        shadeMap(kShadeMapSize * kShadeMapSize),
        colormap(64 * 256),
        colormapRgb(64 * 256 * 3) {
    std::mt19937 rng(1234);
    std::uniform_int_distribution<int> byte(0, 255);
    for (auto& t : skin) t = static_cast<std::uint8_t>(byte(rng));
    for (int r = 0; r < kSkin; ++r) skinRows[r] = r * kSkin;
    for (auto& m : shadeMap) m = static_cast<std::uint8_t>(byte(rng) % 64);
    for (auto& c : colormap) c = static_cast<std::uint8_t>(byte(rng));
    for (auto& c : colormapRgb) c = static_cast<std::uint8_t>(byte(rng));
    buildMesh(rng);
  }

  TextureView skinView() const { return {skin.data(), skinRows.data(), kSkin, kSkin}; }
  TextureView shadeMapView() const { return {shadeMap.data(), nullptr, kShadeMapSize, kShadeMapSize}; }

  // Skin, map and depth coordinates vary smoothly; every triangle is wound
  // the same way.
  void buildMesh(std::mt19937& rng) {
    constexpr double kLeft = 150, kTop = 112, kCellW = 18.1, kCellH = 21.7;
    std::uniform_real_distribution<double> jitter(-4.0, 4.0);
    std::vector<ScreenVertex<5>> grid;
    for (int r = 0; r <= kRows; ++r) {
      for (int c = 0; c <= kColumns; ++c) {
        const bool border = r == 0 || c == 0 || r == kRows || c == kColumns;
        const double x = kLeft + c * kCellW + (border ? 0 : jitter(rng));
        const double y = kTop + r * kCellH + (border ? 0 : jitter(rng));
        const double u = c * (kSkin - 1.0) / kColumns;
        const double v = r * (kSkin - 1.0) / kRows;
        const double z = 2000 + 40 * c + 25 * r;
        grid.push_back({static_cast<std::int32_t>(x), static_cast<std::int32_t>(y),
                        {static_cast<std::int32_t>(u * kFixedOne), static_cast<std::int32_t>(v * kFixedOne),
                         static_cast<std::int32_t>(u * kFixedOne), static_cast<std::int32_t>(v * kFixedOne),
                         static_cast<std::int32_t>(z * kFixedOne)}});
      }
    }
    auto at = [&](int r, int c) { return grid[r * (kColumns + 1) + c]; };
    for (int r = 0; r < kRows; ++r) {
      for (int c = 0; c < kColumns; ++c) {
        mesh5.push_back({at(r, c), at(r, c + 1), at(r + 1, c)});
        mesh5.push_back({at(r, c + 1), at(r + 1, c + 1), at(r + 1, c)});
      }
    }
    for (const auto& tri : mesh5) {
      std::array<ScreenVertex<3>, 3> t3;
      for (int k = 0; k < 3; ++k) t3[k] = {tri[k].x, tri[k].y, {tri[k].attr[0], tri[k].attr[1], tri[k].attr[4]}};
      mesh3.push_back(t3);
    }
  }

  std::vector<std::uint8_t> skin;
  std::vector<std::int32_t> skinRows;
  std::vector<std::uint8_t> shadeMap;
  std::vector<std::uint8_t> colormap;
  std::vector<std::uint8_t> colormapRgb;
  std::vector<std::array<ScreenVertex<3>, 3>> mesh3;
  std::vector<std::array<ScreenVertex<5>, 3>> mesh5;
};

}  // namespace pelt::test
