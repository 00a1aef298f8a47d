#pragma once
// Stands in for a child window whose real view is not there yet: it shows
// the background colour slot through the grey ramp.

#include <array>
#include <cstdint>
#include <vector>

#include "platform/core_view.h"

namespace pelt {

class App;

class PlaceholderView : public CoreView {
 public:
  // startsSplitDrag: a left press asks the main frame to drag the split,
  // as the gradient box does.
  PlaceholderView(App& app, bool startsSplitDrag);

  void resize(int width, int height) override;
  void render(int level, int flags) override;
  ViewImage image() const override;
  void mousePress(const MouseEvent& event) override;

 private:
  App& app_;
  bool startsSplitDrag_;
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint8_t> pixels_;
  std::array<std::uint8_t, 768> colors_{};
};

}  // namespace pelt
