// The mouse in the 3D view: camera gestures, painting and colour picking on
// the model, and brushing triangle selections, each fixed at the press.

#include <algorithm>

#include "platform/platform.h"
#include "view3d/model_view.h"

namespace pelt {

namespace {

// Refresh masks: skin view 1, 3D view 2, palette box 8, plus flag bits.
constexpr int kModelViewMask = 0x02;
constexpr int kSelectionMask = 0x03;
constexpr int kPickMask = 0x18;
constexpr int kPickDoneMask = 0x23;

constexpr double kOrbitDegreesPerPixel = 0.2;
constexpr double kLookDegreesPerPixel = 0.02;
constexpr unsigned kBothButtons = kButtonLeft | kButtonRight;

bool isCamera(ViewGesture g) {
  return g == ViewGesture::Orbit || g == ViewGesture::Look || g == ViewGesture::FieldOfView ||
         g == ViewGesture::Light || g == ViewGesture::Pan;
}

// The button that started a gesture; releasing it ends the gesture.
unsigned ownButton(ViewGesture g) {
  switch (g) {
    case ViewGesture::Orbit:
    case ViewGesture::FieldOfView:
    case ViewGesture::Paint:
    case ViewGesture::Select: return kButtonLeft;
    case ViewGesture::Look:
    case ViewGesture::Light:
    case ViewGesture::PickColour:
    case ViewGesture::Deselect: return kButtonRight;
    case ViewGesture::Pan: return kButtonMiddle;
    default: return kButtonNone;
  }
}

Vec3f minus(const Vec3f& a, const Vec3f& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vec3f plus(const Vec3f& a, const Vec3f& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }

}  // namespace

ViewGesture ModelView::chooseGesture(const MouseEvent& event) const {
  if (event.button == kButtonMiddle) return ViewGesture::Pan;
  const bool left = event.button == kButtonLeft;
  const bool cameraOverride = in_.mouse.cameraOverride == nullptr || *in_.mouse.cameraOverride;
  if (cameraOverride) {
    if (event.shift) return left ? ViewGesture::FieldOfView : ViewGesture::Light;
    return left ? ViewGesture::Orbit : ViewGesture::Look;
  }
  if (mappingMode()) return left ? ViewGesture::Select : ViewGesture::Deselect;
  return left ? ViewGesture::Paint : ViewGesture::PickColour;
}

void ModelView::mousePress(const MouseEvent& event) {
  if (gesture_ != ViewGesture::Idle) return;
  if (event.button != kButtonLeft && event.button != kButtonRight && event.button != kButtonMiddle)
    return;
  anchor_ = {event.x, event.y};
  anchorScreen_ = {event.screenX, event.screenY};
  ctrlAtPress_ = event.ctrl;
  drag_ = {};
  gesture_ = chooseGesture(event);
  startGesture();
}

void ModelView::startGesture() {
  switch (gesture_) {
    case ViewGesture::Orbit: drag_ = startCameraDrag(minus(eye, target)); break;
    case ViewGesture::Look: drag_ = startCameraDrag(minus(target, eye)); break;
    case ViewGesture::Paint: paintStroke(true, anchor_); break;
    case ViewGesture::PickColour: pickColour(anchor_); break;
    case ViewGesture::Select:
    case ViewGesture::Deselect: brushSelection(anchor_); break;
    default: break;
  }
  capture();
  if (isCamera(gesture_) || gesture_ == ViewGesture::Paint) hidePointer();
}

void ModelView::mouseMove(const MouseEvent& event) {
  if (!captured_) return;
  if (isCamera(gesture_))
    cameraStep(event);
  else
    gestureStep({event.x, event.y});
}

void ModelView::cameraStep(const MouseEvent& event) {
  // Screen positions: where the pointer cannot be warped the platform
  // rebuilds them from the motion, so deltas stay the same.
  const WindowPoint screen{event.screenX, event.screenY};
  if (screen == anchorScreen_) return;
  const int dx = screen.x - anchorScreen_.x;
  const int dy = screen.y - anchorScreen_.y;
  in_.platform.setPointerPosition(anchorScreen_.x, anchorScreen_.y);
  switch (gesture_) {
    case ViewGesture::Orbit:
      if ((event.buttons & kButtonRight) != 0)
        zoomEye(eye, target, drag_, dy);
      else
        eye = plus(target, turnCameraDrag(drag_, -kOrbitDegreesPerPixel * dx,
                                          -kOrbitDegreesPerPixel * drag_.upSign * dy));
      break;
    case ViewGesture::Look:
      if ((event.buttons & kButtonLeft) != 0)
        dollyTarget(eye, target, drag_, dy);
      else
        target = plus(eye, turnCameraDrag(drag_, kLookDegreesPerPixel * dx,
                                          -kLookDegreesPerPixel * drag_.upSign * dy));
      break;
    case ViewGesture::FieldOfView: fieldOfView = dragFieldOfView(fieldOfView, dx); break;
    case ViewGesture::Light: turnLight(in_.shading.lightDirection, dx, dy); break;
    case ViewGesture::Pan:
      panCamera(eye, target, fieldOfView, std::min(viewWidth_, viewHeight_), dx, dy);
      break;
    default: return;
  }
  in_.platform.sendRefresh(kRedrawQuick, kModelViewMask);
}

void ModelView::gestureStep(WindowPoint point) {
  switch (gesture_) {
    case ViewGesture::Paint: paintStroke(false, point); break;
    case ViewGesture::PickColour: pickColour(point); break;
    case ViewGesture::Select:
    case ViewGesture::Deselect: brushSelection(point); break;
    default: break;
  }
}

void ModelView::mouseRelease(const MouseEvent& event) {
  if (!captured_ || gesture_ == ViewGesture::Idle) return;
  // A pan ends with the last button up; the other gestures watch left and right.
  const unsigned watched =
      gesture_ == ViewGesture::Pan ? kBothButtons | kButtonMiddle : kBothButtons;
  const bool buttonsUp = (event.buttons & watched) == 0;
  // With every button up the gesture ends even if its own release was missed.
  if (event.button == ownButton(gesture_) || (buttonsUp && ownButton(gesture_) != kButtonNone))
    finishGesture();
  if (!buttonsUp) return;
  if (gesture_ == ViewGesture::WaitOther) showPointer();
  gesture_ = ViewGesture::Idle;
  captured_ = false;
  in_.platform.releasePointer();
}

void ModelView::finishGesture() {
  if (isCamera(gesture_)) {
    in_.platform.sendRefresh(kRedrawFull, kModelViewMask);
    gesture_ = ViewGesture::WaitOther;
  } else if (gesture_ == ViewGesture::Paint) {
    endPaint();
    gesture_ = ViewGesture::WaitOther;
  } else if (gesture_ == ViewGesture::PickColour) {
    endPick();
    gesture_ = ViewGesture::WaitRelease;
  } else {
    gesture_ = ViewGesture::WaitRelease;
  }
}

void ModelView::captureLost() {
  if (gesture_ == ViewGesture::Idle) return;
  if (isCamera(gesture_)) in_.platform.sendRefresh(kRedrawFull, kModelViewMask);
  if (gesture_ == ViewGesture::Paint) endPaint();
  if (gesture_ == ViewGesture::PickColour) endPick();
  showPointer();
  gesture_ = ViewGesture::Idle;
  captured_ = false;
}

void ModelView::endPaint() {
  if (!stroke_.paints(in_.model.currentSkin())) return stroke_.drop();
  if (in_.mouse.brush.strokeEnds) in_.mouse.brush.strokeEnds(stroke_);
  stroke_.end();
}

void ModelView::endPick() {
  in_.platform.sendRefresh(kRedrawFull, kPickDoneMask);
  if (in_.mouse.colourPicked) in_.mouse.colourPicked();
}

bool ModelView::inClient(WindowPoint p) const {
  return p.x >= 0 && p.y >= 0 && p.x < clientWidth_ && p.y < clientHeight_ &&
         p.x < viewWidth_ && p.y < viewHeight_;
}

std::int32_t ModelView::pickAt(WindowPoint p) const {
  if (!inClient(p)) return kPickNothing;
  return pickBuffer_[static_cast<size_t>(viewHeight_ - p.y - 1) * static_cast<size_t>(viewWidth_) +
                     static_cast<size_t>(p.x)];
}

std::int32_t ModelView::texelAt(int x, int y) const {
  // Elsewhere the pick buffer holds triangle indices, which are no texels.
  return pickHoldsTexels_ ? pickAt({x, y}) : kNoTexel;
}

void ModelView::pickColour(WindowPoint point) {
  const Skin* skin = in_.model.currentSkin();
  if (skin == nullptr || in_.mouse.currentSlot == nullptr) return;
  std::uint8_t& slot = in_.colorSlots[static_cast<size_t>(*in_.mouse.currentSlot) & 7];
  if (pickPaintColour(*skin, texelAt(point.x, point.y), slot))
    in_.platform.sendRefresh(kRedrawFull, kPickMask);
}

void ModelView::brushSelection(WindowPoint point) {
  if (pickHoldsTexels_) return;
  const std::int32_t p = pickAt(point);
  if (p < 0 || p >= std::clamp(in_.model.triangleCount, 0, kMaxTriangles)) return;
  std::uint32_t& flags = in_.model.triangles[static_cast<size_t>(p)].flags;
  const bool selected = (flags & kTriangleSelected) != 0;
  if (gesture_ == ViewGesture::Select && !selected)
    flags |= kTriangleSelected;
  else if (gesture_ == ViewGesture::Deselect && selected)
    flags &= ~static_cast<std::uint32_t>(kTriangleSelected);
  else
    return;
  in_.platform.sendRefresh(kRedrawQuick, kSelectionMask);
}

void ModelView::wheel(int delta) {
  turnEyeByWheel(eye, target, static_cast<std::int16_t>(delta));
  render(kRedrawFull);
  in_.platform.repaint(ViewId::ModelView);
}

void ModelView::capture() {
  captured_ = true;
  in_.platform.capturePointer(ViewId::ModelView);
}

void ModelView::hidePointer() {
  if (pointerHidden_) return;
  pointerHidden_ = true;
  in_.platform.hidePointer();
}

void ModelView::showPointer() {
  if (!pointerHidden_) return;
  pointerHidden_ = false;
  in_.platform.showPointer();
}

}  // namespace pelt
