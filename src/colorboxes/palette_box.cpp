#include "colorboxes/palette_box.h"

#include <algorithm>

#include "platform/platform.h"

namespace pelt {

namespace {

constexpr int kBackgroundSlot = 7;
constexpr int kNudgeStep = 16;
constexpr std::uint8_t kCheckerLift = 64;
constexpr std::uint8_t kMarkerShift = 128;
constexpr Rgb8 kBlack{0, 0, 0};
constexpr Rgb8 kWhite{255, 255, 255};

// Refresh masks: skin view, 3D view and the flag bits passed to them.
constexpr int kBothViewsQuick = 0x13;
constexpr int kBothViewsFinal = 0x23;

bool isMeshSlot(int slot) { return slot >= 1 && slot <= 3; }

Rgb8 shifted(Rgb8 c, std::uint8_t by) {
  return {static_cast<std::uint8_t>(c.r + by), static_cast<std::uint8_t>(c.g + by),
          static_cast<std::uint8_t>(c.b + by)};
}

}  // namespace

PaletteBox::PaletteBox(PaletteBoxInputs inputs) : in_(std::move(inputs)) {
  image_.resize(8, 8, in_.platform.systemColors().buttonFace);
}

void PaletteBox::resize(int clientWidth, int clientHeight) {
  if (!image_.resize(clientWidth, clientHeight, in_.platform.systemColors().buttonFace)) return;
  const int area = std::max(image_.width() - kSlotAreaWidth, 0);
  column_.resize(static_cast<size_t>(area));
  for (int c = 0; c < area; ++c) column_[static_cast<size_t>(c)] = static_cast<std::uint8_t>(c * 64 / area);
  drawImage();
}

Rgb8 PaletteBox::colour(int index) const {
  const Palette* palette = in_.palette();
  if (palette == nullptr) {
    const auto grey = static_cast<std::uint8_t>(index);
    return {grey, grey, grey};
  }
  const auto i = static_cast<size_t>(index) * 3;
  return {(*palette)[i], (*palette)[i + 1], (*palette)[i + 2]};
}

int PaletteBox::colourAt(int x, int y) const {
  const auto c = static_cast<size_t>(x - kSlotAreaWidth);
  return kSlotAreaWidth * (y / kPaletteBandRows) + (c < column_.size() ? column_[c] : 0);
}

void PaletteBox::drawImage() {
  const int width = image_.width();
  for (int y = 0; y < kPaletteBoxRows; ++y)
    for (int x = kSlotAreaWidth; x < width; ++x) {
      const int index = colourAt(x, y);
      Rgb8 c = colour(index);
      if (in_.protectedColors[static_cast<size_t>(index)] != 0 &&
          ((y ^ (x - kSlotAreaWidth)) & 2) == 0)
        c = shifted(c, kCheckerLift);
      image_.set(x, y, c);
    }
  for (int k = 0; k < 8; ++k) drawSlot(k);
}

void PaletteBox::redraw() {
  drawImage();
  in_.platform.repaint(ViewId::PaletteBox);
}

void PaletteBox::drawSlot(int k) {
  const int index = in_.colorSlots[static_cast<size_t>(k)];
  const Rgb8 c = colour(index);
  const int x = kSlotSize * (k % 4);
  const int y = kSlotSize * (k / 4);
  image_.fillRect(x, y, x + 15, y + 15, kBlack);
  image_.fillRect(x + 1, y + 1, x + 14, y + 14, k == in_.currentSlot ? kWhite : c);
  image_.fillRect(x + 2, y + 2, x + 13, y + 13, c);
  drawMarker(index);
}

// A box around the run of columns showing `index`, one column wider on the
// right, in the colour's channels shifted by half their range.
void PaletteBox::drawMarker(int index) {
  const int area = static_cast<int>(column_.size());
  int c0 = 0;
  while (c0 < area && column_[static_cast<size_t>(c0)] != index % 64) ++c0;
  if (c0 == area) return;
  int c1 = c0 + 1;
  while (c1 < area && column_[static_cast<size_t>(c1)] == column_[static_cast<size_t>(c0)]) ++c1;
  const int n = c1 - c0 + 1;
  const Rgb8 c = shifted(colour(index), kMarkerShift);
  const int left = kSlotAreaWidth + c0;
  const int right = left + n - 1;
  const int top = kPaletteBandRows * (index / 64);
  const int bottom = top + kPaletteBandRows - 1;
  image_.fillRect(left, top, right, top, c);
  image_.fillRect(left, bottom, right, bottom, c);
  image_.fillRect(left, top + 1, left, bottom - 1, c);
  image_.fillRect(right, top + 1, right, bottom - 1, c);
}

void PaletteBox::pickSlot(int x, int y) {
  const int slot = x / kSlotSize + 4 * (y / kSlotSize);
  if (slot == in_.currentSlot) return;
  in_.currentSlot = slot;
  redraw();
}

void PaletteBox::pickColour(int x, int y) {
  const auto index = static_cast<std::uint8_t>(colourAt(x, y));
  std::uint8_t& slot = in_.colorSlots[static_cast<size_t>(in_.currentSlot)];
  if (slot == index) return;
  slot = index;
  redraw();
  announce(false);
}

void PaletteBox::setProtection(int x, int y, bool on) {
  std::int32_t& mark = in_.protectedColors[static_cast<size_t>(colourAt(x, y))];
  if ((mark != 0) == on) return;
  mark = on ? 1 : 0;
  redraw();
}

// Slot 7 is the views' background, slots 1 to 3 their mesh lines.
void PaletteBox::announce(bool release) {
  Platform& platform = in_.platform;
  const int slot = in_.currentSlot;
  if (slot == kBackgroundSlot) {
    platform.postRefresh(2, release ? kBothViewsFinal : kBothViewsQuick);
  } else if (isMeshSlot(slot)) {
    in_.rebuildShadeRamps();
    platform.postRefresh(1, kBothViewsQuick);
  } else if (release) {
    platform.postRefresh(0, kBothViewsFinal);
  }
}

void PaletteBox::mousePress(const MouseEvent& e) {
  if (drag_ != PaletteDrag::Idle || e.y < 0 || e.y >= kPaletteBoxRows || e.x < 0 ||
      e.x >= image_.width())
    return;
  const bool slots = e.x < kSlotAreaWidth;
  if (e.button == kButtonLeft) {
    drag_ = slots ? PaletteDrag::Slot : PaletteDrag::Colour;
    if (slots)
      pickSlot(e.x, e.y);
    else
      pickColour(e.x, e.y);
  } else if (e.button == kButtonRight && !slots) {
    const bool wasProtected = in_.protectedColors[static_cast<size_t>(colourAt(e.x, e.y))] != 0;
    drag_ = wasProtected ? PaletteDrag::Unprotect : PaletteDrag::Protect;
    setProtection(e.x, e.y, !wasProtected);
  } else {
    return;
  }
  dragButton_ = e.button;
  in_.platform.capturePointer(ViewId::PaletteBox);
  captured_ = true;
}

void PaletteBox::mouseMove(const MouseEvent& e) {
  const int y = std::clamp(e.y, 0, kPaletteBoxRows - 1);
  const int lastX = image_.width() - 1;
  switch (drag_) {
    case PaletteDrag::Slot: pickSlot(std::clamp(e.x, 0, kSlotAreaWidth - 1), y); break;
    case PaletteDrag::Colour: pickColour(std::clamp(e.x, kSlotAreaWidth, lastX), y); break;
    case PaletteDrag::Protect:
    case PaletteDrag::Unprotect:
      setProtection(std::clamp(e.x, kSlotAreaWidth, lastX), y, drag_ == PaletteDrag::Protect);
      break;
    default: break;
  }
}

void PaletteBox::mouseRelease(const MouseEvent& e) {
  if (drag_ == PaletteDrag::Idle) return;
  if (drag_ != PaletteDrag::Wait) {
    if (e.button != dragButton_) return;
    if (drag_ == PaletteDrag::Colour) {
      redraw();
      announce(true);
    }
    if (drag_ == PaletteDrag::Slot || drag_ == PaletteDrag::Colour) in_.rebuildBlendTable();
    drag_ = PaletteDrag::Wait;
  }
  release(e.buttons);
}

void PaletteBox::release(unsigned buttonsHeld) {
  const unsigned other = (kButtonLeft | kButtonRight) & ~dragButton_;
  if ((buttonsHeld & other) != 0) {
    dragButton_ = other;
    return;
  }
  drag_ = PaletteDrag::Idle;
  dragButton_ = kButtonNone;
  if (captured_) in_.platform.releasePointer();
  captured_ = false;
}

void PaletteBox::captureLost() {
  if (drag_ == PaletteDrag::Idle) return;
  captured_ = false;
  if (drag_ == PaletteDrag::Slot || drag_ == PaletteDrag::Colour) in_.rebuildBlendTable();
  drag_ = PaletteDrag::Idle;
  dragButton_ = kButtonNone;
}

void PaletteBox::wheel(int delta) {
  const int steps = delta / 120;
  std::uint8_t& slot = in_.colorSlots[static_cast<size_t>(in_.currentSlot)];
  slot = static_cast<std::uint8_t>(slot + kNudgeStep * steps);
  redraw();
  if (in_.currentSlot == kBackgroundSlot) in_.platform.postRefresh(2, kBothViewsQuick);
  if (isMeshSlot(in_.currentSlot)) {
    in_.rebuildShadeRamps();
    in_.platform.postRefresh(1, kBothViewsQuick);
  }
  in_.rebuildBlendTable();
}

}  // namespace pelt
