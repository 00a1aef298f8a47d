#pragma once
// The views built over the application state, for the main frame, tests
// and benchmarks alike.

#include <functional>
#include <memory>

namespace pelt {

class App;
class GradientBox;
class ModelView;
class PaletteBox;
class SkinView;

std::unique_ptr<SkinView> makeSkinView(App& app);
std::unique_ptr<ModelView> makeModelView(App& app);
std::unique_ptr<PaletteBox> makePaletteBox(App& app);
// `swapDisplays` runs "&Swap Displays" for the grip's right button.
std::unique_ptr<GradientBox> makeGradientBox(App& app, std::function<void()> swapDisplays);

}  // namespace pelt
