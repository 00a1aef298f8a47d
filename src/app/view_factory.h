#pragma once
// The views built over the application state, for the main frame, tests
// and benchmarks alike.

#include <memory>

namespace pelt {

class App;
class SkinView;

std::unique_ptr<SkinView> makeSkinView(App& app);

}  // namespace pelt
