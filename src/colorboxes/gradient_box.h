#pragma once
// The gradient box ("Gradient Box"): a gauge set with the left button (paint
// blend amount) and the right button (light exponent) whose filling shows
// the brightness curve, a grip that drags the split bar (right button: swap
// the views) and two layout presets below it.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "colorboxes/box_image.h"
#include "platform/core_view.h"

namespace pelt {

class Platform;

struct GradientBoxInputs {
  Platform& platform;
  double& blendAmount;
  double& lightExponent;
  double& splitRatio;
  const std::array<std::uint8_t, 256>& shadeCurve;
  const int& renderMode;
  std::function<void()> rebuildBlendTable;
  // The brightness curve and the mesh ramps after the exponent changed.
  std::function<void()> rebuildLighting;
  std::function<void()> swapDisplays;
};

// Rows of the strip below the gauge, of the grip and of the presets.
inline constexpr int kGradientStripRows = 27;
inline constexpr int kPresetRows = 12;
inline constexpr double kMaxLightExponent = 20.0;

enum class GradientDrag {
  Idle,
  Amount,
  Exponent,
  Grip,
  GripRight,
  PresetALeft,
  PresetBLeft,
  PresetARight,
  PresetBRight,
};

class GradientBox : public CoreView {
 public:
  explicit GradientBox(GradientBoxInputs inputs);

  void resize(int clientWidth, int clientHeight) override;
  void render(int, int) override { drawImage(); }
  ViewImage image() const override { return image_.image(); }
  void mousePress(const MouseEvent& event) override;
  void mouseMove(const MouseEvent& event) override;
  void mouseRelease(const MouseEvent& event) override;
  void captureLost() override;
  // Over the gauge, and anywhere while it is dragged: the readout.
  std::string statusText(int x, int y) const override;
  std::string toolTipText(int x, int y) const override { return statusText(x, y); }

  // "Blend 50%  Light exponent 1.00"
  std::string readout() const;
  void drawImage();
  const BoxImage& pixels() const { return image_; }
  GradientDrag dragState() const { return drag_; }
  // Gauge position of a window row: 0 at the top, 1 at the strip.
  double gaugeValue(int y) const;
  int gaugeHeight() const { return image_.height() - kGradientStripRows - 2; }

  double presetA = 0.25;
  double presetB = 0.75;

 private:
  enum class Part { Gauge, Grip, PresetA, PresetB };
  Part partAt(int x, int y) const;
  void drawGauge();
  void drawStrip();
  void redraw();
  void setExponent(int y);
  void announceLighting(bool final);
  void finish(bool restorePointer);
  void wait();

  GradientBoxInputs in_;
  BoxImage image_;
  GradientDrag drag_ = GradientDrag::Idle;
  bool captured_ = false;
  int pressScreenX_ = 0;
  int pressScreenY_ = 0;
};

}  // namespace pelt
