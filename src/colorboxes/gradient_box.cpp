#include "colorboxes/gradient_box.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/platform.h"

namespace pelt {

namespace {

constexpr int kGripBottomRow = 13;  // the grip ends this many rows above the bottom
constexpr Rgb8 kBlack{0, 0, 0};

// 3D view, flag bits passed to it.
constexpr int kLightingInteractive = 0x12;
constexpr int kLightingFinal = 0x22;

// Flat, Gouraud, Phong, Textured G-Shaded and P-Shaded show the curve.
bool modeUsesLighting(int mode) {
  return mode == 2 || mode == 3 || mode == 4 || mode == 7 || mode == 8;
}

}  // namespace

GradientBox::GradientBox(GradientBoxInputs inputs) : in_(std::move(inputs)) {
  image_.resize(8, 8, in_.platform.systemColors().buttonFace);
}

void GradientBox::resize(int clientWidth, int clientHeight) {
  if (image_.resize(clientWidth, clientHeight, in_.platform.systemColors().buttonFace))
    drawImage();
}

double GradientBox::gaugeValue(int y) const {
  const int rows = image_.height() - kGradientStripRows;
  if (rows <= 0) return 0;
  return std::clamp(static_cast<double>(y) / rows, 0.0, 1.0);
}

GradientBox::Part GradientBox::partAt(int x, int y) const {
  const int h = image_.height();
  if (y < h - kGradientStripRows) return Part::Gauge;
  if (y < h - kPresetRows) return Part::Grip;
  return x < image_.width() / 2 ? Part::PresetA : Part::PresetB;
}

void GradientBox::drawImage() {
  const SystemColors colors = in_.platform.systemColors();
  image_.fillRect(0, 0, image_.width() - 1, image_.height() - 1, colors.buttonFace);
  drawGauge();
  drawStrip();
}

void GradientBox::drawGauge() {
  const int w = image_.width();
  const int h = image_.height();
  image_.bevel(0, 0, w - 1, h - kGradientStripRows, in_.platform.systemColors(), true);
  const int rows = gaugeHeight();
  if (rows <= 0) return;
  const int filled = static_cast<int>(rows * in_.blendAmount);
  const int bottom = h - kGradientStripRows - 1;
  for (int r = 0; r < rows; ++r) {
    Rgb8 c = kBlack;
    if (r < filled) {
      const auto level = static_cast<int>(r * 255.0 / filled) % 256;
      const std::uint8_t g = in_.shadeCurve[static_cast<size_t>(level)];
      c = {g, g, g};
    }
    image_.fillRect(2, bottom - r, w - 3, bottom - r, c);
  }
}

// The grip and the presets, each sunken while pressed, with small glyphs: a
// double bar on the grip, a notch at the preset's share on each button.
void GradientBox::drawStrip() {
  const SystemColors colors = in_.platform.systemColors();
  const int w = image_.width();
  const int h = image_.height();
  const bool gripDown = drag_ == GradientDrag::Grip || drag_ == GradientDrag::GripRight;
  const int gripTop = h - kGradientStripRows + 1;
  const int gripBottom = h - kGripBottomRow;
  image_.bevel(0, gripTop, w - 1, gripBottom, colors, gripDown);
  const int mid = w / 2;
  for (int y = gripTop + 4; y <= gripBottom - 4; ++y) {
    image_.set(mid - 2, y, colors.shadow);
    image_.set(mid + 1, y, colors.shadow);
  }
  const bool aDown = drag_ == GradientDrag::PresetALeft || drag_ == GradientDrag::PresetARight;
  const bool bDown = drag_ == GradientDrag::PresetBLeft || drag_ == GradientDrag::PresetBRight;
  const int top = h - kPresetRows;
  image_.bevel(0, top, mid - 1, h - 1, colors, aDown);
  image_.bevel(mid, top, w - 1, h - 1, colors, bDown);
  auto notch = [&](int left, int right, double share) {
    const int x = left + 2 + static_cast<int>((right - left - 4) * std::clamp(share, 0.0, 1.0));
    image_.fillRect(x, top + 3, x, h - 4, colors.buttonText);
  };
  notch(0, mid - 1, presetA);
  notch(mid, w - 1, presetB);
}

std::string GradientBox::readout() const {
  char text[64];
  std::snprintf(text, sizeof text, "Blend %d%%  Light exponent %.2f",
                static_cast<int>(std::lround(in_.blendAmount * 100)), in_.lightExponent);
  return text;
}

std::string GradientBox::statusText(int x, int y) const {
  const bool dragging = drag_ == GradientDrag::Amount || drag_ == GradientDrag::Exponent;
  return dragging || partAt(x, y) == Part::Gauge ? readout() : std::string();
}

void GradientBox::redraw() {
  drawImage();
  in_.platform.repaint(ViewId::GradientBox);
}

void GradientBox::setExponent(int y) {
  const double up = 1.0 - gaugeValue(y);
  in_.lightExponent = up * up * kMaxLightExponent;
  in_.rebuildLighting();
}

void GradientBox::announceLighting(bool final) {
  if (!modeUsesLighting(in_.renderMode)) return;
  in_.platform.postRefresh(final ? 0 : 1, final ? kLightingFinal : kLightingInteractive);
}

void GradientBox::mousePress(const MouseEvent& e) {
  if (drag_ != GradientDrag::Idle || captured_) return;
  pressScreenX_ = e.screenX;
  pressScreenY_ = e.screenY;
  const bool left = e.button == kButtonLeft;
  if (!left && e.button != kButtonRight) return;
  Platform& platform = in_.platform;
  const Part part = partAt(e.x, e.y);
  if (left && part == Part::Grip) {
    // The main frame drags the split bar and ends the drag through captureLost.
    drag_ = GradientDrag::Grip;
    platform.sendBarAdjust(0);
    redraw();
    return;
  }
  platform.capturePointer(ViewId::GradientBox);
  captured_ = true;
  switch (part) {
    case Part::Gauge:
      if (left) {
        in_.blendAmount = 1.0 - gaugeValue(e.y);
        drag_ = GradientDrag::Amount;
      } else {
        setExponent(e.y);
        drag_ = GradientDrag::Exponent;
      }
      platform.hidePointer();
      redraw();
      if (!left) announceLighting(false);
      return;
    case Part::Grip: drag_ = GradientDrag::GripRight; break;
    case Part::PresetA: drag_ = left ? GradientDrag::PresetALeft : GradientDrag::PresetARight; break;
    case Part::PresetB: drag_ = left ? GradientDrag::PresetBLeft : GradientDrag::PresetBRight; break;
  }
  redraw();
}

void GradientBox::mouseMove(const MouseEvent& e) {
  if (drag_ == GradientDrag::Amount) {
    in_.blendAmount = 1.0 - gaugeValue(e.y);
    redraw();
  } else if (drag_ == GradientDrag::Exponent) {
    setExponent(e.y);
    redraw();
    announceLighting(false);
  }
}

void GradientBox::mouseRelease(const MouseEvent& e) {
  const bool left = e.button == kButtonLeft;
  const bool right = e.button == kButtonRight;
  switch (drag_) {
    case GradientDrag::Amount:
      if (!left) return;
      in_.blendAmount = 1.0 - gaugeValue(e.y);
      redraw();
      in_.rebuildBlendTable();
      finish(true);
      in_.platform.showStatusText(readout());
      return;
    case GradientDrag::Exponent:
      if (!right) return;
      setExponent(e.y);
      redraw();
      announceLighting(true);
      finish(true);
      in_.platform.showStatusText(readout());
      return;
    case GradientDrag::GripRight:
      if (!right) return;
      wait();
      in_.swapDisplays();
      redraw();
      return;
    case GradientDrag::PresetALeft:
    case GradientDrag::PresetBLeft:
      if (!left) return;
      in_.splitRatio = drag_ == GradientDrag::PresetALeft ? presetA : presetB;
      wait();
      in_.platform.sendBarAdjust(1);
      redraw();
      return;
    case GradientDrag::PresetARight:
    case GradientDrag::PresetBRight:
      if (!right) return;
      (drag_ == GradientDrag::PresetARight ? presetA : presetB) = in_.splitRatio;
      wait();
      redraw();
      return;
    default: return;
  }
}

void GradientBox::captureLost() {
  switch (drag_) {
    case GradientDrag::Grip:
    case GradientDrag::GripRight:
      finish(false);
      redraw();
      break;
    case GradientDrag::PresetALeft:
    case GradientDrag::PresetBLeft:
    case GradientDrag::PresetARight:
    case GradientDrag::PresetBRight:
      wait();
      redraw();
      break;
    case GradientDrag::Amount:
      in_.rebuildBlendTable();
      finish(true);
      break;
    case GradientDrag::Exponent:
      in_.rebuildLighting();
      redraw();
      announceLighting(true);
      finish(true);
      break;
    default: break;
  }
}

// The gauge drags hid the pointer; it comes back where the press was.
void GradientBox::finish(bool restorePointer) {
  drag_ = GradientDrag::Idle;
  const bool held = captured_;
  captured_ = false;
  if (held) in_.platform.releasePointer();
  if (!restorePointer) return;
  in_.platform.setPointerPosition(pressScreenX_, pressScreenY_);
  in_.platform.showPointer();
}

void GradientBox::wait() {
  drag_ = GradientDrag::Idle;
  const bool held = captured_;
  captured_ = false;
  if (held) in_.platform.releasePointer();
}

}  // namespace pelt
