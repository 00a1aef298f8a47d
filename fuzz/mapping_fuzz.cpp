// Any byte string is either refused or yields records a model can take
// without reading or writing past its tables.
#include <cstdint>
#include <cstdlib>

#include "model/mapping_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static pelt::Model model = [] {
    pelt::Model m;
    m.triangleCount = 2;
    m.vertexCount = 5;
    m.skinWidth = 64;
    m.skinHeight = 32;
    return m;
  }();
  for (bool checkIndices : {true, false}) {
    pelt::MappingParseResult result =
        pelt::parseMappingFile({data, size}, pelt::mappingTargetOf(model, checkIndices));
    if (!result.file) continue;
    if (result.file->records.size() != 2) std::abort();
    pelt::Model copy = model;
    if (checkIndices)
      pelt::applyMapping(copy, *result.file);
    else
      pelt::applyMappingToSelected(copy, *result.file);
    if (copy.stCount > 6) std::abort();
  }
  return 0;
}
