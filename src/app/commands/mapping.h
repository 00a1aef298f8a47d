#pragma once
// The Mapping menu.

namespace pelt {

class App;

inline constexpr const char* kMappingFilter = "Pelt Mapping (*.pmp)|*.pmp|All Files (*.*)|*.*||";

// Makes the current mapping the one Revert returns to.
void storeMappingCommand(App& app);
// Returns to the stored mapping and redraws everything.
void revertMappingCommand(App& app);

// Selection commands; each ends with the common refresh.
void selectAllCommand(App& app);
void selectNoneCommand(App& app);
void invertSelectionCommand(App& app);
void selectConnectedCommand(App& app);
void growSelectionCommand(App& app);
void shrinkSelectionCommand(App& app);
void hideSelectedCommand(App& app);
void unhideAllCommand(App& app);

// Mapping files. Import stores the mapping first, so Revert undoes it; a
// file that does not fit the model is refused before anything changes.
void exportMappingCommand(App& app);
void importMappingCommand(App& app);
void importMappingToSelectedCommand(App& app);


}  // namespace pelt
