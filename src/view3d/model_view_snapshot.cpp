// The 3D view rendered for a snapshot: at another size, or in true colour.

#include <utility>

#include "view3d/corner_attributes.h"
#include "view3d/model_view.h"

namespace pelt {

namespace {

constexpr int kProgressEvery = 10;

// Puts a value back when the scope ends, also when an allocation throws.
template <class T>
class Restore {
 public:
  explicit Restore(T& value) : value_(value), saved_(value) {}
  ~Restore() { value_ = std::move(saved_); }
  Restore(const Restore&) = delete;
  Restore& operator=(const Restore&) = delete;

 private:
  T& value_;
  T saved_;
};

}  // namespace

std::vector<std::uint8_t> ModelView::renderAt(int width, int height) {
  const auto count = static_cast<size_t>(width) * static_cast<size_t>(height);
  // The view's own buffers step aside untouched and come back at the end.
  std::vector<std::uint8_t> pixels, light;
  std::vector<std::uint16_t> depth;
  std::vector<std::int32_t> pick;
  pixels.swap(pixelBuffer_);
  depth.swap(depthBuffer_);
  pick.swap(pickBuffer_);
  light.swap(lightBuffer_);
  const bool hadLight = !light.empty();
  const int oldWidth = viewWidth_, oldHeight = viewHeight_;
  const bool oldTexels = pickHoldsTexels_;
  auto giveBack = [&]() {
    std::vector<std::uint8_t> shot;
    shot.swap(pixelBuffer_);
    pixelBuffer_.swap(pixels);
    depthBuffer_.swap(depth);
    pickBuffer_.swap(pick);
    lightBuffer_.swap(light);
    viewWidth_ = oldWidth;
    viewHeight_ = oldHeight;
    pickHoldsTexels_ = oldTexels;
    updateProjection();
    return shot;
  };
  try {
    pixelBuffer_.assign(count, 0);
    depthBuffer_.assign(count, kDepthFar);
    pickBuffer_.assign(count, kPickNothing);
    if (hadLight) lightBuffer_.assign(count, 0);
    viewWidth_ = width;
    viewHeight_ = height;
    render(kRedrawFull);
  } catch (...) {
    giveBack();
    throw;
  }
  return giveBack();
}

bool ModelView::renderTrueColour(RgbImage& image, const std::uint8_t* lightTableRgb,
                                 double lightExponent, double smoothingExponent,
                                 const SnapshotProgress& progress) {
  Skin* phong = in_.phongMap;
  if (in_.model.currentSkin() == nullptr || phong == nullptr ||
      phong->pixels.size() < static_cast<size_t>(kShadeMapSize) * kShadeMapSize)
    return false;
  std::vector<std::uint16_t> depth(
      static_cast<size_t>(image.width) * static_cast<size_t>(image.height), kDepthFar);
  bool drawn = false;
  {
    Restore<int> keepWidth(viewWidth_), keepHeight(viewHeight_);
    viewWidth_ = image.width;
    viewHeight_ = image.height;
    if (prepareScene(ShadingKind::Map, true)) {
      Rasterizer& r = in_.rasterizer;
      r.setSize(image.width, image.height);
      r.bindPixels(image.rgb.data());
      r.bindDepth(depth.data());
      r.bindPick(nullptr);
      r.resetSpans();
      r.bindColormap(lightTableRgb, kLightTableRows);
      r.bindShadeMap({phong->pixels.data(), nullptr, kShadeMapSize, kShadeMapSize});
      int total = 0;
      for (const Mesh& mesh : meshes_)
        total += mesh.skin ? static_cast<int>(mesh.visible.size()) : 0;
      int started = 0;
      for (Mesh& mesh : meshes_) {
        if (mesh.skin == nullptr) continue;
        bindSkin(*mesh.skin);
        for (std::int16_t t : mesh.visible) {
          if (progress && started % kProgressEvery == 0) progress(started, total);
          ++started;
          const ModelTriangle& tri = mesh.triangles[static_cast<size_t>(t)];
          r.fillTextureMapLitDepthRgb(corners<5>(mesh, tri,
                                                 [&](size_t k, auto& a) {
                                                   const auto st =
                                                       skinCoords(mesh, tri, static_cast<int>(k));
                                                   a[0] = st[0];
                                                   a[1] = st[1];
                                                   a[2] = corner::mapCoord(tri, k, 0);
                                                   a[3] = corner::mapCoord(tri, k, 1);
                                                 }),
                                      lightExponent, smoothingExponent);
        }
      }
      drawn = true;
    }
  }
  updateProjection();
  return drawn;
}

}  // namespace pelt
