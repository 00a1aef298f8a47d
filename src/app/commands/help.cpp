#include "app/commands/help.h"

#include "app/app.h"
#include "app/intro/about.h"
#include "platform/platform.h"

namespace pelt {

void showAbout(App& app) { app.platform.aboutDialog(aboutValues(app.model, app.rasterizer)); }

}  // namespace pelt
