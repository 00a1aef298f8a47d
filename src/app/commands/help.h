#pragma once
// The Help menu.

namespace pelt {

class App;

void showAbout(App& app);

}  // namespace pelt
