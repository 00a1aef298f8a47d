#pragma once
// What is unsaved, asked about once before it would be lost, and the
// window title that shows it.

#include <string>

namespace pelt {

class App;

inline constexpr const char* kUnsavedWorkQuestion = "There are unsaved changes to:";
inline constexpr const char* kUnsavedWorkSave = "Save them first?";
inline constexpr const char* kSaveChangedSkinsQuestion = "Save the changed skins too?";

enum class UnsavedScope { CurrentSkin, Everything };

// The model differs from its file, or a skin from what was last read or written.
bool hasUnsavedWork(const App& app, UnsavedScope scope = UnsavedScope::Everything);

// One question (Save, Discard, Cancel) when there is unsaved work in
// `scope`; Save writes it. True to go on: nothing unsaved, discarded, or saved.
bool settleUnsavedWork(App& app, UnsavedScope scope = UnsavedScope::Everything);

// Before the model is written: modified linked skins are saved first when
// the user wants; false when one could not be written.
bool offerToSaveChangedSkins(App& app);

// "tris.md2[*] - Pelt", or "Pelt" without a model; Qt shows "[*]" as the
// modified mark.
std::string windowTitle(const App& app);

}  // namespace pelt
