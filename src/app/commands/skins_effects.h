#pragma once
// The Skin F/X commands: draw into skin-sized scratch images with the
// rasterizer, then merge the result into the skin area the selected
// triangles map to, through the current skin's palette.

#include <cstdint>
#include <vector>

namespace pelt {

class App;
class Rasterizer;
struct Model;

inline constexpr std::uint8_t kMaskOn = 0xFF;

// 0xFF on every texel a selected triangle's skin triangle covers, else 0;
// width x height bytes addressed like the skin.
std::vector<std::uint8_t> buildSelectionMask(const Model& model, Rasterizer& rasterizer, int width,
                                             int height);

void outlineSelected(App& app);
void fillSelectedShade(App& app);
void shadeSelected(App& app);
void loadToSelected(App& app);

}  // namespace pelt
