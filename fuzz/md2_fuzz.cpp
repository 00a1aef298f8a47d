// Any byte string is either refused or parsed into data that a model can take.
#include <cstdint>
#include <cstdlib>

#include "model/md2_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pelt::Md2ParseResult result = pelt::parseMd2({data, size});
  if (!result.data) return 0;
  const pelt::Md2Data& md2 = *result.data;
  for (const auto& tri : md2.triangles)
    for (int k = 0; k < 3; ++k)
      if (tri.vertexIndex[k] >= md2.vertexCount || tri.stIndex[k] >= static_cast<int>(md2.st.size()))
        std::abort();
  for (const auto& frame : md2.frames) (void)pelt::decodeFrame(frame);
  if (pelt::parseMd2(pelt::encodeMd2(md2)).data == std::nullopt) std::abort();
  return 0;
}
