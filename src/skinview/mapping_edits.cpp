#include "skinview/mapping_edits.h"

#include <algorithm>
#include <cmath>

#include "raster/rasterizer.h"

namespace pelt {

namespace {

constexpr std::uint8_t kMarked = 1;
constexpr int kBoxMargin = 5;
constexpr std::int32_t kHalfTexel = 0x7FFF;

std::span<ModelTriangle> used(Model& model) {
  return {model.triangles.data(), static_cast<size_t>(model.triangleCount)};
}

// Re-points the first corner of each chosen triangle that uses v; true when any did.
bool repoint(Model& model, int v, int to, bool selectedOnly) {
  bool any = false;
  for (ModelTriangle& tri : used(model)) {
    if (selectedOnly && (tri.flags & kTriangleSelected) == 0) continue;
    auto corner = std::find(tri.stIndex.begin(), tri.stIndex.end(), v);
    if (corner == tri.stIndex.end()) {
      tri.flags &= ~kTriangleMoving;
      continue;
    }
    *corner = static_cast<std::int16_t>(to);
    tri.flags |= kTriangleMoving;
    any = true;
  }
  return any;
}

bool marked(const Model& model, int i) { return model.stMarks[static_cast<size_t>(i)] & kMarked; }

// Applies `f` (backup value to new value) to every marked entry, unless a
// box corner would leave the skin.
template <class F>
bool transformMarked(Model& model, const std::vector<StCoord>& backup,
                     const SkinTransformState& state, F f) {
  const double corners[4][2] = {{static_cast<double>(state.minS), static_cast<double>(state.minT)},
                                {static_cast<double>(state.maxS), static_cast<double>(state.minT)},
                                {static_cast<double>(state.maxS), static_cast<double>(state.maxT)},
                                {static_cast<double>(state.minS), static_cast<double>(state.maxT)}};
  for (const auto& c : corners) {
    const auto [s, t] = f(c[0], c[1]);
    if (!(s >= 0 && s < model.skinWidth && t >= 0 && t < model.skinHeight)) return false;
  }
  for (int i = 0; i < model.stCount; ++i) {
    if (!marked(model, i)) continue;
    const StCoord& from = backup[static_cast<size_t>(i)];
    const auto [s, t] = f(from.s, from.t);
    model.stCoords[static_cast<size_t>(i)] = {
        static_cast<std::int16_t>(std::clamp(std::trunc(s), -32768.0, 32767.0)),
        static_cast<std::int16_t>(std::clamp(std::trunc(t), -32768.0, 32767.0))};
  }
  return true;
}

std::int32_t textureCoord(std::int16_t value, int size) {
  return std::clamp<std::int32_t>(value, 0, size - 1) * kFixedOne + kHalfTexel;
}

}  // namespace

bool detachEntry(Model& model, int v) {
  if (model.stCount >= kMaxStCoords) return false;
  const int appended = model.stCount;
  model.stCoords[static_cast<size_t>(appended)] = model.stCoords[static_cast<size_t>(v)];
  if (!repoint(model, v, appended, true)) repoint(model, v, appended, false);
  return true;
}

void markSelection(Model& model, SkinTransformState& state) {
  std::fill(model.stMarks.begin(), model.stMarks.end(), std::uint8_t{0});
  for (ModelTriangle& tri : used(model))
    if (tri.flags & kTriangleSelected)
      for (std::int16_t i : tri.stIndex) model.stMarks[static_cast<size_t>(i)] = kMarked;
  for (ModelTriangle& tri : used(model)) {
    const bool touches = std::any_of(tri.stIndex.begin(), tri.stIndex.end(),
                                     [&](std::int16_t i) { return marked(model, i); });
    tri.flags = touches ? tri.flags | kTriangleMoving : tri.flags & ~kTriangleMoving;
  }
  state.minS = model.skinWidth + kBoxMargin;
  state.maxS = -kBoxMargin;
  state.minT = model.skinHeight + kBoxMargin;
  state.maxT = -kBoxMargin;
  for (int i = 0; i < model.stCount; ++i) {
    if (!marked(model, i)) continue;
    const StCoord& st = model.stCoords[static_cast<size_t>(i)];
    state.minS = std::min<std::int32_t>(state.minS, st.s);
    state.maxS = std::max<std::int32_t>(state.maxS, st.s);
    state.minT = std::min<std::int32_t>(state.minT, st.t);
    state.maxT = std::max<std::int32_t>(state.maxT, st.t);
  }
}

bool translateSelection(Model& model, SkinTransformState& state, int ds, int dt) {
  if (state.minS + ds < 0)
    ds = -state.minS;
  else if (state.maxS + ds >= model.skinWidth)
    ds = model.skinWidth - state.maxS - 1;
  if (state.minT + dt < 0)
    dt = -state.minT;
  else if (state.maxT + dt >= model.skinHeight)
    dt = model.skinHeight - state.maxT - 1;
  if (ds == 0 && dt == 0) return false;
  state.minS += ds, state.maxS += ds;
  state.minT += dt, state.maxT += dt;
  for (int i = 0; i < model.stCount; ++i) {
    if (!marked(model, i)) continue;
    StCoord& st = model.stCoords[static_cast<size_t>(i)];
    st.s = static_cast<std::int16_t>(st.s + ds);
    st.t = static_cast<std::int16_t>(st.t + dt);
  }
  return true;
}

bool rotateSelection(Model& model, const std::vector<StCoord>& backup, SkinTransformState& state,
                     double angle) {
  const double c = std::cos(angle), s = std::sin(angle);
  const double ps = state.pivotS, pt = state.pivotT;
  auto rotate = [&](double x, double y) {
    return std::pair{ps + (x - ps) * c + (y - pt) * s, pt - (x - ps) * s + (y - pt) * c};
  };
  if (!transformMarked(model, backup, state, rotate)) return false;
  state.angle = angle;
  return true;
}

bool scaleSelection(Model& model, const std::vector<StCoord>& backup, SkinTransformState& state,
                    double scaleS, double scaleT) {
  const double ps = state.pivotS, pt = state.pivotT;
  auto scale = [&](double x, double y) {
    return std::pair{ps + (x - ps) * scaleS, pt + (y - pt) * scaleT};
  };
  if (!transformMarked(model, backup, state, scale)) return false;
  state.scaleS = scaleS;
  state.scaleT = scaleT;
  return true;
}

void clearMoving(Model& model) {
  for (ModelTriangle& tri : used(model)) tri.flags &= ~kTriangleMoving;
}

void warpPixels(Rasterizer& r, const Model& model, const std::vector<StCoord>& backup,
                const std::vector<std::uint8_t>& heldPixels, Skin& skin) {
  if (heldPixels.size() != skin.pixels.size() || skin.width <= 0 || skin.height <= 0) return;
  std::copy(heldPixels.begin(), heldPixels.end(), skin.pixels.begin());
  buildRowOffsets(&skin);
  r.setSize(skin.width, skin.height);
  r.bindPixels(skin.pixels.data());
  r.bindTexture({heldPixels.data(), skin.rowOffsets.data(), skin.width, skin.height});
  r.resetSpans();
  for (int i = 0; i < model.triangleCount; ++i) {
    const ModelTriangle& tri = model.triangles[static_cast<size_t>(i)];
    if ((tri.flags & kTriangleMoving) == 0) continue;
    std::array<ScreenVertex<2>, 4> corners;
    for (size_t k = 0; k < 3; ++k) {
      const auto index = static_cast<size_t>(tri.stIndex[k]);
      const StCoord& now = model.stCoords[index];
      // Texture reads stay inside the skin even where the mapping leaves it.
      corners[k] = {
          now.s,
          now.t,
          {textureCoord(backup[index].s, skin.width), textureCoord(backup[index].t, skin.height)}};
    }
    corners[3] = corners[0];
    r.fillTextureRounded(corners);
  }
}

}  // namespace pelt
