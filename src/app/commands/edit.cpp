#include "app/commands/edit.h"

#include "app/app.h"
#include "app/undo_steps.h"

namespace pelt {

namespace {

const char* named(std::string& text, const char* verb, const std::string& step, const char* key) {
  text = std::string(verb) + (step.empty() ? "" : " " + step) + "\t" + key;
  return text.c_str();
}

}  // namespace

void undoCommand(App& app) { undoStep(app); }
void redoCommand(App& app) { redoStep(app); }
bool canUndo(const App& app) { return app.history.canUndo(); }
bool canRedo(const App& app) { return app.history.canRedo(); }

const char* undoText(const App& app) {
  return named(app.undoText, "&Undo", app.history.undoName(), "Alt+Backspace");
}

const char* redoText(const App& app) {
  return named(app.redoText, "&Redo", app.history.redoName(), "Ctrl+Y");
}

const char* undoKeys(const App& app) {
  return app.ctrlZUndoes ? "Alt+Backspace; Ctrl+Z" : "Alt+Backspace";
}
const char* revertKeys(const App& app) { return app.ctrlZUndoes ? "" : "Ctrl+Z"; }
const char* revertText(const App& app) { return app.ctrlZUndoes ? "&Revert" : "&Revert\tCtrl+Z"; }

}  // namespace pelt
