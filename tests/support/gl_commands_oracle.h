#pragma once
// The greedy strip and fan search written out literally, scan by scan: slow
// and obvious, the reference the fast builder must match word for word.
// Also the meshes both are compared and measured on.

#include <cstdint>
#include <vector>

#include "model/md2_format.h"
#include "model/model.h"

namespace pelt::test {

std::vector<std::int32_t> literalGlCommands(const Model& model);

// A small random mesh over a few vertices and st entries, so that shared
// edges (both directions), duplicate st values and degenerate corners are
// common. Indices stay inside the tables.
void randomSmallMesh(Model& model, std::uint32_t seed);

// A connected grid of `triangles` / 2 quads in row order, each split along a
// random diagonal, with random st seams; skin 256 x 256.
void connectedGridMesh(Model& model, int triangles, std::uint32_t seed);

// The same grid as a file's contents, with `frames` frames.
Md2Data connectedGridMd2(int triangles, std::uint32_t seed, int frames);

}  // namespace pelt::test
