#pragma once
// Guessing the game's base folder from where a model file lies.

#include <optional>
#include <string>

namespace pelt {

// The nearest folder above `modelPath` named "baseq2" in any case, so a model
// opened from a file manager finds its skins without asking. `modelPath`
// should be absolute; "." and ".." are taken lexically.
std::optional<std::string> baseFolderAbove(const std::string& modelPath);

// For tools without a settings store: that folder, else the model's own
// folder; a relative path is taken from the working folder.
std::string baseFolderFor(const std::string& modelPath);

}  // namespace pelt
