// Any byte string is either refused or parsed into data a model can take:
// indices in range, every decoded coordinate finite, and our own encoding
// parses back to the same data. The part of it a reader takes by the
// header's plan parses exactly as the whole.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "model/md2_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pelt::Md2ParseResult result = pelt::parseMd2({data, size});
  const pelt::ReadPlan plan = pelt::md2ReadPlan({data, std::min(size, pelt::kReadProbeBytes)});
  if (plan.head < size) {
    const pelt::Md2ParseResult part = pelt::parseMd2({data, static_cast<size_t>(plan.head)});
    if (part.message != result.message || part.data.has_value() != result.data.has_value() ||
        (part.data && pelt::encodeMd2(*part.data) != pelt::encodeMd2(*result.data)))
      std::abort();
  }
  if (!result.data) {
    if (result.message.empty()) std::abort();
    return 0;
  }
  const pelt::Md2Data& md2 = *result.data;
  for (const auto& tri : md2.triangles)
    for (int k = 0; k < 3; ++k)
      if (tri.vertexIndex[k] < 0 || tri.vertexIndex[k] >= md2.vertexCount || tri.stIndex[k] < 0 ||
          tri.stIndex[k] >= static_cast<int>(md2.st.size()))
        std::abort();
  for (const auto& frame : md2.frames)
    for (const pelt::Vec3& v : pelt::decodeFrame(frame).vertices)
      if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z)) std::abort();
  const pelt::Bytes encoded = pelt::encodeMd2(md2);
  pelt::Md2ParseResult again = pelt::parseMd2(encoded);
  if (!again.data || pelt::encodeMd2(*again.data) != encoded) std::abort();
  return 0;
}
