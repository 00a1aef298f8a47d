#pragma once
// The 3D view ("ISO Box"): the current frame of the model and every shown
// companion through a look-at camera, drawn by the rasterizer into the view's
// own 8-bit, depth and pick buffers in one of nine render modes.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "model/mirror_lookup.h"
#include "model/model.h"
#include "platform/core_view.h"
#include "platform/game_files.h"
#include "raster/rasterizer.h"
#include "skins/paint_stroke.h"
#include "view3d/camera_drag.h"
#include "view3d/companion_scene.h"
#include "view3d/shade_tables.h"
#include "view3d/shading.h"
#include "view3d/snapshot.h"
#include "view3d/view_basis.h"

namespace pelt {

class Platform;

enum RenderModeId : int {
  kModeWireframe = 0,
  kModeWireframeSolid = 1,
  kModeFlat = 2,
  kModeGouraud = 3,
  kModePhong = 4,
  kModeTextured = 5,
  kModeEnvironment = 6,
  kModeTexturedGouraud = 7,
  kModeTexturedPhong = 8,
};

enum RedrawLevel : int { kRedrawFull = 0, kRedrawQuick = 1, kRedrawBackground = 2, kRedrawRetexture = 3 };

inline constexpr int kInteractionMeshPaint = 0;
inline constexpr int kInteractionMapping = 1;

// Hidden-line ids of companion triangles run down from here, clear of the
// model's indices, "nothing" and the plain companion id.
inline constexpr std::int32_t kFirstCompanionLineId = -3;

inline constexpr const char* kNoSkinsForTextured =
    "Textured Mode is not available if there are no skins loaded.";
inline constexpr const char* kNoSkinsForTexturedPhong =
    "Tex+P-Shaded is not available if there are no skins loaded.";
inline constexpr const char* kNoPhongForTexturedPhong =
    "Tex+P-Shaded is not available if there are no phong maps loaded.";
inline constexpr const char* kNoColormapForTexturedPhong =
    "The Colormap.pcx file needed for Tex+P-shaded mode is not set as the default palette under "
    "preferences!";
inline constexpr const char* kNoSkinsForTexturedGouraud =
    "Tex+G-Shaded is not available if there are no skins loaded.";
inline constexpr const char* kNoColormapForTexturedGouraud =
    "The Colormap.pcx file needed for Tex+G-shaded mode is not set as the default palette under "
    "preferences!";
inline constexpr const char* kNoPhongForPhong =
    "Phong Shading is not available if there are no phong maps loaded.";
inline constexpr const char* kNoEnvForEnvironment =
    "Environment Mapping is not available if there are no env-maps loaded.";

// What the mouse reads and changes beyond drawing; a view without it only
// turns its camera.
struct ModelViewMouseInputs {
  const bool* cameraOverride = nullptr;
  const int* brushKind = nullptr;
  const int* currentSlot = nullptr;
  const BlendTable* blendTable = nullptr;
  const ProtectedColors* protectedColors = nullptr;
  // A colour was picked into the current slot: the blend table follows it.
  std::function<void()> colourPicked;
  BrushInputs brush{};
};

// The shared document state the view reads; the owner keeps it alive.
struct ModelViewInputs {
  Platform& platform;
  Model& model;
  Rasterizer& rasterizer;
  ShadeTables& shading;
  std::array<std::uint8_t, 8>& colorSlots;
  const int& renderMode;
  const int& interactionMode;
  Skin* const& phongMap;
  Skin* const& envMap;
  // Where the light table comes from when "Palette Path" is unset.
  GameFileSystem& gameFiles;
  // The companions to draw, in list order; none until companions exist.
  std::function<std::vector<CompanionScene>()> shownCompanions;
  ModelViewMouseInputs mouse{};
};

// What the mouse is doing in the 3D view, fixed at the press.
enum class ViewGesture {
  Idle,
  Orbit,
  Look,
  FieldOfView,
  Light,
  Paint,
  PickColour,
  Select,
  Deselect,
  WaitOther,    // one button released, the other still held
  WaitRelease,  // likewise, for gestures that left the pointer shown
};

class ModelView : public CoreView {
 public:
  explicit ModelView(ModelViewInputs inputs);

  void resize(int clientWidth, int clientHeight) override;
  void render(int level, int flags) override;
  void render(int level);
  ViewImage image() const override;

  // Whether a render mode may be chosen; prepares or releases the light
  // table and light buffer. A refusal has been shown to the user.
  bool checkRenderModeChange(int oldMode, int newMode);

