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

void paintStep(SkinView& view, bool pressed, WindowPoint point) {
  SkinViewInputs& in = view.inputs();
  auto lookup = [&view](int x, int y) { return view.texelAt(x, y); };
  const PaintTables tables{in.blendTable, in.protectedColors};
  const PaintSurface<decltype(lookup)> surface{in.rasterizer, view.shownWidth(), view.viewHeight,
                                               tables, lookup};
  PaintStroke& stroke = view.paintStroke;
  if (pressed ? stroke.press(surface) : stroke.moveTo(surface, point))
    stroke.recolour([&view] { view.sendRefresh(kRetexture, kPaintRefresh); });
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
  const WindowPoint point{event.x, event.y};
  view.paintStroke.begin(*skin, view.inputs().brushKind, point);
  paintStep(view, true, point);
  view.beginDrag(kDragPaint, true);
}

void movePaint(SkinView& view, const MouseEvent& event) {
  if (!view.paintStroke.paints(view.currentSkin())) return view.paintStroke.drop();
  paintStep(view, false, {event.x, event.y});
}

void releasePaint(SkinView& view) {
  if (!view.paintStroke.paints(view.currentSkin())) return view.paintStroke.drop();
  // The skin list marks a skin the stroke left modified.
  if (view.paintStroke.end()) view.inputs().platform.refillLists();
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
