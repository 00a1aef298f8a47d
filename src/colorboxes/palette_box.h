#pragma once
// The palette box ("Pal Box"): eight colour slots and the 256 colours of the
// current palette. The left button chooses the current slot and its colour,
// the right button protects colours from painting; the wheel steps the
// current slot's colour by 16.

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "colorboxes/box_image.h"
#include "platform/core_view.h"
#include "skins/paint_rule.h"
#include "skins/skin.h"

namespace pelt {

class Platform;

struct PaletteBoxInputs {
  Platform& platform;
  std::array<std::uint8_t, 8>& colorSlots;
  int& currentSlot;
  ProtectedColors& protectedColors;
  // The current palette, or null (the grey ramp is shown).
  std::function<const Palette*()> palette;
  std::function<void()> rebuildBlendTable;
  std::function<void()> rebuildShadeRamps;
};

inline constexpr int kSlotAreaWidth = 64;
inline constexpr int kSlotSize = 16;
inline constexpr int kPaletteBoxRows = 32;
inline constexpr int kPaletteBandRows = 8;

enum class PaletteDrag { Idle, Slot, Colour, Protect, Unprotect, Wait };

class PaletteBox : public CoreView {
 public:
  explicit PaletteBox(PaletteBoxInputs inputs);

  void resize(int clientWidth, int clientHeight) override;
  void render(int, int) override { drawImage(); }
  ViewImage image() const override { return image_.image(); }
  void mousePress(const MouseEvent& event) override;
  void mouseMove(const MouseEvent& event) override;
  void mouseRelease(const MouseEvent& event) override;
  void wheel(int delta) override;
  void captureLost() override;

  void drawImage();
  const BoxImage& pixels() const { return image_; }
  PaletteDrag dragState() const { return drag_; }
  // Palette index shown at a point of the palette area.
  int colourAt(int x, int y) const;
  // column[c]: the palette index offset shown in column 64 + c of a band.
  const std::vector<std::uint8_t>& columns() const { return column_; }

 private:
  Rgb8 colour(int index) const;
  void redraw();
  void drawSlot(int k);
  void drawMarker(int index);
  void pickSlot(int x, int y);
  void pickColour(int x, int y);
  void setProtection(int x, int y, bool on);
  void announce(bool release);
  void release(unsigned buttonsHeld);

  PaletteBoxInputs in_;
  BoxImage image_;
  std::vector<std::uint8_t> column_;
  PaletteDrag drag_ = PaletteDrag::Idle;
  unsigned dragButton_ = kButtonNone;
  bool captured_ = false;
};

}  // namespace pelt
