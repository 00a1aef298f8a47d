#include "app/mapping_commands.h"

#include "app/app.h"
#include "app/refresh.h"

namespace pelt {

void storeMappingCommand(App& app) { storeMapping(app.model); }

void revertMappingCommand(App& app) {
  revertMapping(app.model);
  refreshListsAndViews(app);
}

}  // namespace pelt
