#include "app/intro/about.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "app/app.h"
#include "platform/platform.h"
#include "raster/rasterizer.h"

namespace pelt {

namespace {

constexpr std::uint8_t kCovered = 255;

std::string number(int value) { return std::to_string(value); }

}  // namespace

int wastedSpacePercent(const Model& model, Rasterizer& r) {
  const int width = model.skinWidth, height = model.skinHeight;
  if (width <= 0 || height <= 0) return 100;
  std::vector<std::uint8_t> coverage(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  r.setSize(width, height);
  r.bindPixels(coverage.data());
  r.resetSpans();
  const int triangles = std::clamp(model.triangleCount, 0, kMaxTriangles);
  for (int t = 0; t < triangles; ++t) {
    const ModelTriangle& tri = model.triangles[static_cast<size_t>(t)];
    std::array<ScreenVertex<0>, 4> corners{};
    for (size_t k = 0; k < 3; ++k) {
      const auto index = static_cast<size_t>(tri.stIndex[k]);
      const StCoord st = index < model.stCoords.size() ? model.stCoords[index] : StCoord{};
      corners[k].x = st.s;
      corners[k].y = st.t;
    }
    corners[3] = corners[0];
    r.fillFlat(corners, kCovered);
  }
  std::int64_t empty = 0;
  for (std::uint8_t c : coverage) empty += c == 0 ? 1 : 0;
  return static_cast<int>(static_cast<double>(100 * empty) /
                          (static_cast<double>(width) * static_cast<double>(height)));
}

AboutValues aboutValues(const Model& model, Rasterizer& rasterizer) {
  int linked = 0, external = 0;
  for (const auto& skin : model.skins) (skin->isLinked() ? linked : external) += 1;
  char wasted[32];
  std::snprintf(wasted, sizeof wasted, "%d%%", wastedSpacePercent(model, rasterizer));
  AboutValues v;
  v.nameAndVersion = std::string(kProductName) + " " + kProductVersion;
  v.authorship =
      "A skin painter and mapping editor for Quake 2 models, written by the Pelt developers";
  v.contact = "Questions and reports: see the README that came with Pelt";
  v.musicCredit = "Intro music: composed and synthesised by Pelt itself";
  v.rows = {
      {"Vertices", number(model.vertexCount), "2048"},
      {"Mapping Verts", number(model.stCount), "2048"},
      {"Triangles", number(model.triangleCount), "4096"},
      {"Frames", number(static_cast<int>(model.frames.size())), "512"},
      {"Linked Skins", number(linked), "32"},
      {"External Skins", number(external), "Unlimited"},
      {"Skin Width", number(model.skinWidth), "640"},
      {"Skin Height", number(model.skinHeight), "480"},
      {"Wasted Space", wasted, "Undecided"},
  };
  return v;
}

}  // namespace pelt
