// Any byte string is either refused or yields records a model can take
// without reading or writing past its tables.
#include <cstdint>
#include <cstdlib>

#include "model/mapping_file.h"

namespace {

void shapeModel(pelt::Model& m) {
  m.triangleCount = 2;
  m.vertexCount = 5;
  m.skinWidth = 64;
  m.skinHeight = 32;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static pelt::Model target = [] {
    pelt::Model m;
    shapeModel(m);
    return m;
  }();
  for (bool checkIndices : {true, false}) {
    pelt::MappingParseResult result =
        pelt::parseMappingFile({data, size}, pelt::mappingTargetOf(target, checkIndices));
    if (!result.file) continue;
    if (result.file->records.size() != 2) std::abort();
    pelt::Model model;
    shapeModel(model);
    model.triangles[0].flags = pelt::kTriangleSelected;
    if (checkIndices)
      pelt::applyMapping(model, *result.file);
    else
      pelt::applyMappingToSelected(model, *result.file);
    if (model.stCount > 6) std::abort();
  }
  return 0;
}
