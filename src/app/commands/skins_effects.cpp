#include "app/commands/skins_effects.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>

#include "app/app.h"
#include "app/commands/skins.h"
#include "app/folders.h"
#include "app/refresh.h"
#include "app/tables.h"
#include "app/true_colour.h"
#include "platform/file_filter.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/settings_keys.h"
#include "skins/paint_rule.h"
#include "skins/skin_image.h"
#include "view3d/shading.h"

namespace pelt {

namespace {

constexpr int kBmpFilter = 2;

bool selected(const ModelTriangle& tri) { return (tri.flags & kTriangleSelected) != 0; }

std::span<const ModelTriangle> triangles(const Model& model) {
  return std::span<const ModelTriangle>(model.triangles)
      .first(static_cast<size_t>(std::clamp(model.triangleCount, 0, kMaxTriangles)));
}

StCoord cornerSt(const Model& model, const ModelTriangle& tri, size_t k) {
  const auto index = static_cast<size_t>(tri.stIndex[k]);
  return index < model.stCoords.size() ? model.stCoords[index] : StCoord{};
}

// The skin triangle of a triangle, corner k carrying attribute value(k).
template <int N, class Value>
std::array<ScreenVertex<N>, 4> skinCorners(const Model& model, const ModelTriangle& tri,
                                           Value value) {
  std::array<ScreenVertex<N>, 4> out{};
  for (size_t k = 0; k < 3; ++k) {
    const StCoord st = cornerSt(model, tri, k);
    out[k].x = st.s;
    out[k].y = st.t;
    if constexpr (N > 0) out[k].attr[0] = value(k);
  }
  out[3] = out[0];
  return out;
}

Rgb colourOf(const Palette& palette, std::uint8_t index) {
  const size_t at = static_cast<size_t>(index) * 3;
  return {static_cast<double>(palette[at]), static_cast<double>(palette[at + 1]),
          static_cast<double>(palette[at + 2])};
}

Rgb mix(const Rgb& from, const Rgb& to, double f) {
  return {from.r + f * (to.r - from.r), from.g + f * (to.g - from.g), from.b + f * (to.b - from.b)};
}

// Writes merge(offset) into every masked texel of the skin.
template <class Merge>
void mergeMasked(Skin& skin, const std::vector<std::uint8_t>& mask, Merge merge) {
  const size_t count = std::min(mask.size(), skin.pixels.size());
  const NearestColour nearest(skin.palette);
  for (size_t i = 0; i < count; ++i)
    if (mask[i] != 0) skin.pixels[i] = static_cast<std::uint8_t>(nearest(merge(i)));
}

bool anySelected(const Model& model) {
  const auto all = triangles(model);
  return std::any_of(all.begin(), all.end(), selected);
}

// Raises or lowers the brightness toward the baked light, keeping hue and
// saturation.
void bakeShading(App& app, ShadingKind kind) {
  Skin* skin = app.model.currentSkin();
  if (skin == nullptr || !anySelected(app.model)) return;
  Model& model = app.model;
  Rasterizer& r = app.rasterizer;
  std::vector<std::uint8_t> mask = buildSelectionMask(model, r, skin->width, skin->height);
  std::vector<std::uint8_t> layer(mask.size(), 0);
  r.bindPixels(layer.data());
  r.resetSpans();
  auto all = std::span<ModelTriangle>(model.triangles).first(triangles(model).size());
  computeShading(kind, all, model.vertexCount, app.shading, false);
  for (const ModelTriangle& tri : all) {
    if (!selected(tri)) continue;
    if (kind == ShadingKind::Flat)
      r.fillFlat(skinCorners<0>(model, tri, 0), tri.cornerShade[0]);
    else
      r.fillGouraud(skinCorners<1>(model, tri, [&](size_t k) {
        return static_cast<std::int32_t>(tri.cornerShade[k]) << kFixedShift;
      }));
  }
  const double half = app.blendAmount / 2;
  mergeMasked(*skin, mask, [&](size_t i) {
    const Rgb c = colourOf(skin->palette, skin->pixels[i]);
    const Hsv hsv = rgbToHsv(c.r / 255, c.g / 255, c.b / 255);
    const double v = hsv.v + half * (layer[i] / 255.0 - hsv.v);
    const Rgb out = hsvToRgb(hsv.h, hsv.s, v);
    return Rgb{out.r * 255, out.g * 255, out.b * 255};
  });
  refreshListsAndViews(app);
  buildBlendTable(app);
}

}  // namespace

std::vector<std::uint8_t> buildSelectionMask(const Model& model, Rasterizer& r, int width,
                                             int height) {
  std::vector<std::uint8_t> mask(
      static_cast<size_t>(std::max(width, 0)) * static_cast<size_t>(std::max(height, 0)), 0);
  r.setSize(width, height);
  r.bindPixels(mask.data());
  r.resetSpans();
  for (const ModelTriangle& tri : triangles(model))
    if (selected(tri)) r.fillFlat(skinCorners<0>(model, tri, 0), kMaskOn);
  return mask;
}

void outlineSelected(App& app) {
  Skin* skin = app.model.currentSkin();
  if (skin == nullptr || !anySelected(app.model)) return;
  const Model& model = app.model;
  Rasterizer& r = app.rasterizer;
  const size_t count = static_cast<size_t>(skin->width) * static_cast<size_t>(skin->height);
  std::vector<std::uint8_t> layer(count, 0), mask(count, 0);
  r.setSize(skin->width, skin->height);
  r.resetSpans();
  const std::uint8_t paint = app.colorSlots[static_cast<size_t>(app.currentSlot)];
  for (const ModelTriangle& tri : triangles(model)) {
    if (!selected(tri)) continue;
    for (size_t k = 0; k < 3; ++k) {
      const StCoord a = cornerSt(model, tri, k), b = cornerSt(model, tri, (k + 1) % 3);
      // Skin coordinates may lie off the skin; only the part on it is drawn.
      ScreenLine line{a.s, a.t, b.s, b.t};
      if (!r.clipLine(line)) continue;
      r.bindPixels(layer.data());
      r.drawLine(line, paint);
      r.bindPixels(mask.data());
      r.drawLine(line, kMaskOn);
    }
  }
  mergeMasked(*skin, mask, [&](size_t i) {
    return mix(colourOf(skin->palette, skin->pixels[i]), colourOf(skin->palette, layer[i]),
               app.blendAmount);
  });
  refreshListsAndViews(app);
  buildBlendTable(app);
}

void fillSelectedShade(App& app) { bakeShading(app, ShadingKind::Flat); }
void shadeSelected(App& app) { bakeShading(app, ShadingKind::Gouraud); }

void loadToSelected(App& app) {
  Skin* skin = app.model.currentSkin();
  if (skin == nullptr) return;
  Platform& platform = app.platform;
  std::optional<FileDialogResult> chosen =
      platform.fileDialog({false, kSkinFilter, "*.pcx", app.loadFolder});
  if (!chosen) return;
  rememberFolder(app, app.loadFolder, settings::kLoadDir, chosen->path);
  std::string path = chosen->path;
  if (lacksExtension(path)) {
    const std::string named = filterExtension(kSkinFilter, chosen->filterIndex);
    path += !named.empty() ? named : chosen->filterIndex == kBmpFilter ? ".bmp" : ".pcx";
  }
  std::unique_ptr<Skin> image = readGameSkin(platform, app.gameFiles, path, askingReducer(app));
  if (!image) return;
  if (image->width != app.model.skinWidth || image->height != app.model.skinHeight ||
      image->pixels.size() != skin->pixels.size()) {
    platform.messageBox(kWrongDimensionsMessage, MessageButtons::Ok);
    return;
  }
  std::vector<std::uint8_t> mask =
      buildSelectionMask(app.model, app.rasterizer, skin->width, skin->height);
  mergeMasked(*skin, mask, [&](size_t i) {
    return mix(colourOf(skin->palette, skin->pixels[i]), colourOf(image->palette, image->pixels[i]),
               app.blendAmount);
  });
  refreshListsAndViews(app);
  buildBlendTable(app);
  rebuildShadeRamps(app);
}

}  // namespace pelt