  void mousePress(const MouseEvent& event) override;
  void mouseMove(const MouseEvent& event) override;
  void mouseRelease(const MouseEvent& event) override;
  void wheel(int delta) override;
  void captureLost() override;
  std::string statusText(int x, int y) const override;
  std::optional<BrushOutline> brushOutline(int x, int y) const override;
  ViewGesture gesture() const { return gesture_; }
  const CameraDrag& cameraDrag() const { return drag_; }

  // Camera.
  std::array<float, 3> eye{100.0f, 0.0f, 0.0f};
  std::array<float, 3> target{0.0f, 0.0f, 0.0f};
  float fieldOfView = 33.0f;

  int viewWidth() const { return viewWidth_; }
  int viewHeight() const { return viewHeight_; }
  std::span<const std::uint8_t> pixels() const { return pixelBuffer_; }
  std::span<const std::uint16_t> depths() const { return depthBuffer_; }
  std::span<const std::int32_t> picks() const { return pickBuffer_; }
  std::span<const std::uint8_t> lightLevels() const { return lightBuffer_; }
  const Palette& viewPalette() const { return viewPalette_; }
  // Painting may read the pick buffer as skin texel offsets only when this holds.
  bool pickHoldsTexels() const { return pickHoldsTexels_; }
  const Skin* lightTable() const { return lightTable_.get(); }
  bool hasLightTable() const;

  // The steps of a render, in calling order; public for Map from 3D View.
  void computeViewBasis();
  void transformToView();
  void buildVisibleList();
  const ViewBasis& basis() const { return basis_; }
  std::span<const Point3f> viewVertices() const;
  std::span<const std::int16_t> visibleTriangles() const;
  int visibleCount() const { return static_cast<int>(visibleTriangles().size()); }
  double depthMin() const { return depthMin_; }
  double depthMax() const { return depthMax_; }
  double depthScale() const { return depthScale_; }
  std::int32_t projectX(double x, double z) const { return projection().x(x, z); }
  std::int32_t projectY(double y, double z) const { return projection().y(y, z); }
  std::int32_t projectDepth(double z) const { return projection().depth(z); }

  // Snapshots. renderAt draws a full frame at another size into buffers of
  // its own and gives the view back its size, buffers and picture; the
  // pixels come back bottom-up.
  std::vector<std::uint8_t> renderAt(int width, int height);
  // Called before every tenth triangle with the triangles started so far.
  using SnapshotProgress = std::function<void(int started, int total)>;
  // Bilinear true colour at the image's size; false (nothing drawn) without
  // a frame, a current skin or a phong map.
  bool renderTrueColour(RgbImage& image, const std::uint8_t* lightTableRgb, double lightExponent,
                        double smoothingExponent, const SnapshotProgress& progress);

 private:
  struct Mesh {
    std::span<const Vec3> vertices;
    std::span<ModelTriangle> triangles;
    std::span<const StCoord> stCoords;
    Skin* skin = nullptr;
    Vec3 offset;
    bool companion = false;
    std::int32_t firstLineId = kFirstCompanionLineId;
    std::vector<Point3f> view;
    std::vector<std::int16_t> visible;
  };

  Projection projection() const;
  void updateProjection() { proj_ = projection(); }
  std::uint8_t slot(int index) const { return in_.colorSlots[static_cast<size_t>(index)]; }
  bool mappingMode() const { return in_.interactionMode == kInteractionMapping; }
  std::span<Mesh> companions() {
    return meshes_.empty() ? std::span<Mesh>{} : std::span<Mesh>(meshes_).subspan(1);
  }

  // Scene set-up shared by the modes.
  void fillViewPalette();
  void beginFilled(bool withPick, std::uint8_t background);
  bool prepareScene(ShadingKind kind, bool phong = false);
  bool gatherMeshes();
  void shadeMeshes(ShadingKind kind, bool phong);
  void bindSkin(Skin& skin);

  // Screen corners of a triangle: x, y, the attributes `fill` writes, depth.
  template <int N, class Attributes>
  std::array<ScreenVertex<N>, 4> corners(const Mesh& mesh, const ModelTriangle& tri,
                                         Attributes fill) const;
  std::array<std::int32_t, 2> skinCoords(const Mesh& mesh, const ModelTriangle& tri, int k) const;
  void drawEdges(const Mesh& mesh, const ModelTriangle& tri, std::uint8_t colour,
                 const std::int32_t* pickId);
  void drawEdgesWhere(const Mesh& mesh, std::uint8_t colour, bool (*pick)(std::uint32_t flags));

