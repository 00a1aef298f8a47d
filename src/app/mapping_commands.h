#pragma once
// The Mapping menu.

namespace pelt {

class App;

// Makes the current mapping the one Revert returns to.
void storeMappingCommand(App& app);
// Returns to the stored mapping and redraws everything.
void revertMappingCommand(App& app);

}  // namespace pelt
