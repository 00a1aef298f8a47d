// The skin view's mouse state machine: which gesture a press starts, where
// moves and releases go, and the camera gesture that pans and zooms.

#include <algorithm>

#include "platform/platform.h"
#include "skinview/mapping_gestures.h"
#include "skinview/paint_gestures.h"
#include "skinview/skin_view.h"

namespace pelt {

namespace {

constexpr float kCameraZoomOut = 0.99900097f;
constexpr float kCameraZoomIn = 1.001f;

bool isMapRectState(std::int32_t state) {
  return state >= kDragMoveMapRect && state <= kDragMapRectBottom;
}

bool isEnding(std::int32_t state) {
  return state == kDragIdle || state == kDragEndingHidden || state == kDragEnding;
}

}  // namespace

void SkinView::beginDrag(std::int32_t state, bool hideCursor) {
  dragState = state;
  if (!captured_) in_.platform.capturePointer(ViewId::SkinView);
  captured_ = true;
  if (hideCursor && !cursorHidden_) {
    in_.platform.hidePointer();
    cursorHidden_ = true;
  }
}

void SkinView::pinPointer() { in_.platform.setPointerPosition(pressScreenX, pressScreenY); }

void SkinView::mousePress(const MouseEvent& event) {
  if (dragState != kDragIdle) return;
  if (event.button != kButtonLeft && event.button != kButtonRight) return;
  pressX = prevX = event.x;
  pressY = prevY = event.y;
  pressScreenX = event.screenX;
  pressScreenY = event.screenY;
  ctrlHeld = event.ctrl ? 1 : 0;
  shiftHeld = event.shift ? 1 : 0;
  gestureButton_ = event.button;
  pressGesture(event);
  if (dragState == kDragIdle) {
    ctrlHeld = shiftHeld = 0;
    gestureButton_ = kButtonNone;
  }
}

void SkinView::pressGesture(const MouseEvent& event) {
  const bool left = event.button == kButtonLeft;
  if (in_.cameraOverride) {
    beginDrag(kDragCamera, true);
    return;
  }
  if (left && mapRectShown != 0) {
    mapping::pressMapRect(*this, event);
  } else if (in_.interactionMode == 0) {
    if (left)
      paint::pressPaint(*this, event);
    else
      paint::pressPick(*this, event);
  } else if (!left) {
    mapping::pressTransform(*this, event);
  } else if (shiftHeld || ctrlHeld) {
    mapping::pressSelect(*this, event);
  } else {
    mapping::pressVertex(*this, event);
  }
}

void SkinView::mouseMove(const MouseEvent& event) {
  if (!captured_ || isEnding(dragState)) return;
  moveGesture(event);
  prevX = event.x;
  prevY = event.y;
}

void SkinView::moveGesture(const MouseEvent& event) {
  switch (dragState) {
    case kDragCamera: cameraMove(event); break;
    case kDragPaint: paint::movePaint(*this, event); break;
    case kDragColorPick: paint::movePick(*this, event); break;
    case kDragStVertex: mapping::moveVertex(*this, event); break;
    case kDragTransform: mapping::moveTransform(*this, event); break;
    case kDragAddSelection:
    case kDragRemoveSelection: mapping::moveSelect(*this, event); break;
    default:
      if (isMapRectState(dragState)) mapping::moveMapRect(*this, event);
      break;
  }
}

void SkinView::cameraMove(const MouseEvent& event) {
  const int dx = dragDx(event);
  const int dy = dragDy(event);
  // The pointer's own return to the pinned point.
  if (dx == 0 && dy == 0) return;
  if ((event.buttons & kButtonRight) != 0) {
    for (int i = 0; i < dy; ++i) zoom *= kCameraZoomOut;
    for (int i = 0; i > dy; --i) zoom *= kCameraZoomIn;
    zoom = std::clamp(zoom, kMinSkinZoom, kMaxSkinZoom);
  } else {
    panS -= static_cast<float>(dx) / zoom;
    panT -= static_cast<float>(dy) / zoom;
  }
  pinPointer();
  sendRefresh(1, kSkinRefreshCamera);
}

void SkinView::mouseRelease(const MouseEvent& event) {
  if (dragState == kDragIdle) return;
  if (!isEnding(dragState)) {
    if (event.button != gestureButton_) return;
    releaseGesture();
  }
  endGesture(event.buttons);
}

void SkinView::releaseGesture() {
  switch (dragState) {
    case kDragCamera: sendRefresh(0, kSkinRefreshCamera); break;
    case kDragPaint: paint::releasePaint(*this); break;
    case kDragColorPick: paint::releasePick(*this); break;
    case kDragStVertex: mapping::releaseVertex(*this); break;
    case kDragTransform: mapping::releaseTransform(*this); break;
    case kDragAddSelection:
    case kDragRemoveSelection: mapping::releaseSelect(*this); break;
    default:
      if (isMapRectState(dragState)) mapping::releaseMapRect(*this);
      break;
  }
}

void SkinView::endGesture(unsigned buttonsHeld) {
  const unsigned other = (kButtonLeft | kButtonRight) & ~gestureButton_;
  if ((buttonsHeld & other) == 0) {
    completeGesture();
    return;
  }
  dragState = cursorHidden_ ? kDragEndingHidden : kDragEnding;
  gestureButton_ = other;
}

void SkinView::completeGesture() {
  dragState = kDragIdle;
  gestureButton_ = kButtonNone;
  ctrlHeld = shiftHeld = 0;
  if (captured_) in_.platform.releasePointer();
  captured_ = false;
  if (cursorHidden_) in_.platform.showPointer();
  cursorHidden_ = false;
}

void SkinView::captureLost() {
  if (dragState == kDragIdle) return;
  // Our own release of the pointer is no loss.
  captured_ = false;
  switch (dragState) {
    case kDragCamera: sendRefresh(0, kSkinRefreshCamera); break;
    case kDragPaint: paint::abortPaint(*this); break;
    case kDragColorPick: paint::abortPick(*this); break;
    case kDragStVertex: mapping::abortVertex(*this); break;
    case kDragTransform: mapping::abortTransform(*this); break;
    case kDragAddSelection:
    case kDragRemoveSelection: mapping::abortSelect(*this); break;
    default:
      if (isMapRectState(dragState)) mapping::abortMapRect(*this);
      break;
  }
  completeGesture();
}

}  // namespace pelt
