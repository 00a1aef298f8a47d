#pragma once
// The triangle strips and fans an MD2 stores for hardware renderers, built
// greedily from the triangle list: each free triangle in index order starts
// the longest fan or strip found among its six candidates.

#include <cstdint>
#include <span>
#include <vector>

#include "model/model.h"

namespace pelt {

// Fills `out` with the command words (count, then s, t, vertex index per
// vertex; 0 last) and returns how many there are. Sized by need.
int buildGlCommands(const Model& model, std::vector<std::int32_t>& out);

// s or t of one command vertex: the texel centre over the skin size.
float glTexCoord(int texel, int skinSize);

struct GlCommandStats {
  int words = 0;  // the terminating 0 included
  int strips = 0;
  int fans = 0;
  int vertices = 0;
  bool wellFormed = false;  // ends with 0 exactly at the last word
  int commands() const { return strips + fans; }
  double averageVertices() const { return commands() ? double(vertices) / commands() : 0.0; }
};

// Walks a command list without trusting it.
GlCommandStats glCommandStats(std::span<const std::int32_t> words);

}  // namespace pelt