  // The modes.
  void renderWireframe(int level);
  void renderSolid();
  void shadeRampPalette();
  void renderShaded(int mode, int level);
  void drawShadedTriangle(int mode, const Mesh& mesh, const ModelTriangle& tri, std::uint8_t base,
                          bool full, std::int32_t id);
  void renderEnvironment();
  void renderTextured(int mode, int level);
  void drawTexturedMesh(int mode, Mesh& mesh, bool full, bool mapping);
  void drawOverlay();
  void drawLightPass(int mode);
  void clearUnpicked();
  void retexture(int mode);
  // The lowest and highest texel offset each 16 x 16 tile of the pick
  // buffer shows, so a paint refresh can skip tiles it cannot have changed.
  void indexTexelTiles();

  // Mouse gestures.
  ViewGesture chooseGesture(const MouseEvent& event) const;
  void startGesture();
  void cameraStep(const MouseEvent& event);
  void gestureStep(WindowPoint point);
  void finishGesture();
  void endPaint();
  void endPick();
  bool inClient(WindowPoint p) const;
  std::int32_t pickAt(WindowPoint p) const;
  std::int32_t texelAt(int x, int y) const;
  bool paintStroke(bool pressed, WindowPoint point);
  bool paintingPossible() const;
  bool dabAt(int x, int y, const PaintTables& tables);
  bool joinSamples(WindowPoint from, WindowPoint to, const PaintTables& tables);
  bool mirrorDab(const SurfacePoint& point, const PaintTables& tables);
  bool fillAt(WindowPoint point, const PaintTables& tables);
  // The triangle under a client point of the last full render and where on
  // it the point lies.
  std::optional<SurfacePoint> surfaceAt(WindowPoint p);
  // Which visible triangle covers a buffer point, nearest first; the screen
  // corners are gathered on first use after each full render.
  int triangleAt(int x, int row);
  void indexTriangles();
  // The brush's size in texels at a point of the surface: the texels a dab
  // of its window size would cover there.
  const Footprint& texelFootprint(const SurfacePoint& point);
  void pickColour(WindowPoint point);
  void brushSelection(WindowPoint point);
  void capture();
  void hidePointer();
  void showPointer();

  ModelViewInputs in_;
  int viewWidth_ = -1;
  int viewHeight_ = -1;
  std::vector<std::uint8_t> pixelBuffer_;
  std::vector<std::uint16_t> depthBuffer_;
  std::vector<std::int32_t> pickBuffer_;
  std::vector<std::uint8_t> lightBuffer_;
  std::unique_ptr<Skin> lightTable_;
  Palette viewPalette_{};
  bool pickHoldsTexels_ = false;
  int clientWidth_ = 0;
  int clientHeight_ = 0;
  static constexpr int kTexelTile = 16;
  std::vector<std::int32_t> tileLow_;
  std::vector<std::int32_t> tileHigh_;
  bool tilesIndexed_ = false;

  struct ScreenTriangle {
    std::int16_t index = 0;
    int left = 0, bottom = 0, right = 0, top = 0;  // bounds in buffer pixels
    std::array<double, 3> x{}, y{}, z{};           // corners, z the view depth
  };
  std::vector<ScreenTriangle> screenTriangles_;
  bool trianglesIndexed_ = false;

  ViewGesture gesture_ = ViewGesture::Idle;
  WindowPoint anchor_;
  bool ctrlAtPress_ = false;
  WindowPoint anchorScreen_;
  CameraDrag drag_;
  bool captured_ = false;
  bool pointerHidden_ = false;
  PaintStroke stroke_;
  MirrorLookup mirror_;
  // The last walk point of the stroke that showed the model.
  std::optional<WindowPoint> lastSample_;
  Footprint scaledFootprint_;

  ViewBasis basis_;
  Projection proj_;
  std::vector<Mesh> meshes_;  // the model first, then the shown companions
  double depthMin_ = 0;
  double depthMax_ = 0;
  double depthScale_ = 0;
};

template <int N, class Attributes>
inline std::array<ScreenVertex<N>, 4> ModelView::corners(const Mesh& mesh, const ModelTriangle& tri,
                                                   Attributes fill) const {
  std::array<ScreenVertex<N>, 4> out;
  for (size_t k = 0; k < 3; ++k) {
    const Point3f& p = mesh.view[static_cast<size_t>(tri.vertexIndex[k])];
    ScreenVertex<N>& v = out[k];
    v.x = proj_.x(p.x, p.z);
    v.y = proj_.y(p.y, p.z);
    fill(k, v.attr);
    v.attr[N - 1] = proj_.depth(p.z);
  }
  out[3] = out[0];
  return out;
}

}  // namespace pelt
