#pragma once
// What must hold of the model after any load and any finished edit.

#include <string>

#include "model/model.h"

namespace pelt::test {

// The first broken invariant, or "" when all hold: indices in range, frames
// finite and of the vertex count, skins of the model's size. Once `settled`
// (no gesture in progress) corner values also match the table and the table
// is compact (no duplicate or unused entries, in order of first use).
std::string modelFault(const Model& model, bool settled);

}  // namespace pelt::test
