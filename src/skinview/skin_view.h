#pragma once
// The skin view ("Skin Box"): the current skin magnified through the
// rasterizer, the mapping drawn over it as triangle outlines, and a texel map
// that tells for every view pixel which skin pixel it shows. Painting and
// mapping gestures (paint_gestures.h, mapping_gestures.h) work through it.

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/mirror_lookup.h"
#include "model/model.h"
#include "platform/core_view.h"
#include "raster/rasterizer.h"
#include "skins/paint_rule.h"
#include "skins/paint_stroke.h"

namespace pelt {

class Platform;

// The shared document state the view reads and the gestures change; the
// owner keeps it alive.
// A mapping drag is one edit: begins before it changes anything, ends
// with its name when released.
struct MappingEditHooks {
  std::function<void()> begins;
  std::function<void(const char*)> ends;
};

struct SkinViewInputs {
  Platform& platform;
  Model& model;
  Rasterizer& rasterizer;
  std::array<std::uint8_t, 8>& colorSlots;
  int& currentSlot;
  const ProtectedColors& protectedColors;
  const BlendTable& blendTable;
  const int& interactionMode;  // 0 Mesh Paint, 1 Mapping Adjustment
  const bool& cameraOverride;
  const int& brushKind;
  const bool& showMeshWhilePainting;
  const bool& dragPixelsWithMapping;
  std::int32_t& mapRectShown;
  // Rebuilds the blend table after the paint colour changed (colour pick).
  std::function<void()> rebuildBlendTable;
  BrushInputs brush{};
  MappingEditHooks edits{};
};

enum SkinDragState : std::int32_t {
  kDragIdle = 0,
  kDragEndingHidden = 1,  // released, waiting for the other button; the cursor comes back
  kDragEnding = 2,        // released, waiting for the other button
  kDragCamera = 100,
  kDragPaint = 200,
  kDragColorPick = 201,
  kDragStVertex = 300,
  kDragTransform = 301,
  kDragAddSelection = 302,
  kDragRemoveSelection = 303,
  kDragMoveMapRect = 400,
  kDragNewMapRect = 401,
  kDragMapRectLeft = 402,
  kDragMapRectRight = 403,
  kDragMapRectTop = 404,
  kDragMapRectBottom = 405,
};

// Redraw requests of the skin view's gestures.
inline constexpr int kSkinRefreshCamera = 0x21;

inline constexpr float kMinSkinZoom = 1.0f;
inline constexpr float kMaxSkinZoom = 12.0f;

struct MapRect {
  std::int32_t x0 = -100, y0 = -100, x1 = 1000, y1 = 1000;
  friend bool operator==(const MapRect&, const MapRect&) = default;
};

// The right-button transform of the selection.
struct SkinTransformState {
  std::int32_t minS = 0, maxS = 0, minT = 0, maxT = 0;
  std::int32_t pivotS = 0, pivotT = 0;
  double angle = 0;
  double scaleS = 1.0, scaleT = 1.0;
};

struct BufferPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;  // row of the buffer, counted from the bottom
  friend bool operator==(const BufferPoint&, const BufferPoint&) = default;
};

struct SkinPoint {
  float x = 0;
  float y = 0;
};

class SkinView : public CoreView {
 public:
  explicit SkinView(SkinViewInputs inputs);

  // CoreView
  void resize(int clientWidth, int clientHeight) override;
  void render(int level, int flags) override { renderSkinView(level, flags); }
  ViewImage image() const override;
  void mousePress(const MouseEvent& event) override;
  void mouseMove(const MouseEvent& event) override;
  void mouseRelease(const MouseEvent& event) override;
  void wheel(int delta) override;
  // Zooms about the pointer: the skin point under it stays put.
  void wheelAt(const WheelEvent& event) override;
  void captureLost() override;
  std::string statusText(int x, int y) const override;
  std::optional<BrushOutline> brushOutline(int x, int y) const override;
  // Mesh Paint mode with the camera override off, on a skin.
  bool paintingPossible() const;

  // The whole current skin centred, at the largest zoom that fits; false
  // when there is no skin or no size yet.
  bool fitSkin();
  int clientWidth() const { return clientWidth_; }

  // level: 0 Full, 1 Quick, 2 Background, 3 Retexture; flags are ignored.
  void renderSkinView(int level, int flags = 0);

