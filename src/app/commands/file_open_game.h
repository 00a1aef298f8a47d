#pragma once
// File/Open From Game: choosing a model among the game's files, loose or
// inside its archives.

#include <string>

#include "platform/dialog_values.h"

namespace pelt {

class App;

inline constexpr const char* kOpenFromGameText = "Open From &Game...";
inline constexpr const char* kNoGameModelsMessage =
    "There are no models (.md2) in the game's files below the base folder.";

// Every .md2 of the game's files, sorted by name, with where it comes from.
OpenFromGameValues gameModelChoices(App& app);

// Whether a row stays shown under the filter field's text: every word of it
// appears in the name or the source, in any case.
bool matchesModelFilter(const GameModelRow& row, const std::string& filter);

// The dialog, then File/Open's save question and load.
void openFromGameCommand(App& app);

}  // namespace pelt
