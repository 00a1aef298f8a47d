#include "app/commands/skins_operations.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/refresh.h"
#include "app/tables.h"
#include "model/md2_format.h"
#include "platform/platform.h"
#include "skins/skin_image.h"

namespace pelt {

namespace {

void refuse(App& app, const char* text) { app.platform.messageBox(text, MessageButtons::Ok); }

const char* resizeRefusal(const Model& model, const ResizeSkinsValues& v) {
  if (v.width == model.skinWidth && v.height == model.skinHeight) return kResizeSameSizeMessage;
  if (v.width < 1 || v.height < 1) return kResizeZeroMessage;
  if (v.enforceLimits) {
    if (v.width % 4 != 0) return kResizeWidthMultipleMessage;
    if (v.width > kEnforcedMaxSkinWidth || v.height > kEnforcedMaxSkinHeight)
      return kResizeTooLargeMessage;
  }
  // Whatever the limits say, no image of ours is larger than this.
  if (v.width > kMaxImageSide || v.height > kMaxImageSide) return kResizeBeyondLimitMessage;
  return nullptr;
}

// What the skins and frames would hold at the new size, against the same
// budget as loading; the refusal says how much, or null.
std::string resizeBudgetRefusal(const Model& model, int width, int height) {
  std::int64_t bytes = static_cast<std::int64_t>(model.skins.size()) * skinMemoryBytes(width, height);
  for (const ModelFrame& frame : model.frames)
    bytes += static_cast<std::int64_t>(sizeof(ModelFrame) + frame.vertices.size() * sizeof(Vec3));
  if (bytes <= kMaxModelLoadBytes) return {};
  auto megabytes = [](std::int64_t b) { return std::to_string((b + (1 << 20) - 1) >> 20); };
  return "Re-sizing the " + std::to_string(model.skins.size()) + " skins to " +
         std::to_string(width) + "x" + std::to_string(height) + " would need " + megabytes(bytes) +
         " MB; a model's skins and frames may use at most " + megabytes(kMaxModelLoadBytes) +
         " MB.";
}

// A skin's new buffers, all allocated before any skin changes.
struct Resampled {
  std::vector<std::uint8_t> pixels, stored;
  std::vector<std::int32_t> rowOffsets;
};

// Nearest-neighbour from the skin's own size, so a skin that somehow differs
// from the model's size is still read inside itself.
Resampled resample(const Skin& skin, int width, int height) {
  const int oldWidth = skin.width, oldHeight = skin.height;
  Resampled out;
  out.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  if (oldWidth > 0 && oldHeight > 0 && !skin.pixels.empty()) {
    for (int y = 0; y < height; ++y) {
      const auto sy = static_cast<size_t>(static_cast<double>(y) * oldHeight / height);
      for (int x = 0; x < width; ++x) {
        const auto sx = static_cast<size_t>(static_cast<double>(x) * oldWidth / width);
        out.pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
            skin.pixels[sy * static_cast<size_t>(oldWidth) + sx];
      }
    }
  }
  out.stored = out.pixels;
  out.rowOffsets.resize(static_cast<size_t>(height));
  for (int y = 0; y < height; ++y) out.rowOffsets[static_cast<size_t>(y)] = y * width;
  return out;
}

std::int16_t rescaled(std::int16_t value, int to, int from) {
  const double v = (value + 0.5) * to / from;
  return static_cast<std::int16_t>(std::clamp(static_cast<int>(v), -32768, 32767));
}

void reversePalette(Skin& skin) {
  for (size_t i = 0; i < 128; ++i)
    for (size_t ch = 0; ch < 3; ++ch)
      std::swap(skin.palette[i * 3 + ch], skin.palette[(255 - i) * 3 + ch]);
}

void invertIndices(Skin& skin) {
  for (std::uint8_t& p : skin.pixels) p = static_cast<std::uint8_t>(255 - p);
  for (std::uint8_t& p : skin.storedPixels) p = static_cast<std::uint8_t>(255 - p);
}

void afterPaletteChange(App& app) {
  refreshListsAndViews(app);
  buildBlendTable(app);
  rebuildShadeRamps(app);
}

}  // namespace

bool canResizeSkins(const App& app) {
  return app.model.modelLoaded && app.model.skinWidth > 0 && app.model.skinHeight > 0;
}

void resizeAllSkins(App& app) {
  Model& model = app.model;
  // The mapping is rescaled by the old size, which must be known.
  if (!canResizeSkins(app)) return;
  ResizeSkinsValues v{model.skinWidth, model.skinHeight, true};
  if (!app.platform.resizeSkinsDialog(v)) return;
  if (const char* refusal = resizeRefusal(model, v)) return refuse(app, refusal);
  const std::string overBudget = resizeBudgetRefusal(model, v.width, v.height);
  if (!overBudget.empty()) return app.platform.warningBox(overBudget);
  std::vector<Resampled> resized;
  resized.reserve(model.skins.size());
  for (const auto& skin : model.skins) resized.push_back(resample(*skin, v.width, v.height));
  for (size_t i = 0; i < resized.size(); ++i) {
    Skin& skin = *model.skins[i];
    skin.pixels = std::move(resized[i].pixels);
    skin.storedPixels = std::move(resized[i].stored);
    skin.rowOffsets = std::move(resized[i].rowOffsets);
    skin.width = v.width;
    skin.height = v.height;
  }
  for (StCoord& st : model.stCoords) {
    st.s = rescaled(st.s, v.width, model.skinWidth);
    st.t = rescaled(st.t, v.height, model.skinHeight);
  }
  model.skinWidth = v.width;
  model.skinHeight = v.height;
  rebuildStTable(model);
  refreshListsAndViews(app);
}

void replaceColors(App& app) {
  Skin* skin = app.model.currentSkin();
  if (skin == nullptr) return;
  const int a = app.colorSlots[2], b = app.colorSlots[3];
  const int c = app.colorSlots[4], d = app.colorSlots[5];
  const int low = std::min(a, b), high = std::max(a, b);
  // With a single source colour there is no range to spread.
  const double k = a == b ? 0.0 : static_cast<double>(c - d) / (a - b);
  for (std::uint8_t& p : skin->pixels) {
    if (p < low || p > high) continue;
    p = static_cast<std::uint8_t>(d + static_cast<int>((p - b) * k));
  }
  refreshListsAndViews(app);
}

void invertPalette(App& app) {
  Skin* skin = app.model.currentSkin();
  if (skin == nullptr) return;
  reversePalette(*skin);
  afterPaletteChange(app);
}

void invertPixels(App& app) {
  Skin* skin = app.model.currentSkin();
  if (skin == nullptr) return;
  invertIndices(*skin);
  afterPaletteChange(app);
}

void invertBoth(App& app) {
  Skin* skin = app.model.currentSkin();
  if (skin == nullptr) return;
  reversePalette(*skin);
  invertIndices(*skin);
  afterPaletteChange(app);
}

}  // namespace pelt