  // Coordinate mapping (float arithmetic, then truncation toward zero).
  int halfWidth() const { return viewWidth / 2; }
  int halfHeight() const { return viewHeight / 2; }
  BufferPoint skinToBuffer(float x, float y) const;
  // Outline end of an st entry: the centre of its skin pixel.
  BufferPoint stToBuffer(std::int32_t s, std::int32_t t) const;
  SkinPoint windowToSkin(int wx, int wy) const;
  // The skin pixel offset shown at a window point (y from the top), or -1.
  std::int32_t texelAt(int wx, int wy) const;
  // On the window: the buffer's columns past the client width (its width is
  // rounded up to 4) are never shown.
  bool insideView(int wx, int wy) const {
    return wx >= 0 && wy >= 0 && wx < shownWidth() && wy < viewHeight;
  }
  int shownWidth() const { return std::min<int>(clientWidth_, viewWidth); }

  SkinViewInputs& inputs() { return in_; }
  const SkinViewInputs& inputs() const { return in_; }
  Skin* currentSkin() const { return in_.model.currentSkin(); }

  // For the gestures: enter a state holding the mouse (and hiding the
  // cursor), put the pointer back on the press point, and the motion since
  // the press in window pixels.
  void beginDrag(std::int32_t state, bool hideCursor);
  void pinPointer();
  int dragDx(const MouseEvent& event) const { return event.screenX - pressScreenX; }
  int dragDy(const MouseEvent& event) const { return event.screenY - pressScreenY; }
  void sendRefresh(int level, int mask);
  // Re-renders at level 0 and repaints at once.
  void redrawNow();

  // View buffers, bottom row first; texelMap parallels viewPixels.
  std::vector<std::uint8_t> viewPixels;
  std::vector<std::int32_t> texelMap;
  std::vector<std::uint8_t> pixelBackup;  // empty when not held
  std::vector<std::uint8_t> paintedMask;  // empty outside a stroke
  std::int16_t viewWidth = -1;
  std::int16_t viewHeight = -1;

  float panS = 50.0f;
  float panT = 50.0f;
  float zoom = 3.0f;

  // Window points of the press and of the last move, the press in screen
  // coordinates, and the modifiers held at the press.
  std::int32_t pressX = 0, pressY = 0;
  std::int32_t prevX = 0, prevY = 0;
  std::int32_t pressScreenX = 0, pressScreenY = 0;
  std::int32_t ctrlHeld = 0;
  std::int32_t shiftHeld = 0;

  std::int32_t dragState = kDragIdle;
  SkinTransformState transform;
  std::vector<StCoord> stBackup = std::vector<StCoord>(kMaxStCoords);
  MapRect mapRect;
  std::int32_t& mapRectShown;  // the rectangle tool is on
  PaintStroke paintStroke;     // the stroke of the paint gesture
  MirrorLookup mirror;         // prepared when a mirrored stroke starts

 private:
  void normaliseMapRect();
  void renderFull(bool writeTexels);
  void noteMappedRows(const Skin& skin);
  void renderBackground();
  void retexture();
  // `box` in window pixels.
  void retextureRows(const Skin& skin, const PixelRect& box);
  void drawOverlay();
  void drawEdgesWhere(std::uint8_t colour, bool (*pick)(std::uint32_t flags));
  void drawMapRect();
  void drawClipped(BufferPoint a, BufferPoint b, std::uint8_t colour);
  std::uint8_t slot(int index) const { return in_.colorSlots[static_cast<size_t>(index)]; }

  void pressGesture(const MouseEvent& event);
  void moveGesture(const MouseEvent& event);
  void releaseGesture();
  void endGesture(unsigned buttonsHeld);
  void completeGesture();
  void cameraMove(const MouseEvent& event);

  SkinViewInputs in_;
  int clientWidth_ = 0;  // viewWidth less the padding columns nobody sees
  unsigned gestureButton_ = kButtonNone;
  bool cursorHidden_ = false;
  bool captured_ = false;
  mutable Palette shownColors_{};
  // What the last Full render left in the texel map, row by row.
  struct MappedRow {
    std::int32_t left = 0, right = 0;  // mapped columns left..right-1
    bool sameAsBelow = false;          // the same texels as the row below
  };
  std::vector<MappedRow> mappedRows_;
  size_t mappedSkinPixels_ = 0;
  bool rowsToNote_ = false;
};

}  // namespace pelt
