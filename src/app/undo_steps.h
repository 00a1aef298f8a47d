#pragma once
// How the document's changes reach the history: commands through the
// command table, paint strokes and mapping drags through the views' hooks,
// and any other change through recordChange.

#include <functional>
#include <optional>
#include <string>

#include "history/capture.h"

namespace pelt {

class App;
class PaintStroke;

inline constexpr const char* kUndoTooLargeMessage =
    "That change is larger than the undo memory: it cannot be undone.";

Document documentOf(App& app);

// The step a command of the table makes: what it may change and its name.
struct StepCommand {
  int id;
  unsigned scope;
  const char* name;
};
const StepCommand* stepCommand(int id);

// Records the capture's changes as a step named `name`; tells the user
// when it was too large to keep.
void recordCapture(App& app, DocumentCapture& capture, const std::string& name);

// Runs `change` as one step: a whole-skin operation on the current skin is
// kCaptureCurrentSkin.
void recordChange(App& app, unsigned scope, const std::string& name,
                  const std::function<void()>& change);

// The finished stroke's pixels as one step.
void recordStroke(App& app, const PaintStroke& stroke);

// A mapping drag in the skin view: taken at the press, recorded at the release.
void beginMappingEdit(App& app);
void endMappingEdit(App& app, const char* name);

// Undo and redo with the refresh the changes need; false with nothing to do.
bool undoStep(App& app);
bool redoStep(App& app);

// The history's budget from the Preferences.
void applyUndoBudget(App& app);

}  // namespace pelt
