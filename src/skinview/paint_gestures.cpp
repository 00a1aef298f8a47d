#include "skinview/paint_gestures.h"

#include "platform/platform.h"
#include "skinview/skin_view.h"

namespace pelt::paint {

namespace {

// Skin view and 3D view recolour through their texel maps; the palette box
// shows a picked colour; after a pick both large views redraw fully.
constexpr int kPaintRefresh = 0x13;
constexpr int kPickRefresh = 0x18;
constexpr int kPickDoneRefresh = 0x23;
constexpr int kRetexture = 3;

// The brush in texels around the texel under each point of the walk, and
// across the mirror plane when mirroring. A walk crosses each texel at
// several window pixels when zoomed in; one dab there is enough.
void paintStep(SkinView& view, bool pressed, WindowPoint point) {
  SkinViewInputs& in = view.inputs();
  PaintStroke& stroke = view.paintStroke;
  const Skin* skin = stroke.skin();
  if (skin == nullptr || skin->width <= 0) return;
  const PaintTables tables{in.blendTable, in.protectedColors, in.brush.softTables};
  const bool mirrored = in.brush.mirrors() && view.mirror.ready();
  std::int32_t lastCentre = kNoTexel;
  auto dab = [&](int x, int y) {
    const std::int32_t texel = view.texelAt(x, y);
    if (texel < 0 || static_cast<size_t>(texel) >= skin->pixels.size() || texel == lastCentre)
      return false;
    lastCentre = texel;
    const int cx = texel % skin->width, cy = texel / skin->width;
    bool changed = stroke.dabTexels(cx, cy, tables);
    if (mirrored)
      if (const auto across = view.mirror.mirrorTexel(in.model, cx, cy))
        changed |= stroke.dabTexels((*across)[0], (*across)[1], tables);
    return changed;
  };
  const PaintSurface<decltype(dab)> surface{in.rasterizer, view.shownWidth(), view.viewHeight, dab};
  if (pressed ? stroke.press(surface) : stroke.moveTo(surface, point))
    stroke.recolour([&view] { view.sendRefresh(kRetexture, kPaintRefresh); });
}

// Ctrl keeps the fill inside the selected triangles; a mirrored fill also
// fills the region across from the seed.
void fillAt(SkinView& view, WindowPoint point) {
  SkinViewInputs& in = view.inputs();
  PaintStroke& stroke = view.paintStroke;
  const Skin* skin = stroke.skin();
  const std::int32_t seed = view.texelAt(point.x, point.y);
  if (skin == nullptr || skin->width <= 0 || seed < 0) return;
  std::vector<std::uint8_t> allowed;
  if (view.ctrlHeld && in.brush.selectionMask) allowed = in.brush.selectionMask();
  const PaintTables tables{in.blendTable, in.protectedColors, in.brush.softTables};
  const int x = seed % skin->width, y = seed / skin->width;
  bool changed = stroke.fill(x, y, tables, allowed);
  if (in.brush.mirrors() && view.mirror.ready())
    if (const auto across = view.mirror.mirrorTexel(in.model, x, y))
      changed |= stroke.fill((*across)[0], (*across)[1], tables, allowed);
  if (changed) stroke.recolour([&view] { view.sendRefresh(kRetexture, kPaintRefresh); });
}

void pickAt(SkinView& view, const MouseEvent& event) {
  const Skin* skin = view.currentSkin();
  if (skin == nullptr) return;
  SkinViewInputs& in = view.inputs();
  std::uint8_t& slot = in.colorSlots[static_cast<size_t>(in.currentSlot) & 7];
  if (pickPaintColour(*skin, view.texelAt(event.x, event.y), slot))
    view.sendRefresh(0, kPickRefresh);
}

}  // namespace

void pressPaint(SkinView& view, const MouseEvent& event) {
  Skin* skin = view.currentSkin();
  if (skin == nullptr) return;
  SkinViewInputs& in = view.inputs();
  const WindowPoint point{event.x, event.y};
  view.paintStroke.begin(*skin, in.brushKind, point, in.brush.currentShape());
  if (in.brush.mirrors()) view.mirror.prepare(in.model, *in.brush.mirrorAxis);
  if (in.brushKind == kBrushFill)
    fillAt(view, point);
  else
    paintStep(view, true, point);
  view.beginDrag(kDragPaint, true);
}

void movePaint(SkinView& view, const MouseEvent& event) {
  if (!view.paintStroke.paints(view.currentSkin())) return view.paintStroke.drop();
  paintStep(view, false, {event.x, event.y});
}

void releasePaint(SkinView& view) {
  if (!view.paintStroke.paints(view.currentSkin())) return view.paintStroke.drop();
  if (view.inputs().brush.strokeEnds) view.inputs().brush.strokeEnds(view.paintStroke);
  view.paintStroke.end();
}

void abortPaint(SkinView& view) { releasePaint(view); }

void pressPick(SkinView& view, const MouseEvent& event) {
  view.beginDrag(kDragColorPick, false);
  pickAt(view, event);
}

void movePick(SkinView& view, const MouseEvent& event) { pickAt(view, event); }

void releasePick(SkinView& view) {
  view.sendRefresh(0, kPickDoneRefresh);
  view.inputs().rebuildBlendTable();
}

void abortPick(SkinView& view) { releasePick(view); }

}  // namespace pelt::paint
