#pragma once
// The views built over the application state, for the main frame, tests
// and benchmarks alike.

#include <memory>

namespace pelt {

class App;
class ModelView;
class SkinView;

std::unique_ptr<SkinView> makeSkinView(App& app);
std::unique_ptr<ModelView> makeModelView(App& app);

}  // namespace pelt
