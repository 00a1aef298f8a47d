// Any byte string is either refused with a message or becomes a companion
// whose indices all fit its tables and whose every frame can be shown.
#include <cstdint>
#include <cstdlib>

#include "model/companion.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pelt::CompanionParseResult result = pelt::parseCompanion({data, size});
  if (!result.companion) {
    if (result.message.empty()) std::abort();
    return 0;
  }
  pelt::Companion& c = *result.companion;
  if (c.triangleCount > 4096 || c.frameCount != static_cast<int>(c.frames.size())) std::abort();
  for (const pelt::ModelTriangle& tri : c.triangles)
    for (int k = 0; k < 3; ++k)
      if (tri.vertexIndex[k] < 0 || tri.vertexIndex[k] >= c.vertexCount || tri.stIndex[k] < 0 ||
          tri.stIndex[k] >= c.stCount)
        std::abort();
  for (int f = 0; f < c.frameCount; ++f) pelt::computeCompanionNormals(c, f);
  return 0;
}
