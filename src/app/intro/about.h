#pragma once
// The about box: who we are, and the current model against the limits the
// format and the tool declare.

#include "platform/dialog_values.h"

namespace pelt {

class Rasterizer;
struct Model;

inline constexpr const char* kProductName = "Pelt";
inline constexpr const char* kProductVersion = "0.1";
inline constexpr const char* kAboutMenuText = "&About Pelt 0.1...";

// Share of the skin no triangle maps to, in whole percent (100 for an empty
// skin).
int wastedSpacePercent(const Model& model, Rasterizer& rasterizer);

AboutValues aboutValues(const Model& model, Rasterizer& rasterizer);

}  // namespace pelt
