#pragma once
// The Edit menu: undo and redo, named after the steps they would take.

namespace pelt {

class App;

inline constexpr int kUndoId = 33300;
inline constexpr int kRedoId = 33301;
inline constexpr int kRedoOtherKeyId = 33302;

void undoCommand(App& app);
void redoCommand(App& app);
bool canUndo(const App& app);
bool canRedo(const App& app);
const char* undoText(const App& app);
const char* redoText(const App& app);
// Ctrl+Z is Undo or Revert as the Preferences say.
const char* undoKeys(const App& app);
const char* revertKeys(const App& app);
const char* revertText(const App& app);

}  // namespace pelt
